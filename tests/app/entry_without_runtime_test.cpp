// Quendari.exe on a machine without a WebView2 runtime: the message box, then the download link
// in the default browser, then exit status 1.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/test_process.h"
#include "tests/support/test_registry.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t expected_text[] =
    L"Quendari needs the Microsoft Edge WebView2 runtime.\n\nA browser window will open so you "
    L"can install it, then open Quendari again.";
constexpr wchar_t download_link[] = L"https://go.microsoft.com/fwlink/p/?LinkId=2124703";

TEST(entry_without_runtime, shows_the_box_then_opens_the_download_link_and_exits_with_one) {
  const scoped_absent_key machine_runtime(HKEY_LOCAL_MACHINE, runtime_client_state_key,
                                          KEY_WOW64_32KEY);
  const scoped_absent_key user_runtime(HKEY_CURRENT_USER, runtime_client_state_key,
                                       KEY_WOW64_32KEY);
  const std::wstring folder = this_executable_folder();
  const std::wstring opened_log = folder + L"opened_urls.txt";
  DeleteFileW(opened_log.c_str());
  const scoped_string_value browser(
      HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", L"",
      L"\"" + folder + L"url_recorder.exe\" \"" + opened_log + L"\" \"%1\"");

  child_process quendari(L"\"" + folder + L"Quendari.exe\"");
  ASSERT_TRUE(quendari.started());
  const HWND box = wait_for_window([&] { return message_box_of(quendari.id(), L"Quendari"); }, 20s);
  ASSERT_NE(box, nullptr) << "no message box appeared";

  EXPECT_EQ(message_box_text(box), expected_text);
  for (HWND window : windows_of(quendari.id())) {
    if (window != box && IsWindowVisible(window)) {
      ADD_FAILURE() << "another visible window of class "
                    << ::testing::PrintToString(class_of(window));
    }
  }

  // Nothing may be opened while the box waits for the user.
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(read_text_file(opened_log), L"");

  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(quendari.wait(20s), 1u);
  // The shell starts the handler asynchronously; give it a moment to write.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (read_text_file(opened_log).empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(read_text_file(opened_log), std::wstring(download_link) + L"\n");
  DeleteFileW(opened_log.c_str());
}

// Started by Windows at sign-in, nobody asked for Quendari yet: no box, status 1.
TEST(entry_without_runtime, a_start_at_sign_in_shows_nothing_and_exits_with_one) {
  const scoped_absent_key machine_runtime(HKEY_LOCAL_MACHINE, runtime_client_state_key,
                                          KEY_WOW64_32KEY);
  const scoped_absent_key user_runtime(HKEY_CURRENT_USER, runtime_client_state_key,
                                       KEY_WOW64_32KEY);
  child_process quendari(L"\"" + this_executable_folder() + L"Quendari.exe\" --background");
  ASSERT_TRUE(quendari.started());
  EXPECT_EQ(quendari.wait(20s), 1u);
}

}  // namespace
}  // namespace quendari_test
