#include "tools/screenshot/gdi_objects.h"

#include <stdexcept>

namespace webview::detail {

screen_dc::screen_dc() : dc_(GetDC(nullptr)) {
  if (dc_ == nullptr) throw std::runtime_error("GetDC(NULL) failed");
}

screen_dc::~screen_dc() { ReleaseDC(nullptr, dc_); }

memory_dc::memory_dc(HDC reference) : dc_(CreateCompatibleDC(reference)) {
  if (dc_ == nullptr) throw std::runtime_error("CreateCompatibleDC failed");
}

memory_dc::~memory_dc() { DeleteDC(dc_); }

dib_section::dib_section(HDC reference, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  bitmap_ = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  if (bitmap_ == nullptr || bits_ == nullptr) throw std::runtime_error("CreateDIBSection failed");
}

dib_section::~dib_section() { DeleteObject(bitmap_); }

selection::selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {
  if (previous_ == nullptr || previous_ == HGDI_ERROR) {
    throw std::runtime_error("SelectObject failed");
  }
}

selection::~selection() { SelectObject(dc_, previous_); }

}  // namespace webview::detail
