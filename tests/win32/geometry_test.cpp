// Window size, size hints and size limits of the main window.
#include <gtest/gtest.h>

#include "tests/win32/engine_fixture.h"

namespace quendari_test {
namespace {

using webview::detail::size_hint;

constexpr LONG resizable_bits = WS_THICKFRAME | WS_MAXIMIZEBOX;

class geometry : public engine_test {
 protected:
  MINMAXINFO limits() {
    MINMAXINFO info{};
    info.ptMaxSize = POINT{11111, 11112};
    info.ptMaxTrackSize = POINT{11113, 11114};
    info.ptMinTrackSize = POINT{11, 12};
    SendMessageW(main(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }
};

TEST_F(geometry, plain_sets_the_client_size_and_keeps_the_position) {
  const RECT before = window_rect();
  engine.set_size_impl(1360, 860, size_hint::plain);
  EXPECT_EQ(client_size(main()).cx, 1360);
  EXPECT_EQ(client_size(main()).cy, 860);
  EXPECT_EQ(window_rect().left, before.left);
  EXPECT_EQ(window_rect().top, before.top);
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
}

TEST_F(geometry, fixed_removes_the_sizing_border_and_plain_brings_it_back) {
  engine.set_size_impl(500, 300, size_hint::fixed);
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, 0);
  EXPECT_EQ(client_size(main()).cx, 500);
  EXPECT_EQ(client_size(main()).cy, 300);
  engine.set_size_impl(600, 400, size_hint::plain);
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
  EXPECT_EQ(client_size(main()).cx, 600);
}

TEST_F(geometry, an_unknown_hint_resizes_like_plain) {
  engine.set_size_impl(700, 500, size_hint::fixed);
  engine.set_size_impl(720, 520, static_cast<size_hint>(7));
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
  EXPECT_EQ(client_size(main()).cx, 720);
  EXPECT_EQ(client_size(main()).cy, 520);
}

TEST_F(geometry, minimum_only_limits_dragging_and_makes_the_window_resizable) {
  engine.set_size_impl(700, 500, size_hint::fixed);
  const RECT before = window_rect();
  engine.set_size_impl(800, 600, size_hint::minimum);
  const RECT after = window_rect();
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(GetWindowLongW(main(), GWL_STYLE) & resizable_bits, resizable_bits);
  const MINMAXINFO info = limits();
  EXPECT_EQ(info.ptMinTrackSize.x, 800);
  EXPECT_EQ(info.ptMinTrackSize.y, 600);
  EXPECT_EQ(info.ptMaxSize.x, 11111) << "no maximum set";
}

TEST_F(geometry, a_limit_with_a_zero_side_is_no_limit_at_all) {
  engine.set_size_impl(800, 0, size_hint::minimum);
  engine.set_size_impl(0, 700, size_hint::maximum);
  const MINMAXINFO info = limits();
  EXPECT_EQ(info.ptMinTrackSize.x, 11);
  EXPECT_EQ(info.ptMinTrackSize.y, 12);
  EXPECT_EQ(info.ptMaxSize.x, 11111);
  EXPECT_EQ(info.ptMaxTrackSize.y, 11114);
}

TEST_F(geometry, maximum_caps_both_the_maximised_and_the_dragged_size_unscaled) {
  engine.set_size_impl(1000, 700, size_hint::maximum);
  const MINMAXINFO info = limits();
  EXPECT_EQ(info.ptMaxSize.x, 1000);
  EXPECT_EQ(info.ptMaxSize.y, 700);
  EXPECT_EQ(info.ptMaxTrackSize.x, 1000);
  EXPECT_EQ(info.ptMaxTrackSize.y, 700);
  ShowWindow(main(), SW_MAXIMIZE);
  EXPECT_LE(window_rect().right - window_rect().left, 1000);
  EXPECT_LE(window_rect().bottom - window_rect().top, 700);
}

}  // namespace
}  // namespace quendari_test
