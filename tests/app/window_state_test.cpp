// Quendari.exe reopens where the user left it: normal, maximized, closed while minimized or in
// full-screen; a saved place off every monitor means a first start.
//
// Under Xvfb there is no window manager, and Wine then un-maximizes managed windows by itself a
// moment later; with Wine's X11 option Managed=N the window state follows the Win32 calls alone,
// as on Windows. These tests set it for the runs they start.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>
#include <thread>

#include "tests/app/app_fixture.h"
#include "tests/support/test_registry.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

class window_state : public app_with_runtime {
 protected:
  const scoped_string_value unmanaged{HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed",
                                      L"N"};
};

RECT rect_of(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

constexpr RECT left_at{150, 120, 1050, 820};

// One run: the window is put at `left_at`, `then` changes its state, and the scenario closes it.
void run_and_leave(const char* name, const std::string& scenario,
                   void (*then)(HWND window) = nullptr) {
  quendari_run run(name, scenario);
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  SetWindowPos(window, nullptr, left_at.left, left_at.top, left_at.right - left_at.left,
               left_at.bottom - left_at.top, SWP_NOZORDER);
  if (then) then(window);
  EXPECT_EQ(run.wait(), 0u);
}

// The next run's window, once shown; checked while it runs, closed afterwards.
template <typename Check>
void reopen_and_check(const char* name, Check check) {
  quendari_run run(name, "after-navigate 1500 close\n");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  check(window);
  EXPECT_EQ(run.wait(), 0u);
}

TEST_F(window_state, a_normal_window_reopens_at_its_rectangle) {
  run_and_leave("left_normal", "after-navigate 1500 close\n");
  reopen_and_check("reopened_normal", [](HWND window) {
    const RECT now = rect_of(window);
    EXPECT_TRUE(EqualRect(&now, &left_at));
    EXPECT_FALSE(IsZoomed(window));
  });
}

TEST_F(window_state, a_maximized_window_reopens_maximized_over_its_rectangle) {
  run_and_leave("left_maximized", "after-navigate 1500 close\n",
                [](HWND window) { ShowWindow(window, SW_MAXIMIZE); });
  reopen_and_check("reopened_maximized", [](HWND window) {
    EXPECT_TRUE(IsZoomed(window));
    // Restored, it goes back to the rectangle it had. (Asked from another process, Wine's
    // GetWindowPlacement reports the current rectangle as the normal one, so it is not asked.)
    ShowWindow(window, SW_RESTORE);
    const RECT now = rect_of(window);
    EXPECT_TRUE(EqualRect(&now, &left_at))
        << now.left << ' ' << now.top << ' ' << now.right << ' ' << now.bottom;
  });
}

TEST_F(window_state, a_window_closed_minimized_or_in_full_screen_reopens_as_it_was_before) {
  run_and_leave("left_minimized", "after-navigate 1500 close\n",
                [](HWND window) { ShowWindow(window, SW_MINIMIZE); });
  reopen_and_check("reopened_after_minimized", [](HWND window) {
    EXPECT_FALSE(IsIconic(window));
    const RECT now = rect_of(window);
    EXPECT_TRUE(EqualRect(&now, &left_at));
  });
  run_and_leave("left_full_screen",
                "after-navigate 1500 fullscreen on\nafter-navigate 3000 close\n");
  reopen_and_check("reopened_after_full_screen", [](HWND window) {
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_POPUP, 0);
    const RECT now = rect_of(window);
    EXPECT_TRUE(EqualRect(&now, &left_at));
  });
}

TEST_F(window_state, a_place_off_every_monitor_means_a_first_start) {
  ASSERT_TRUE(write_text_file(window_file, "-90000 -90000 -89000 -89000 0\n"));
  reopen_and_check("placed_off_screen", [](HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 1360);
    EXPECT_EQ(client.bottom, 860);
    EXPECT_TRUE(MonitorFromWindow(window, MONITOR_DEFAULTTONULL) != nullptr);
  });
}

// Minimized, the page idles and keeps its bounds; moved, the browser hears of it; dark, the
// browser's background is dark before the first page.
TEST_F(window_state, minimize_restore_and_move_reach_the_browser_in_the_dark_theme) {
  const scoped_dword_value dark(
      HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
      L"AppsUseLightTheme", 0);
  quendari_run run("minimize_and_move", "after-navigate 2500 close\n");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  std::this_thread::sleep_for(500ms);
  ShowWindow(window, SW_MINIMIZE);
  ShowWindow(window, SW_RESTORE);
  SetWindowPos(window, nullptr, 60, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(run.wait(), 0u);
  const auto calls = run.calls();
  const int background = find_call(calls, "put_DefaultBackgroundColor");
  ASSERT_GE(background, 0);
  EXPECT_EQ(calls[background].arg("color"), "#FF202020");
  EXPECT_LT(background, find_call(calls, "Navigate")) << "set before the first page";
  std::vector<std::string> visibility;
  for (const auto& call : calls) {
    if (call.method == "put_IsVisible") visibility.push_back(call.arg("isVisible"));
  }
  EXPECT_EQ(visibility, (std::vector<std::string>{"1", "0", "1"}));
  EXPECT_GE(count_calls(calls, "NotifyParentWindowPositionChanged"), 1);
}

// Run on a 1366x768 screen by tests/app/on_small_screen.sh: the first-start size does not fit,
// so the window takes the whole work area instead of running off it.
TEST(small_screen, a_first_start_fits_the_work_area) {
  if (!std::getenv("QUENDARI_TEST_SMALL_SCREEN")) GTEST_SKIP() << "runs on the small screen only";
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1366);
  const scoped_standin_runtime runtime;
  DeleteFileW((quendari_user_data_folder() + L"\\window.txt").c_str());
  quendari_run run("small_screen", "after-navigate 1500 close\n");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT now = rect_of(window);
  EXPECT_TRUE(EqualRect(&now, &monitor.rcWork))
      << now.left << ' ' << now.top << ' ' << now.right << ' ' << now.bottom;
  EXPECT_EQ(run.wait(), 0u);
}

}  // namespace
}  // namespace quendari_test
