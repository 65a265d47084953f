// How Quendari.exe ends when its browser cannot start, against the stand-in runtime: the runtime
// dialog when the runtime's files are gone (see entry_without_runtime_test for none at all), the
// data folder's box when it cannot be used, an error box naming the failing HRESULT for every
// other failure, and nothing at all when the user closed the window.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/opened_links.h"
#include "tests/app/quendari_run.h"
#include "tests/support/standin_runtime.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

std::wstring error_box_text(const wchar_t* hresult) {
  return std::wstring(L"Quendari could not start its browser component (error ") + hresult +
         L").\n\nOpen Quendari again. If this keeps happening, restart Windows or repair the "
         L"Microsoft Edge WebView2 Runtime in Settings > Apps.";
}

std::wstring data_folder_box_text(const wchar_t* hresult) {
  return L"Quendari can't use its data folder:\n" + quendari_user_data_folder() +
         L"\n\nCheck that you can write to it, then open Quendari again. (error " + hresult + L")";
}

const std::wstring runtime_box_text =
    L"Quendari needs the Microsoft Edge WebView2 runtime.\n\nA browser window will open so you "
    L"can install it, then open Quendari again.";

std::string five(const std::string& line) { return line + line + line + line + line; }

struct start_failure_case {
  const char* name;
  std::string scenario;
  std::wstring box;  // empty: no box and exit status 0
  int expected_starts;
  bool offers_the_runtime = false;
};

class start_failure : public ::testing::TestWithParam<start_failure_case> {
 protected:
  scoped_standin_runtime runtime;
};

TEST_P(start_failure, ends_with_the_box_that_says_what_to_do_or_none) {
  const start_failure_case& tested = GetParam();
  const opened_links opened;
  quendari_run run(tested.name, tested.scenario);
  if (!tested.box.empty()) {
    EXPECT_EQ(run.dismiss_dialog(), tested.box);
    EXPECT_EQ(run.wait(), 1u);
  } else {
    EXPECT_EQ(run.wait(), 0u) << "no box, no wait: the process ends by itself";
  }
  EXPECT_EQ(
      opened.wait_for_lines(tested.offers_the_runtime ? 1 : 0),
      tested.offers_the_runtime ? L"https://go.microsoft.com/fwlink/p/?LinkId=2124703\n" : L"");
  EXPECT_EQ(count_calls(run.calls(), "CreateWebViewEnvironmentWithOptionsInternal"),
            tested.expected_starts);
}

INSTANTIATE_TEST_SUITE_P(
    scenarios, start_failure,
    ::testing::Values(
        start_failure_case{"five_refusals",
                           "start refuse 0x80004005\nstart refuse 0x80004005\nstart refuse "
                           "0x80004005\nstart refuse 0x80004005\nstart refuse 0x80070005\n",
                           data_folder_box_text(L"0x80070005"), 5},
        start_failure_case{"runtime_files_gone", five("start refuse 0x80070002\n"),
                           runtime_box_text, 5, true},
        start_failure_case{"start_returns_invalid_state", "start stall\n",
                           error_box_text(L"0x8007139F"), 1},
        start_failure_case{"environment_completes_with_invalid_state", "start fail 0x8007139F\n",
                           error_box_text(L"0x8007139F"), 1},
        start_failure_case{"controller_refused_with_invalid_state",
                           "controller refuse 0x8007139F\n", error_box_text(L"0x8007139F"), 1},
        start_failure_case{"controller_completes_with_invalid_state", "controller stall\n",
                           error_box_text(L"0x8007139F"), 1},
        start_failure_case{"controller_aborted_with_the_window_open", "controller abort\n",
                           error_box_text(L"0x80004004"), 1},
        start_failure_case{"quit_while_waiting", "start later-quit\n", L"", 1},
        start_failure_case{"status_bar_setting_gives_s_false",
                           "settings fail put_IsStatusBarEnabled 0x1\n",
                           error_box_text(L"0x80004005"), 1},
        start_failure_case{"dev_tools_setting_fails",
                           "settings fail put_AreDevToolsEnabled 0x80070005\n",
                           error_box_text(L"0x80070005"), 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(start_failure, closing_the_window_while_the_browser_starts_ends_quietly) {
  const opened_links opened;
  quendari_run run("closed_while_starting", "controller hold\n");
  const HWND window = run.main_window();
  ASSERT_NE(window, nullptr);
  // Closed once the controller is on its way, so that its creation is what the close aborts.
  const auto requested = wait_for_window(
      [&] {
        return find_call(run.calls(), "CreateCoreWebView2Controller") >= 0 ? window : nullptr;
      },
      10s);
  ASSERT_NE(requested, nullptr) << "the controller was never requested";
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.wait(), 0u);
  EXPECT_EQ(opened.wait_for_lines(0), L"");
  const auto calls = run.calls();
  const int aborted = find_call(calls, "ControllerCreated");
  ASSERT_GE(aborted, 0);
  EXPECT_EQ(calls[aborted].arg("errorCode"), "0x80004004") << "E_ABORT: the parent went away";
  EXPECT_EQ(count_calls(calls, "CreateWebViewEnvironmentWithOptionsInternal"), 1);
}

// A registration whose completion never comes must neither hang the start for ever nor spin.
TEST_F(start_failure, a_script_registration_that_never_completes_is_given_up_asleep) {
  quendari_run run("script_never_completes", "script never\nafter-navigate 500 close\n");
  EXPECT_EQ(run.wait(90s), 0u) << "the wait ends within 30 s and the window then closes";
  const auto calls = run.calls();
  EXPECT_GE(find_call(calls, "Navigate"), 0) << "the start went on after giving up";
  // Read by the process itself when the window is closed, after the wait.
  const int closed = find_call(calls, "close");
  ASSERT_GE(closed, 0);
  EXPECT_LT(std::stoi(calls[closed].arg("cpuMs")), 2000) << "the wait sleeps in the message loop";
}

}  // namespace
}  // namespace quendari_test
