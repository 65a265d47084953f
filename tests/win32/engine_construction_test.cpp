// An engine's windows from construction to destruction, the live-window count, and a
// construction that fails after its windows exist.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "tests/win32/engine_fixture.h"

namespace quendari_test {
namespace {

using webview::detail::engine_base;

TEST(engine_construction, comes_up_with_three_windows_and_counts_the_main_one) {
  win32_edge_engine engine(test_configuration(), false, nullptr);
  const HWND main = main_window_of(engine);
  const HWND widget = widget_window_of(engine);
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(GetParent(widget), main);
  EXPECT_TRUE(IsWindowVisible(widget)) << "embedding shows the widget";
  EXPECT_EQ(message_windows().size(), 1u);
  EXPECT_EQ(engine_base::live_window_count(), 1u);
  wchar_t title[16] = L"x";
  GetWindowTextW(main, title, 16);
  EXPECT_STREQ(title, L"Quendari") << "created with the configured title";
  EXPECT_TRUE(engine.browser_controller_impl().has_value());
}

TEST(engine_construction, closing_the_window_ends_the_run_loop) {
  win32_edge_engine engine(test_configuration(), false, nullptr);
  PostMessageW(main_window_of(engine), WM_CLOSE, 0, 0);
  engine.run_impl();
  EXPECT_EQ(engine_base::live_window_count(), 0u);
  ASSERT_TRUE(engine.window_impl().has_error());
  EXPECT_EQ(engine.window_impl().error().code, webview::error_invalid_state);
  EXPECT_EQ(engine.window_impl().error().message, "");
  EXPECT_TRUE(engine.widget_impl().has_error()) << "the widget died with its parent";
}

TEST(engine_construction,
     destruction_after_close_still_runs_queued_tasks_then_destroys_the_message_window) {
  bool ran = false;
  {
    win32_edge_engine engine(test_configuration(), false, nullptr);
    PostMessageW(main_window_of(engine), WM_CLOSE, 0, 0);
    engine.run_impl();
    engine.dispatch_impl([&ran] { ran = true; });
    EXPECT_FALSE(ran);
  }
  EXPECT_TRUE(ran);
  EXPECT_TRUE(message_windows().empty());
}

TEST(engine_construction, destroying_a_live_engine_does_not_end_the_loop) {
  {
    win32_edge_engine engine(test_configuration(), false, nullptr);
    EXPECT_EQ(engine_base::live_window_count(), 1u);
  }
  EXPECT_EQ(engine_base::live_window_count(), 0u);
  MSG msg{};
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "a destructor never asks the loop to end";
  EXPECT_EQ(FindWindowW(L"webview", nullptr), nullptr);
}

TEST(engine_construction, the_loop_ends_only_when_the_last_of_two_engines_closes) {
  win32_edge_engine first(test_configuration(), false, nullptr);
  win32_edge_engine second(test_configuration(), false, nullptr);
  EXPECT_EQ(engine_base::live_window_count(), 2u);
  const HWND second_window = main_window_of(second);
  bool first_closed_while_running = false;
  PostMessageW(main_window_of(first), WM_CLOSE, 0, 0);
  // Runs after the first window's close: the loop must still be running then.
  second.dispatch_impl([&] {
    first_closed_while_running = first.window_impl().has_error();
    PostMessageW(second_window, WM_CLOSE, 0, 0);
  });
  second.run_impl();
  EXPECT_TRUE(first_closed_while_running);
  EXPECT_EQ(engine_base::live_window_count(), 0u);
}

TEST(engine_construction, embedded_mode_leaves_the_callers_window_alone) {
  const HWND caller = CreateWindowExW(0, L"STATIC", L"caller", WS_OVERLAPPEDWINDOW, 10, 10, 300,
                                      200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(caller, nullptr);
  const auto procedure = GetWindowLongPtrW(caller, GWLP_WNDPROC);
  RECT before{};
  GetWindowRect(caller, &before);
  {
    win32_edge_engine by_handle(test_configuration(), false, caller);
    EXPECT_EQ(main_window_of(by_handle), caller);
    EXPECT_EQ(GetParent(widget_window_of(by_handle)), caller);
    EXPECT_EQ(engine_base::live_window_count(), 0u) << "a caller's window is not counted";
  }
  HWND variable = caller;
  {
    win32_edge_engine by_pointer(test_configuration(), false, &variable);
    EXPECT_EQ(main_window_of(by_pointer), caller);
  }
  RECT after{};
  GetWindowRect(caller, &after);
  EXPECT_TRUE(IsWindow(caller));
  EXPECT_FALSE(IsWindowVisible(caller));
  EXPECT_EQ(GetWindowLongPtrW(caller, GWLP_WNDPROC), procedure);
  EXPECT_TRUE(EqualRect(&before, &after));
  DestroyWindow(caller);
}

// Run with a scenario whose failing browser setting makes embedding fail with all three windows
// created.
TEST(construction_failure, leaves_no_window_that_could_reach_the_engine) {
  if (!std::getenv("QUENDARI_STANDIN_SCENARIO")) GTEST_SKIP() << "needs the failing scenario";
  try {
    win32_edge_engine engine(test_configuration(), false, nullptr);
    FAIL() << "construction succeeded";
  } catch (const webview::exception& failure) {
    EXPECT_EQ(failure.code(), webview::error_unspecified);
    EXPECT_STREQ(failure.what(), "put_IsStatusBarEnabled failed");
  }
  EXPECT_EQ(FindWindowW(L"webview", nullptr), nullptr);
  EXPECT_TRUE(message_windows().empty());
  EXPECT_EQ(engine_base::live_window_count(), 0u);
  // What the failure dialog would do: pump whatever the browser still delivers.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (std::chrono::steady_clock::now() < until) pump_pending_messages();
}

}  // namespace
}  // namespace quendari_test
