// The theme's background behind the page: painted by the engine's windows and given to the
// browser before the first navigation, and both following a live theme change.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_registry.h"
#include "tests/win32/engine_fixture.h"

namespace quendari_test {
namespace {

constexpr wchar_t personalize[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// What WM_ERASEBKGND paints into a memory bitmap.
COLORREF erased_colour(HWND window) {
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
  const COLORREF colour = GetPixel(memory, 4, 4);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colour;
}

std::vector<std::string> browser_backgrounds(std::size_t from) {
  std::vector<std::string> colours;
  for (const auto& call : standin_calls(from)) {
    if (call.method == "put_DefaultBackgroundColor") colours.push_back(call.arg("color"));
  }
  return colours;
}

TEST(window_background, dark_then_light_in_the_windows_and_the_browser) {
  const scoped_dword_value dark(HKEY_CURRENT_USER, personalize, L"AppsUseLightTheme", 0);
  const std::size_t before = standin_calls().size();
  win32_edge_engine engine(test_configuration(), false, nullptr);
  const HWND main = main_window_of(engine);
  EXPECT_EQ(browser_backgrounds(before), std::vector<std::string>{"#FF202020"});
  EXPECT_EQ(erased_colour(main), RGB(0x20, 0x20, 0x20));
  EXPECT_EQ(erased_colour(widget_window_of(engine)), RGB(0x20, 0x20, 0x20));
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(main, GCLP_HCURSOR)),
            LoadCursorW(nullptr, IDC_ARROW));

  const scoped_dword_value light(HKEY_CURRENT_USER, personalize, L"AppsUseLightTheme", 1);
  SendMessageW(main, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
  EXPECT_EQ(browser_backgrounds(before), (std::vector<std::string>{"#FF202020", "#FFFFFFFF"}));
  EXPECT_EQ(erased_colour(main), RGB(0xFF, 0xFF, 0xFF));
}

}  // namespace
}  // namespace quendari_test
