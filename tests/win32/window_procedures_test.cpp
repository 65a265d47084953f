// The engine windows' messages: sizes passed down to the widget and the browser, DPI changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/engine_fixture.h"
#include "win32/dpi.h"

namespace quendari_test {
namespace {

using webview::detail::frame_size_for_client;
using webview::detail::size_hint;
using webview::detail::window_dpi_or_default;

using window_procedures = engine_test;

// The put_IsVisible values the stand-in logged from the `from`th line on.
std::vector<std::string> visibility_changes(std::size_t from) {
  std::vector<std::string> values;
  for (const auto& call : standin_calls(from)) {
    if (call.method == "put_IsVisible") values.push_back(call.arg("isVisible"));
  }
  return values;
}

TEST_F(window_procedures, the_widget_and_browser_follow_the_main_windows_size) {
  const HWND main = this->main();
  const HWND widget = widget_window_of(engine);
  SetWindowPos(main, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(client_size(widget).cx, client_size(main).cx);
  EXPECT_EQ(client_size(widget).cy, client_size(main).cy);
  const SIZE before = client_size(widget);
  const std::size_t mark = standin_calls().size();
  ShowWindow(main, SW_MINIMIZE);
  EXPECT_EQ(visibility_changes(mark), std::vector<std::string>{"0"}) << "idle while minimized";
  EXPECT_EQ(client_size(widget).cx, before.cx) << "the browser keeps its bounds meanwhile";
  EXPECT_EQ(client_size(widget).cy, before.cy);
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(visibility_changes(mark), (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(client_size(widget).cx, client_size(main).cx);
  EXPECT_GT(client_size(widget).cx, 0);
}

TEST_F(window_procedures, a_move_tells_the_browser_where_its_pop_ups_go) {
  const std::size_t mark = standin_calls().size();
  SetWindowPos(main(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(count_calls(standin_calls(mark), "NotifyParentWindowPositionChanged"), 1);
}

TEST_F(window_procedures, a_dpi_change_takes_the_suggested_rectangle) {
  ASSERT_EQ(window_dpi_or_default(main()), 96) << "the test prefix runs at 96 DPI";
  engine.set_size_impl(640, 480, size_hint::plain);
  RECT suggested{100, 120, 1100, 860};
  SendMessageW(main(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const RECT after = window_rect();
  EXPECT_TRUE(EqualRect(&after, &suggested));

  // The engine now counts in 144 DPI: at 96 the client area of the size Windows passes (its
  // frame taken off at 144) is scaled back by 2/3.
  const SIZE pending{after.right - after.left, after.bottom - after.top};
  SIZE scaled = pending;
  EXPECT_EQ(SendMessageW(main(), WM_GETDPISCALEDSIZE, 96, reinterpret_cast<LPARAM>(&scaled)), 1);
  const SIZE frame_at_144 = frame_size_for_client(main(), 0, 0, 144);
  const SIZE expected = frame_size_for_client(main(), (pending.cx - frame_at_144.cx) * 96 / 144,
                                              (pending.cy - frame_at_144.cy) * 96 / 144, 96);
  EXPECT_EQ(scaled.cx, expected.cx);
  EXPECT_EQ(scaled.cy, expected.cy);
}

// The size Windows asks for is the whole window: the client area scaled, plus the frame at the
// new DPI.
TEST_F(window_procedures, the_dpi_scaled_size_is_the_window_whose_client_keeps_its_size) {
  engine.set_size_impl(641, 480, size_hint::plain);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(main(), GWL_STYLE));
  for (const UINT new_dpi : {96u, 120u, 144u, 192u}) {
    SCOPED_TRACE(new_dpi);
    RECT expected{0, 0, static_cast<LONG>(641 * new_dpi / 96),
                  static_cast<LONG>(480 * new_dpi / 96)};
    ASSERT_TRUE(AdjustWindowRectExForDpi(&expected, style, FALSE, 0, new_dpi));
    const RECT window = window_rect();
    SIZE scaled{window.right - window.left, window.bottom - window.top};
    EXPECT_EQ(SendMessageW(main(), WM_GETDPISCALEDSIZE, new_dpi, reinterpret_cast<LPARAM>(&scaled)),
              1);
    EXPECT_EQ(scaled.cx, expected.right - expected.left);
    EXPECT_EQ(scaled.cy, expected.bottom - expected.top);
  }
}

}  // namespace
}  // namespace quendari_test
