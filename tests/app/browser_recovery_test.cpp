// Quendari.exe while its browser fails, against the stand-in runtime: each kind of process
// failure, the recovery budget, and the built-in page for a page that cannot be reached.
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "tests/app/app_fixture.h"
#include "tests/support/test_process.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

constexpr char start_url[] = "https://app.quendari.art/?shell=app";

using browser_recovery = app_with_runtime;

std::vector<std::string> navigated_uris(const std::vector<logged_call>& calls) {
  std::vector<std::string> uris;
  for (const auto& call : calls) {
    if (call.method == "Navigate") uris.push_back(call.arg("uri"));
  }
  return uris;
}

std::vector<std::string> shown_pages(const std::vector<logged_call>& calls) {
  std::vector<std::string> pages;
  for (const auto& call : calls) {
    if (call.method == "NavigateToString") pages.push_back(call.arg("html"));
  }
  return pages;
}

bool contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

std::wstring diagnostic_log_path() {
  PWSTR local = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) {
    path = std::wstring(local) + L"\\Quendari\\quendari.log";
  }
  CoTaskMemFree(local);
  return path;
}

TEST_F(browser_recovery, a_dead_browser_is_recreated_with_everything_and_returns_to_the_page) {
  ASSERT_TRUE(write_text_file(zoom_file, "1.5000"));
  DeleteFileW(diagnostic_log_path().c_str());
  quendari_run run("browser_exited",
                   "after-navigate 300 go https://app.quendari.art/inbox?x=1\n"
                   "after-navigate 800 processfailed browser-exited\n"
                   "after-navigate 3500 close\n");
  EXPECT_EQ(run.wait(), 0u) << "no dialog: the process ends when the window closes";
  const auto calls = run.calls();
  const int second_start = find_call(calls, "CreateWebViewEnvironmentWithOptionsInternal",
                                     find_call(calls, "ProcessFailed") + 1);
  ASSERT_GT(second_start, 0) << "no new environment after the browser died";
  // The old browser is closed first, so that nothing of it reaches the new one.
  const std::vector<logged_call> closing(calls.begin() + find_call(calls, "ProcessFailed"),
                                         calls.begin() + second_start);
  for (const char* removal :
       {"remove_ZoomFactorChanged", "remove_ContainsFullScreenElementChanged",
        "remove_ProcessFailed", "remove_NavigationCompleted", "remove_WebMessageReceived",
        "remove_PermissionRequested", "remove_NewWindowRequested", "Close"}) {
    EXPECT_EQ(count_calls(closing, removal), 1) << removal << " not called on the dead browser";
  }
  const std::wstring log = read_text_file(diagnostic_log_path());
  EXPECT_NE(log.find(L"process failure: browser process exited (kind 0"), std::wstring::npos)
      << "the failure is not in the diagnostic log";
  EXPECT_EQ(log.find(L"/inbox"), std::wstring::npos) << "the log holds a page's path";
  const std::vector<logged_call> after(calls.begin() + second_start, calls.end());
  for (const char* setup :
       {"put_AreDevToolsEnabled", "put_IsStatusBarEnabled", "put_UserAgent",
        "add_ZoomFactorChanged", "add_ContainsFullScreenElementChanged", "add_WebMessageReceived",
        "add_PermissionRequested", "add_NewWindowRequested", "add_ProcessFailed",
        "add_NavigationCompleted", "put_IsVisible"}) {
    EXPECT_EQ(count_calls(after, setup), 1) << setup << " not restored";
  }
  const int zoom = find_call(after, "put_ZoomFactor");
  ASSERT_GE(zoom, 0) << "the stored zoom was not restored";
  EXPECT_EQ(after[zoom].arg("zoomFactor"), "1.5");
  const int bridge = find_call(after, "AddScriptToExecuteOnDocumentCreated");
  const int marks = find_call(after, "AddScriptToExecuteOnDocumentCreated", bridge + 1);
  ASSERT_TRUE(bridge >= 0 && marks > bridge);
  EXPECT_TRUE(contains(after[bridge].arg("javaScript"), "__webview__"));
  EXPECT_TRUE(contains(after[marks].arg("javaScript"), "quendari-shell"));
  EXPECT_EQ(navigated_uris(after), std::vector<std::string>{"https://app.quendari.art/inbox?x=1"});
  EXPECT_EQ(find_call(calls, "stand-in unloaded"), -1) << "the runtime's DLL was freed";
}

// The old browser holds its folder for a while: the new environment fails until the old one's
// BrowserProcessExited, and one more try then brings the browser back without an error box.
TEST_F(browser_recovery, a_slow_release_is_waited_for_once) {
  quendari_run run("slow_release",
                   "release 3000\n"
                   "after-navigate 500 processfailed browser-exited\n"
                   "after-navigate 6000 close\n");
  EXPECT_EQ(run.wait(), 0u) << "no error box";
  const auto calls = run.calls();
  const int exited = find_call(calls, "BrowserProcessExited");
  ASSERT_GT(exited, 0) << "the old browser never let go";
  const int last_start = find_call(calls, "CreateWebViewEnvironmentWithOptionsInternal", exited);
  ASSERT_GT(last_start, exited) << "no new start after the old browser let go";
  EXPECT_GE(count_calls(std::vector<logged_call>(calls.begin(), calls.begin() + exited),
                        "CreateWebViewEnvironmentWithOptionsInternal"),
            2)
      << "the first re-creation did not fail while the folder was held";
  EXPECT_GE(find_call(calls, "Navigate", last_start), 0) << "the page did not come back";
}

TEST_F(browser_recovery, each_kind_gets_what_the_runtime_advises) {
  quendari_run run("process_kinds",
                   "after-navigate 300 processfailed render-exited\n"
                   "after-navigate 600 processfailed gpu-exited\n"
                   "after-navigate 700 processfailed frame-render-exited\n"
                   "after-navigate 800 processfailed utility-exited\n"
                   "after-navigate 900 processfailed 42\n"
                   "after-navigate 1000 processfailed render-unresponsive\n"
                   "after-navigate 2500 close\n");
  EXPECT_EQ(run.wait(), 0u) << "a single unresponsive report asks nothing";
  const auto calls = run.calls();
  int reported = 0;
  for (const auto& call : calls)
    reported += call.interface_name == "event" && call.method == "ProcessFailed";
  EXPECT_EQ(reported, 6);
  EXPECT_EQ(count_calls(calls, "Reload"), 1) << "only the dead render process is reloaded";
  EXPECT_EQ(count_calls(calls, "CreateWebViewEnvironmentWithOptionsInternal"), 1);
  EXPECT_TRUE(shown_pages(calls).empty());
}

TEST_F(browser_recovery, a_hang_reported_twice_asks_once_and_yes_reloads) {
  quendari_run run("unresponsive",
                   "after-navigate 300 processfailed render-unresponsive\n"
                   "after-navigate 600 processfailed render-unresponsive\n"
                   "after-navigate 900 processfailed render-unresponsive\n");
  EXPECT_EQ(run.answer_dialog(IDYES),
            L"The page is not responding.\n\nReload it now? Choose No to keep waiting.");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.wait(), 0u) << "a second box for the same hang would keep the process alive";
  EXPECT_EQ(count_calls(run.calls(), "Reload"), 1);
}

TEST_F(browser_recovery, past_the_budget_the_page_says_it_stopped_instead_of_looping) {
  quendari_run run("budget",
                   "after-navigate 300 processfailed browser-exited\n"
                   "after-navigate 2300 processfailed browser-exited\n"
                   "after-navigate 4300 processfailed browser-exited\n"
                   "after-navigate 6300 processfailed browser-exited\n"
                   "after-navigate 8300 processfailed render-exited\n"
                   "after-navigate 8500 processfailed render-exited\n"
                   "after-navigate 8700 processfailed render-exited\n"
                   "after-navigate 8900 processfailed render-exited\n"
                   "after-navigate 10500 close\n");
  EXPECT_EQ(run.wait(90s), 0u);
  const auto calls = run.calls();
  EXPECT_EQ(count_calls(calls, "CreateWebViewEnvironmentWithOptionsInternal"), 5);
  EXPECT_EQ(navigated_uris(calls).size(), 4u) << "the first start and three re-creations";
  EXPECT_EQ(count_calls(calls, "Reload"), 3);
  const auto pages = shown_pages(calls);
  ASSERT_EQ(pages.size(), 2u) << "one page past each budget";
  for (const auto& page : pages) EXPECT_TRUE(contains(page, "The page stopped working."));
}

struct failed_navigation_case {
  const char* name;
  const char* status;
  const char* line;  // null: no page
};

class failed_navigation : public app_with_runtime,
                          public ::testing::WithParamInterface<failed_navigation_case> {};

TEST_P(failed_navigation, shows_the_built_in_page_once_and_a_later_success_shows_none) {
  const failed_navigation_case& tested = GetParam();
  quendari_run run(tested.name, std::string("navigation fail ") + tested.status +
                                    "\nafter-navigate 500 go https://app.quendari.art/later\n"
                                    "after-navigate 1500 close\n");
  EXPECT_EQ(run.wait(), 0u);
  const auto pages = shown_pages(run.calls());
  if (tested.line == nullptr) {
    EXPECT_TRUE(pages.empty());
    return;
  }
  ASSERT_EQ(pages.size(), 1u) << "the page's own navigation is no failure";
  EXPECT_TRUE(contains(pages[0], tested.line)) << pages[0];
  EXPECT_TRUE(contains(pages[0], "<title>Quendari</title>"));
  EXPECT_TRUE(contains(pages[0], start_url)) << "Retry goes back to the page that failed";
}

INSTANTIATE_TEST_SUITE_P(
    statuses, failed_navigation,
    ::testing::Values(
        failed_navigation_case{"offline", "disconnected", "offline."},
        failed_navigation_case{"no_name_resolution", "host-name-not-resolved", "offline."},
        failed_navigation_case{"cannot_connect", "cannot-connect", "reach app.quendari.art."},
        failed_navigation_case{"canceled", "operation-canceled", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// A newer runtime is taken while the window is minimized: the old browser lets go of its folder
// first, and the new one, on the new version, comes back where the page was, still hidden.
TEST_F(browser_recovery, a_newer_runtime_is_taken_quietly_while_the_window_is_minimized) {
  DeleteFileW(diagnostic_log_path().c_str());
  quendari_run run("runtime_update",
                   "release 1500\n"
                   "after-navigate 300 go https://app.quendari.art/inbox\n"
                   "after-navigate 600 newversion 121.0.2277.86\n",
                   L"Quendari.exe", L"", {L"QUENDARI_UPDATE_IDLE_SECONDS=1"});
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_MINIMIZE);
  const auto updated = [&] {
    const auto calls = run.calls();
    const int offered = find_call(calls, "NewBrowserVersionAvailable");
    const int second_start =
        find_call(calls, "CreateWebViewEnvironmentWithOptionsInternal", offered + 1);
    return offered >= 0 && second_start > 0 && find_call(calls, "Navigate", second_start) > 0;
  };
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!updated() && std::chrono::steady_clock::now() < deadline) Sleep(100);
  ASSERT_TRUE(updated()) << "no new browser on the newer runtime";
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.wait(), 0u);

  const auto calls = run.calls();
  const int second_start = find_call(calls, "CreateWebViewEnvironmentWithOptionsInternal",
                                     find_call(calls, "NewBrowserVersionAvailable") + 1);
  EXPECT_LT(find_call(calls, "BrowserProcessExited"), second_start)
      << "the new browser did not wait for the old one to let go of its folder";
  EXPECT_NE(calls[second_start].arg("step"), "busy");
  const std::vector<logged_call> after(calls.begin() + second_start, calls.end());
  EXPECT_EQ(navigated_uris(after), std::vector<std::string>{"https://app.quendari.art/inbox"});
  int last_visibility = -1;
  for (int at = 0; (at = find_call(after, "put_IsVisible", at)) >= 0; ++at) last_visibility = at;
  ASSERT_GE(last_visibility, 0);
  EXPECT_EQ(after[last_visibility].arg("isVisible"), "0") << "the minimized window's page shown";
  const std::wstring log = read_text_file(diagnostic_log_path());
  EXPECT_NE(log.find(L"runtime updated: 120.0.2210.91 -> 121.0.2277.86"), std::wstring::npos);
}

}  // namespace
}  // namespace quendari_test
