// The unread badge's image at the small-icon sizes of 96 and 144 DPI, and its colour.
#include "win32/unread_badge.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_registry.h"

namespace quendari_test {
namespace {

using webview::detail::badge_red;

// The icon's colour bitmap as 0xAARRGGBB, row by row from the top.
std::vector<std::uint32_t> icon_pixels(HICON icon, int size) {
  std::vector<std::uint32_t> pixels(size * size);
  ICONINFO parts{};
  if (!GetIconInfo(icon, &parts)) return {};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(info.bmiHeader), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HDC screen = GetDC(nullptr);
  if (GetDIBits(screen, parts.hbmColor, 0, size, pixels.data(), &info, DIB_RGB_COLORS) != size) {
    pixels.clear();
  }
  ReleaseDC(nullptr, screen);
  DeleteObject(parts.hbmColor);
  DeleteObject(parts.hbmMask);
  return pixels;
}

bool is_white(std::uint32_t pixel) {
  return (pixel & 0xFF) >= 0xE0 && (pixel >> 8 & 0xFF) >= 0xE0 && (pixel >> 16 & 0xFF) >= 0xE0;
}

TEST(unread_badge, draws_white_text_in_an_opaque_circle_with_transparent_corners) {
  const std::uint32_t fill =
      0xFF000000u | GetRValue(badge_red) << 16 | GetGValue(badge_red) << 8 | GetBValue(badge_red);
  const struct {
    const wchar_t* text;
    int size;
    bool white;
  } cases[] = {
      {L"7", 16, true}, {L"7", 24, true}, {L"", 16, false}, {L"", 24, false}, {L"99+", 16, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" at " << c.size << " px");
    const auto icon = webview::detail::draw_unread_badge(c.text, c.size, badge_red);
    ASSERT_TRUE(icon);
    const auto pixels = icon_pixels(icon.get(), c.size);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(c.size * c.size));
    const auto at = [&](int x, int y) { return pixels[y * c.size + x]; };
    const int last = c.size - 1;
    for (const auto corner : {at(0, 0), at(last, 0), at(0, last), at(last, last)}) {
      EXPECT_EQ(corner >> 24, 0u);
    }
    // Inside the circle, away from the digits: above them and to their left.
    EXPECT_EQ(at(c.size / 2, c.size / 8), fill);
    if (c.text != std::wstring(L"99+")) {
      EXPECT_EQ(at(c.size / 8, c.size / 2), fill);
    }
    int white = 0, white_in_centre = 0, white_on_edge = 0;
    for (int y = 0; y < c.size; ++y) {
      for (int x = 0; x < c.size; ++x) {
        if (!is_white(at(x, y))) continue;
        ++white;
        if (at(x, y) >> 24 != 0xFF) ++white_on_edge;
        if (std::abs(2 * x - last) < c.size / 2 && std::abs(2 * y - last) < c.size / 2) {
          ++white_in_centre;
        }
      }
    }
    EXPECT_EQ(white_in_centre > 0, c.white);
    EXPECT_EQ(white > 0, c.white);
    EXPECT_EQ(white_on_edge, 0) << "the text fits inside the circle";
  }
}

TEST(unread_badge, takes_the_accent_colour_only_under_readable_white) {
  const struct {
    const char* what;
    std::vector<BYTE> value;
    COLORREF fill;
  } cases[] = {
      {"dark blue accent", {0x00, 0x5A, 0x9E, 0xFF}, RGB(0x00, 0x5A, 0x9E)},
      {"light yellow accent", {0xFF, 0xE0, 0x66, 0xFF}, badge_red},
      {"not a DWORD", {0x00, 0x5A}, badge_red},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const scoped_value accent(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent",
                              L"AccentColorMenu", REG_DWORD, c.value);
    EXPECT_EQ(webview::detail::badge_fill_colour(), c.fill);
  }
}

}  // namespace
}  // namespace quendari_test
