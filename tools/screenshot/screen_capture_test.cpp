// Screen capture of a window painted in one known colour, and of the whole screen.
#include "tools/screenshot/screen_capture.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace webview::detail {
namespace {

constexpr COLORREF fill = RGB(200, 30, 40);
constexpr int left = 120;
constexpr int top = 90;
constexpr int width = 64;
constexpr int height = 48;

class filled_window {
 public:
  filled_window() : brush_(CreateSolidBrush(fill)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = brush_;
    wc.lpszClassName = L"screen_capture_test";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName,
                              L"screen capture test", WS_POPUP | WS_VISIBLE, left, top, width,
                              height, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window_);
  }
  ~filled_window() {
    DestroyWindow(window_);
    UnregisterClassW(L"screen_capture_test", GetModuleHandleW(nullptr));
    DeleteObject(brush_);
  }
  filled_window(const filled_window&) = delete;
  filled_window& operator=(const filled_window&) = delete;

  HWND get() const { return window_; }

 private:
  HBRUSH brush_;
  HWND window_ = nullptr;
};

// Lets the window system map and paint the window before its pixels are read.
void pump_messages_for(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  MSG msg;
  while (GetTickCount64() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

TEST(screen_capture, reads_a_window_painted_in_one_colour) {
  const filled_window window;
  ASSERT_NE(window.get(), nullptr);
  pump_messages_for(500);
  const std::optional<RECT> rect = find_window_rect(L"screen capture test");
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->right - rect->left, width);
  const captured_image image = capture_screen(*rect);
  ASSERT_EQ(image.width, static_cast<std::uint32_t>(width));
  ASSERT_EQ(image.height, static_cast<std::uint32_t>(height));
  std::size_t matching = 0;
  for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
    if (image.rgb[i] == 200 && image.rgb[i + 1] == 30 && image.rgb[i + 2] == 40) ++matching;
  }
  EXPECT_EQ(matching, static_cast<std::size_t>(width) * height);
}

TEST(screen_capture, whole_screen_and_clipping) {
  const RECT screen = virtual_screen_rect();
  const captured_image all = capture_screen(screen);
  EXPECT_EQ(all.width, static_cast<std::uint32_t>(screen.right - screen.left));
  EXPECT_EQ(all.height, static_cast<std::uint32_t>(screen.bottom - screen.top));
  EXPECT_EQ(all.rgb.size(), std::size_t{all.width} * all.height * 3);

  const RECT overhanging = {screen.right - 10, screen.bottom - 5, screen.right + 50,
                            screen.bottom + 50};
  const captured_image corner = capture_screen(overhanging);
  EXPECT_EQ(corner.width, 10u);
  EXPECT_EQ(corner.height, 5u);

  const RECT off_screen = {screen.right + 10, 0, screen.right + 20, 10};
  EXPECT_THROW(capture_screen(off_screen), std::invalid_argument);
}

TEST(screen_capture, no_window_with_an_unknown_title) {
  EXPECT_FALSE(find_window_rect(L"no window has this title 7f3a").has_value());
}

}  // namespace
}  // namespace webview::detail
