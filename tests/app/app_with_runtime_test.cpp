// Quendari.exe end to end, against the stand-in runtime registered as an installed runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "tests/app/app_fixture.h"
#include "tests/app/opened_links.h"
#include "tests/app/quendari_run.h"
#include "tests/support/standin_runtime.h"
#include "tests/support/test_registry.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

constexpr char close_soon[] = "after-navigate 1500 close\n";

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(app_with_runtime, starts_in_order_and_exits_with_zero_when_closed) {
  quendari_run run("start_sequence", close_soon);
  EXPECT_EQ(run.wait(), 0u);
  const auto calls = run.calls();

  const int start = find_call(calls, "CreateWebViewEnvironmentWithOptionsInternal");
  ASSERT_GE(start, 0);
  EXPECT_TRUE(ends_with(calls[start].arg("userDataFolder"), "\\Quendari.exe"))
      << calls[start].arg("userDataFolder");
  const int dev_tools = find_call(calls, "put_AreDevToolsEnabled", start);
  const int status_bar = find_call(calls, "put_IsStatusBarEnabled", dev_tools);
  const int user_agent = find_call(calls, "put_UserAgent", status_bar);
  const int zoom_watcher = find_call(calls, "add_ZoomFactorChanged", user_agent);
  const int bridge = find_call(calls, "AddScriptToExecuteOnDocumentCreated", zoom_watcher);
  const int marks = find_call(calls, "AddScriptToExecuteOnDocumentCreated", bridge + 1);
  const int navigate = find_call(calls, "Navigate", marks);
  ASSERT_TRUE(dev_tools > 0 && status_bar > 0 && user_agent > 0 && zoom_watcher > 0 && bridge > 0 &&
              marks > 0 && navigate > 0)
      << "the calls are missing or out of order";
  EXPECT_EQ(calls[dev_tools].arg("value"), "0");
  EXPECT_EQ(calls[status_bar].arg("value"), "0");
  EXPECT_TRUE(ends_with(calls[user_agent].arg("value"), " QuendariApp/1"));
  EXPECT_NE(calls[bridge].arg("javaScript").find("__webview__"), std::string::npos);
  EXPECT_NE(calls[marks].arg("javaScript").find("quendari-shell"), std::string::npos);
  EXPECT_EQ(calls[navigate].arg("uri"), "https://app.quendari.art/?shell=app");
  EXPECT_EQ(find_call(calls, "put_ZoomFactor"), -1) << "no stored zoom, nothing applied";
  EXPECT_GE(find_call(calls, "add_ContainsFullScreenElementChanged"), 0);
}

TEST_F(app_with_runtime, page_messages_reach_the_bridge_and_are_dropped) {
  quendari_run run("messages",
                   "after-navigate 300 message string "
                   "{\"id\":\"0a\",\"method\":\"anything\",\"params\":[1,2]}\n"
                   "after-navigate 400 message string not json\n"
                   "after-navigate 500 message json 42\n" +
                       std::string(close_soon));
  EXPECT_EQ(run.wait(), 0u) << "the application keeps running until closed";
  const auto calls = run.calls();
  EXPECT_EQ(count_calls(calls, "TryGetWebMessageAsString"), 3);
}

TEST_F(app_with_runtime, zoom_is_saved_on_change_and_restored_at_the_next_start) {
  {
    quendari_run run("zoom_first", "after-navigate 300 zoom 1.25\n" + std::string(close_soon));
    EXPECT_EQ(run.wait(), 0u);
  }
  EXPECT_EQ(read_text_file(zoom_file), L"1.2500");

  quendari_run second("zoom_second", close_soon);
  EXPECT_EQ(second.wait(), 0u);
  const auto calls = second.calls();
  const int applied = find_call(calls, "put_ZoomFactor");
  ASSERT_GE(applied, 0);
  EXPECT_EQ(calls[applied].arg("zoomFactor"), "1.25");
  EXPECT_LT(applied, find_call(calls, "add_ZoomFactorChanged"))
      << "applied before the watcher exists";
}

// The runtime resets a user's zoom on the next navigation unless the factor was set.
TEST_F(app_with_runtime, a_users_zoom_outlasts_the_next_navigation) {
  quendari_run run("zoom_then_navigate",
                   "after-navigate 300 zoom 1.25\n"
                   "after-navigate 600 go https://app.quendari.art/next\n" +
                       std::string(close_soon));
  EXPECT_EQ(run.wait(), 0u);
  EXPECT_EQ(read_text_file(zoom_file), L"1.2500")
      << "neither the navigation nor the close reset it";
}

TEST_F(app_with_runtime, closing_the_window_saves_the_zoom_once_more) {
  // Written short on purpose: only the final save rewrites it in the full format.
  ASSERT_TRUE(write_text_file(zoom_file, "1.5"));
  quendari_run run("zoom_on_close", close_soon);
  EXPECT_EQ(run.wait(), 0u);
  EXPECT_EQ(read_text_file(zoom_file), L"1.5000");
  const auto calls = run.calls();
  EXPECT_GT(find_call(calls, "get_ZoomFactor", find_call(calls, "Navigate")), 0);
}

TEST_F(app_with_runtime, full_screen_covers_the_monitor_and_leaving_restores_the_window) {
  quendari_run run("fullscreen",
                   "after-navigate 1500 fullscreen on\n"
                   "after-navigate 4000 fullscreen off\n"
                   "after-navigate 6500 close\n");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  std::this_thread::sleep_for(800ms);
  RECT windowed{};
  GetWindowRect(window, &windowed);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
  ASSERT_EQ(style & WS_POPUP, 0);

  ASSERT_NE(
      wait_for_window(
          [&] { return GetWindowLongW(window, GWL_STYLE) & WS_POPUP ? window : nullptr; }, 5s),
      nullptr)
      << "full-screen was not entered";
  std::this_thread::sleep_for(300ms);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT covered{};
  GetWindowRect(window, &covered);
  EXPECT_TRUE(EqualRect(&covered, &monitor.rcMonitor));
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME, 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0)
      << "topmost would stay above the app the user switches to";
  const HWND widget = FindWindowExW(window, nullptr, L"webview_widget", nullptr);
  RECT client{}, widget_client{};
  GetClientRect(window, &client);
  GetClientRect(widget, &widget_client);
  EXPECT_TRUE(EqualRect(&client, &widget_client));

  ASSERT_NE(
      wait_for_window(
          [&] { return GetWindowLongW(window, GWL_STYLE) & WS_POPUP ? nullptr : window; }, 5s),
      nullptr)
      << "full-screen was not left";
  std::this_thread::sleep_for(300ms);
  RECT restored{};
  GetWindowRect(window, &restored);
  EXPECT_TRUE(EqualRect(&restored, &windowed));
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE), style);
  EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE), ex_style);
  GetClientRect(window, &client);
  GetClientRect(widget, &widget_client);
  EXPECT_TRUE(EqualRect(&client, &widget_client));

  EXPECT_EQ(run.wait(), 0u);
  const auto calls = run.calls();
  // The browser's bounds followed: the last bounds before leaving were the whole monitor.
  const int left_at = find_call(calls, "get_ContainsFullScreenElement",
                                find_call(calls, "get_ContainsFullScreenElement") + 1);
  ASSERT_GT(left_at, 0);
  int bounds = -1;
  for (int i = 0; i < left_at; ++i) {
    if (calls[i].method == "put_Bounds") bounds = i;
  }
  ASSERT_GE(bounds, 0);
  const std::string monitor_bounds =
      "{\"left\":0,\"top\":0,\"right\":" +
      std::to_string(monitor.rcMonitor.right - monitor.rcMonitor.left) +
      ",\"bottom\":" + std::to_string(monitor.rcMonitor.bottom - monitor.rcMonitor.top) + "}";
  EXPECT_EQ(calls[bounds].arg("bounds"), monitor_bounds);
}

// Under Xvfb there is no window manager, and Wine then un-maximizes a managed window by itself a
// moment later; unmanaged, the window's state follows the Win32 calls alone, as on Windows.
TEST_F(app_with_runtime, full_screen_from_a_maximized_window_returns_it_maximized) {
  const scoped_string_value unmanaged(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed",
                                      L"N");
  quendari_run run("fullscreen_maximized",
                   "after-navigate 1500 fullscreen on\n"
                   "after-navigate 3000 fullscreen off\n"
                   "after-navigate 5000 close\n");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(window));
  ASSERT_NE(
      wait_for_window(
          [&] { return GetWindowLongW(window, GWL_STYLE) & WS_POPUP ? window : nullptr; }, 5s),
      nullptr)
      << "full-screen was not entered";
  ASSERT_NE(
      wait_for_window(
          [&] { return GetWindowLongW(window, GWL_STYLE) & WS_POPUP ? nullptr : window; }, 5s),
      nullptr)
      << "full-screen was not left";
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(IsZoomed(window)) << "left full-screen maximized, as it entered";
  EXPECT_EQ(run.wait(), 0u);
}

TEST_F(app_with_runtime, a_runtime_without_a_background_colour_still_shows_the_page) {
  quendari_run run("no_controller2", "nocontroller2\n" + std::string(close_soon));
  EXPECT_EQ(run.wait(), 0u);
  const auto calls = run.calls();
  EXPECT_EQ(find_call(calls, "put_DefaultBackgroundColor"), -1);
  EXPECT_GE(find_call(calls, "Navigate"), 0);
}

TEST_F(app_with_runtime, a_controller_without_web_view_is_retried_like_a_failure) {
  quendari_run run("no_webview", "controller nowebview\n" + std::string(close_soon));
  EXPECT_EQ(run.wait(), 0u);
  EXPECT_EQ(count_calls(run.calls(), "CreateWebViewEnvironmentWithOptionsInternal"), 2);
}

TEST_F(app_with_runtime, only_web_and_mail_links_leave_for_the_shell_and_every_request_is_handled) {
  const opened_links opened;
  const std::string long_link = "https://example.com/" + std::string(2064, 'a');
  ASSERT_EQ(long_link.size(), 2084u);
  quendari_run run(
      "new_windows",
      "after-navigate 200 newwindow user https://example.com/a?b=1\n"
      "after-navigate 300 newwindow user file:///C:/windows/win.ini\n"
      "after-navigate 400 newwindow user \\\\server\\share\\x.exe\n"
      "after-navigate 500 newwindow user javascript:alert(1)\n"
      "after-navigate 600 newwindow user ms-msdt:/id PCWDiagnostic\n"
      "after-navigate 700 newwindow user search-ms:query=x\n"
      "after-navigate 800 newwindow user \"\"\n"
      "after-navigate 900 newwindow script https://example.com/scripted\n"
      "after-navigate 1000 newwindow user https://evil.example/?u=%USERNAME%\n"
      "after-navigate 1100 newwindow user \"https://example.com/\\uFF02 -x\"\n"
      "after-navigate 1200 newwindow user " +
          long_link +
          "\n"
          "after-navigate 1300 newwindow user mailto:a@b.c?attach=C:\\Windows\\win.ini\n"
          "after-navigate 1400 newwindow user MAILTO:someone@example.com\n"
          "after-navigate 3000 close\n");
  EXPECT_EQ(run.wait(), 0u);
  EXPECT_EQ(opened.wait_for_lines(3),
            L"https://example.com/a?b=1\nhttps://evil.example/?u=%25USERNAME%25\n"
            L"MAILTO:someone@example.com\n");
  int handled = 0;
  for (const auto& call : run.calls()) {
    if (call.interface_name == "outcome" && call.method == "NewWindowRequested") {
      EXPECT_EQ(call.arg("handled"), "true");
      ++handled;
    }
  }
  EXPECT_EQ(handled, 13);
}

TEST_F(app_with_runtime, permissions_are_granted_only_to_the_start_origin) {
  quendari_run run("permissions",
                   "after-navigate 200 permission camera https://app.quendari.art/call\n"
                   "after-navigate 300 permission clipboard-read https://APP.quendari.art:443/\n"
                   "after-navigate 400 permission camera https://evil.example/\n"
                   "after-navigate 500 permission microphone http://app.quendari.art/\n"
                   "after-navigate 600 permission geolocation https://app.quendari.art:8443/\n"
                   "after-navigate 700 permission other-sensors https://app.quendari.art/\n"
                   "after-navigate 800 permission unknown https://app.quendari.art/\n"
                   "after-navigate 2000 close\n");
  EXPECT_EQ(run.wait(), 0u);
  std::vector<std::string> states;
  for (const auto& call : run.calls()) {
    if (call.interface_name == "outcome" && call.method == "PermissionRequested") {
      states.push_back(call.arg("state"));
    }
  }
  EXPECT_EQ(states, (std::vector<std::string>{"1", "1", "0", "0", "0", "0", "0"}));
}

// Wine's shell resolves known folders in MAX_PATH buffers and falls back to the default for a
// longer roaming folder, and Wine cannot start a program whose path exceeds MAX_PATH. So the
// profile path is made long through the executable's file name, which names the profile folder,
// with the copy in a short folder: the profile folder and zoom.txt exceed MAX_PATH.
TEST_F(app_with_runtime, paths_longer_than_max_path_are_neither_truncated_nor_refused) {
  const std::wstring name = L"Quendari-" + std::wstring(230, L'q') + L".exe";
  CreateDirectoryW(L"C:\\q", nullptr);
  const std::wstring copy = L"C:\\q\\" + name;
  ASSERT_TRUE(CopyFileW((this_executable_folder() + L"Quendari.exe").c_str(), copy.c_str(), FALSE));
  const std::wstring profile = quendari_user_data_folder(name);
  ASSERT_GT(profile.size(), static_cast<std::size_t>(MAX_PATH));

  {
    quendari_run run("long_paths", "after-navigate 300 zoom 2\n" + std::string(close_soon), copy);
    EXPECT_EQ(run.wait(), 0u);
    const auto calls = run.calls();
    const int start = find_call(calls, "CreateWebViewEnvironmentWithOptionsInternal");
    ASSERT_GE(start, 0);
    EXPECT_EQ(calls[start].arg("userDataFolder"), std::string(profile.begin(), profile.end()));
  }
  const std::wstring zoom = L"\\\\?\\" + profile + L"\\zoom.txt";
  EXPECT_EQ(read_text_file(zoom), L"2.0000");
  DeleteFileW(zoom.c_str());
  DeleteFileW(copy.c_str());
}

struct user_agent_case {
  const char* name;
  const char* scenario;
  const char* written;  // what put_UserAgent receives; null when it is not called
};

class user_agent : public app_with_runtime,
                   public ::testing::WithParamInterface<user_agent_case> {};

TEST_P(user_agent, carries_the_applications_token_once) {
  const user_agent_case& tested = GetParam();
  quendari_run run(tested.name, tested.scenario + std::string(close_soon));
  EXPECT_EQ(run.wait(), 0u);
  const auto calls = run.calls();
  const int written = find_call(calls, "put_UserAgent");
  if (!tested.written) {
    EXPECT_EQ(written, -1);
    return;
  }
  ASSERT_GE(written, 0);
  EXPECT_EQ(calls[written].arg("value"), tested.written);
}

INSTANTIATE_TEST_SUITE_P(
    scenarios, user_agent,
    ::testing::Values(user_agent_case{"browser_agent", "useragent Mozilla/5.0 Edg/120\n",
                                      "Mozilla/5.0 Edg/120 QuendariApp/1"},
                      user_agent_case{"already_marked", "useragent Mozilla/5.0 QuendariApp/7\n",
                                      "Mozilla/5.0 QuendariApp/7"},
                      user_agent_case{"empty_agent", "useragent \"\"\n", "QuendariApp/1"},
                      user_agent_case{"no_settings2", "nosettings2\n", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quendari_test
