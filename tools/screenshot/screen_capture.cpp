#include "tools/screenshot/screen_capture.h"

#include <stdexcept>

#include "tools/screenshot/gdi_objects.h"

namespace webview::detail {

RECT virtual_screen_rect() noexcept {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
          top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

captured_image capture_screen(const RECT& area) {
  const RECT screen = virtual_screen_rect();
  RECT clipped{};
  if (!IntersectRect(&clipped, &area, &screen)) {
    throw std::invalid_argument("the area is not on the screen");
  }
  const int width = clipped.right - clipped.left;
  const int height = clipped.bottom - clipped.top;

  const screen_dc source;
  const memory_dc target(source.get());
  const dib_section bitmap(source.get(), width, height);
  {
    const selection selected(target.get(), bitmap.get());
    // CAPTUREBLT includes layered (translucent) windows in the copy.
    if (!BitBlt(target.get(), 0, 0, width, height, source.get(), clipped.left, clipped.top,
                SRCCOPY | CAPTUREBLT)) {
      throw std::runtime_error("BitBlt from the screen failed");
    }
  }
  GdiFlush();

  captured_image image;
  image.width = static_cast<std::uint32_t>(width);
  image.height = static_cast<std::uint32_t>(height);
  image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  const unsigned char* bgrx = bitmap.bits();
  for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
    image.rgb[i * 3] = bgrx[i * 4 + 2];
    image.rgb[i * 3 + 1] = bgrx[i * 4 + 1];
    image.rgb[i * 3 + 2] = bgrx[i * 4];
  }
  return image;
}

std::optional<RECT> find_window_rect(const std::wstring& title) {
  const HWND window = FindWindowW(nullptr, title.c_str());
  RECT rect{};
  if (window == nullptr || !IsWindowVisible(window) || !GetWindowRect(window, &rect)) {
    return std::nullopt;
  }
  return rect;
}

}  // namespace webview::detail
