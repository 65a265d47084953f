// Quendari kept running in the notification area: closed, it hides with its page alive; a second
// start or the icon brings it back; started at sign-in it stays hidden; the icon's Quit ends it.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/app/app_fixture.h"
#include "tests/support/test_process.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t run_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr UINT notification_icon_message = WM_APP + 1;
constexpr WPARAM quit_command = 2;

class notification_area : public app_with_runtime {
 protected:
  void SetUp() override {
    app_with_runtime::SetUp();
    DeleteFileW(settings_file.c_str());
    RegDeleteKeyValueW(HKEY_CURRENT_USER, run_key, L"Quendari");
  }
  void TearDown() override {
    DeleteFileW(settings_file.c_str());
    app_with_runtime::TearDown();
  }

  const std::wstring settings_file = quendari_user_data_folder() + L"\\settings.txt";
};

template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::wstring run_value() {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(HKEY_CURRENT_USER, run_key, L"Quendari", RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return data;
}

// The browser's visibility as Quendari last set it.
std::string last_visibility(const quendari_run& run) {
  std::string visible;
  for (const auto& call : run.calls()) {
    if (call.method == "put_IsVisible") visible = call.arg("isVisible");
  }
  return visible;
}

TEST_F(notification_area, closing_hides_the_window_until_a_second_start_and_quit_ends_it) {
  quendari_run first("keep_running", "");
  const HWND window = first.main_window();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(eventually([&] { return find_call(first.calls(), "Navigate") >= 0; }));

  PostMessageW(window, WM_SYSCOMMAND, 0x0010, 0);
  EXPECT_TRUE(eventually([&] { return read_text_file(settings_file) == L"keep_running=1\n"; }));
  PostMessageW(window, WM_SYSCOMMAND, 0x0020, 0);
  const std::wstring at_sign_in = L"\"" + this_executable_folder() + L"Quendari.exe\" --background";
  EXPECT_TRUE(eventually([&] { return run_value() == at_sign_in; })) << run_value();
  PostMessageW(window, WM_SYSCOMMAND, 0x0020, 0);
  EXPECT_TRUE(eventually([&] { return run_value().empty(); }));

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(eventually([&] { return !IsWindowVisible(window); }));
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(first.running()) << "closing ended Quendari";
  EXPECT_EQ(last_visibility(first), "0") << "the hidden page was left visible";
  EXPECT_TRUE(read_text_file(window_file).size() > 0) << "the placement was not saved";

  quendari_run second("keep_running_second", "");
  EXPECT_EQ(second.wait(10s), 0u);
  EXPECT_TRUE(eventually([&] { return IsWindowVisible(window) != FALSE; }));
  EXPECT_TRUE(eventually([&] { return last_visibility(first) == "1"; }));

  PostMessageW(window, WM_COMMAND, quit_command, 0);
  EXPECT_EQ(first.wait(10s), 0u);
}

TEST_F(notification_area, a_start_at_sign_in_stays_hidden_until_its_icon_is_clicked) {
  quendari_run run("background", "", L"Quendari.exe", L"--background");
  HWND window = nullptr;
  ASSERT_TRUE(eventually([&] { return (window = run.any_main_window()) != nullptr; }));
  ASSERT_TRUE(eventually([&] { return find_call(run.calls(), "Navigate") >= 0; }));
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(last_visibility(run), "0");

  PostMessageW(window, notification_icon_message, 0, MAKELPARAM(NIN_SELECT, 1));
  EXPECT_TRUE(eventually([&] { return IsWindowVisible(window) != FALSE; }));
  EXPECT_TRUE(eventually([&] { return last_visibility(run) == "1"; }));
  // The choice is off: closing the shown window ends Quendari.
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.wait(10s), 0u);
}

// The page's notification becomes a balloon while the window is away, and its click brings the
// window back; every page call is answered, also one to a missing name or from another origin.
TEST_F(notification_area, a_notification_brings_the_window_back_and_every_page_call_settles) {
  quendari_run run("notification",
                   "notifications\n"
                   "after-navigate 300 message string {\"id\":\"u1\",\"method\":\"nothing\"}\n"
                   "after-navigate 400 message from https://other.test/ string "
                   "{\"id\":\"u2\",\"method\":\"__quendari_app_badge__\",\"params\":[3]}\n"
                   "after-navigate 500 message string "
                   "{\"id\":\"u3\",\"method\":\"__quendari_app_badge__\",\"params\":[3]}\n"
                   "after-navigate 1500 notification https://app.quendari.art Hello | It came\n");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(eventually([&] { return find_call(run.calls(), "ReportShown") >= 0; }));
  PostMessageW(window, notification_icon_message, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, 1));
  EXPECT_TRUE(eventually([&] { return find_call(run.calls(), "ReportClicked") >= 0; }));
  EXPECT_TRUE(eventually([&] { return !IsIconic(window); }));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.wait(10s), 0u);

  const auto calls = run.calls();
  for (const char* report : {"ReportShown", "ReportClicked"}) {
    const int at = find_call(calls, report);
    ASSERT_GE(at, 0) << report;
    EXPECT_EQ(calls[at].result, "0x00000000") << report << " before the notification was handled";
  }
  std::vector<std::string> replies;
  for (const auto& call : calls) {
    if (call.method == "ExecuteScript") replies.push_back(call.arg("javaScript"));
  }
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(replies[0].rfind("window.__webview__.onReply(\"u1\",2,", 0), 0u) << replies[0];
  EXPECT_NE(replies[0].find("nothing"), std::string::npos)
      << "the error names the missing function";
  EXPECT_EQ(replies[1].rfind("window.__webview__.onReply(\"u2\",2,", 0), 0u) << replies[1];
  EXPECT_EQ(replies[2], "window.__webview__.onReply(\"u3\",0)");
}

}  // namespace
}  // namespace quendari_test
