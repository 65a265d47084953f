// The engine windows' messages: sizes passed down to the widget and the browser, DPI changes.
#include <gtest/gtest.h>

#include "tests/win32/engine_fixture.h"
#include "win32/dpi.h"

namespace quendari_test {
namespace {

using webview::detail::frame_size_for_client;
using webview::detail::size_hint;
using webview::detail::window_dpi_or_default;

using window_procedures = engine_test;

TEST_F(window_procedures, the_widget_and_browser_follow_the_main_windows_size) {
  const HWND main = this->main();
  const HWND widget = widget_window_of(engine);
  SetWindowPos(main, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(client_size(widget).cx, client_size(main).cx);
  EXPECT_EQ(client_size(widget).cy, client_size(main).cy);
  ShowWindow(main, SW_MINIMIZE);
  EXPECT_EQ(client_size(widget).cx, 0);
  EXPECT_EQ(client_size(widget).cy, 0);
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(client_size(widget).cx, client_size(main).cx);
  EXPECT_GT(client_size(widget).cx, 0);
}

TEST_F(window_procedures, a_dpi_change_scales_the_client_area_and_keeps_the_top_left_corner) {
  ASSERT_EQ(window_dpi_or_default(main()), 96) << "the test prefix runs at 96 DPI";
  engine.set_size_impl(640, 480, size_hint::plain);
  const RECT before = window_rect();
  RECT suggested{0, 0, 10, 10};
  SendMessageW(main(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  // The frame is computed for the new DPI, which this window does not really have.
  const SIZE expected = frame_size_for_client(main(), 960, 720, 144);
  const RECT after = window_rect();
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right - after.left, expected.cx);
  EXPECT_EQ(after.bottom - after.top, expected.cy);

  // The engine now counts in 144 DPI: asking for 96 scales the client size back by 2/3.
  const SIZE client = client_size(main());
  SIZE scaled{};
  EXPECT_EQ(SendMessageW(main(), WM_GETDPISCALEDSIZE, 96, reinterpret_cast<LPARAM>(&scaled)), 1);
  EXPECT_EQ(scaled.cx, client.cx * 96 / 144);
  EXPECT_EQ(scaled.cy, client.cy * 96 / 144);
}

TEST_F(window_procedures, the_suggested_dpi_scaled_size_is_the_client_size_without_frame) {
  engine.set_size_impl(641, 480, size_hint::plain);
  SIZE scaled{};
  EXPECT_EQ(SendMessageW(main(), WM_GETDPISCALEDSIZE, 120, reinterpret_cast<LPARAM>(&scaled)), 1);
  EXPECT_EQ(scaled.cx, 801) << "641 * 120 / 96 = 801.25, truncated";
  EXPECT_EQ(scaled.cy, 600);
}

}  // namespace
}  // namespace quendari_test
