// Process failures: the scenario's processfailed action, for helper processes the runtime
// recovers and for the browser process, which takes every object of its environment with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

constexpr HRESULT invalid_state = static_cast<HRESULT>(0x8007139F);

TEST(standin_process_failed, a_helper_process_failure_reaches_the_handler_and_the_page_lives_on) {
  const standin_copy standin(
      "after-navigate 10 processfailed render-unresponsive\n"
      "after-navigate 30 processfailed 12\n"
      "after-navigate 60 quit\n");
  std::vector<int> kinds;
  process_failed_handler on_failure([&](ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs* args) {
    COREWEBVIEW2_PROCESS_FAILED_KIND kind = COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED;
    const HRESULT result = args->get_ProcessFailedKind(&kind);
    kinds.push_back(SUCCEEDED(result) ? kind : -1);
    return S_OK;
  });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_ProcessFailed(&on_failure, &token), S_OK);

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  EXPECT_EQ(kinds, (std::vector<int>{2, 12}));
  EXPECT_EQ(page.webview->Navigate(L"https://app.test/again"), S_OK);
  EXPECT_NE(GetWindow(page.parent, GW_CHILD), nullptr);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"event\":\"ProcessFailed\"", "\"kind\":12"}));
  page.close();
  EXPECT_EQ(on_failure.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_process_failed, browser_exit_kills_the_old_objects_and_the_next_browser_is_hit_too) {
  const standin_copy standin(
      "after-navigate 20 processfailed browser-exited\n"
      "after-navigate 1000 processfailed browser-exited\n");
  std::vector<int> first_kinds;
  process_failed_handler on_first([&](ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs* args) {
    COREWEBVIEW2_PROCESS_FAILED_KIND kind = COREWEBVIEW2_PROCESS_FAILED_KIND_GPU_PROCESS_EXITED;
    args->get_ProcessFailedKind(&kind);
    first_kinds.push_back(kind);
    return S_OK;
  });
  process_failed_handler on_second(
      [](ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs*) { return S_OK; });
  controller_handler on_controller([](HRESULT, ICoreWebView2Controller*) { return S_OK; });
  standin_page first(standin);
  ASSERT_TRUE(first.ready());
  com_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(first.webview->get_Settings(settings.put()), S_OK);
  com_ptr<ICoreWebView2Controller2> controller2;
  ASSERT_EQ(first.controller->QueryInterface(IID_ICoreWebView2Controller2,
                                             reinterpret_cast<void**>(controller2.put())),
            S_OK);
  EventRegistrationToken token{};
  EXPECT_EQ(first.webview->add_ProcessFailed(&on_first, &token), S_OK);
  EXPECT_EQ(first.webview->Navigate(L"https://app.test/"), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_first.calls == 1; }, 5000));

  EXPECT_EQ(first_kinds, std::vector<int>{0});
  EXPECT_EQ(first.webview->Navigate(L"https://app.test/"), invalid_state);
  EXPECT_EQ(first.webview->remove_ProcessFailed(token), invalid_state);
  EXPECT_EQ(first.controller->put_IsVisible(TRUE), invalid_state);
  EXPECT_EQ(settings->put_IsStatusBarEnabled(FALSE), invalid_state);
  EXPECT_EQ(controller2->put_DefaultBackgroundColor({255, 0, 0, 0}), invalid_state);
  COREWEBVIEW2_COLOR color{};
  EXPECT_EQ(controller2->get_DefaultBackgroundColor(&color), invalid_state);
  EXPECT_EQ(first.environment->CreateCoreWebView2Controller(first.parent, &on_controller),
            invalid_state);
  EXPECT_EQ(GetWindow(first.parent, GW_CHILD), nullptr) << "the browser window stayed";

  standin_page second(standin);
  ASSERT_TRUE(second.ready()) << "a new start did not bring a new browser";
  EXPECT_EQ(second.webview->add_ProcessFailed(&on_second, &token), S_OK);
  EXPECT_EQ(second.webview->Navigate(L"https://app.test/"), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_second.calls == 1; }, 5000))
      << "the second action did not reach the new web view";
  EXPECT_EQ(on_first.calls, 1);
  EXPECT_EQ(on_controller.calls, 0);
  settings.reset();
  controller2.reset();
  first.close();
  second.close();
  EXPECT_EQ(on_first.references, 1u) << "the stand-in kept or lost a handler reference";
  EXPECT_EQ(on_second.references, 1u) << "the stand-in kept or lost a handler reference";
}

// A browser process that failed, or whose last controller was closed, holds its user-data folder
// for the release delay: a new environment on it fails meanwhile, then BrowserProcessExited comes.
TEST(standin_process_failed, an_ended_browser_holds_the_folder_until_browser_process_exited) {
  for (const bool failed : {true, false}) {
    const standin_copy standin(std::string("release 400\n") +
                               (failed ? "after-navigate 10 processfailed browser-exited\n" : ""));
    std::vector<int> kinds;
    exited_handler on_exit(
        [&](ICoreWebView2Environment*, ICoreWebView2BrowserProcessExitedEventArgs* args) {
          COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind{};
          args->get_BrowserProcessExitKind(&kind);
          kinds.push_back(kind);
          return S_OK;
        });
    standin_page page(standin);
    ASSERT_TRUE(page.ready());
    com_ptr<ICoreWebView2Environment5> environment5;
    ASSERT_EQ(page.environment->QueryInterface(IID_ICoreWebView2Environment5,
                                               reinterpret_cast<void**>(environment5.put())),
              S_OK);
    EventRegistrationToken token{};
    EXPECT_EQ(environment5->add_BrowserProcessExited(&on_exit, &token), S_OK);
    EXPECT_EQ(failed ? page.webview->Navigate(L"https://app.test/") : page.controller->Close(),
              S_OK);
    ASSERT_TRUE(pump_until([&] { return GetWindow(page.parent, GW_CHILD) == nullptr; }, 5000));
    EXPECT_FALSE(standin_page(standin).ready()) << "the old browser did not hold the folder";
    EXPECT_TRUE(has_line(standin.log_lines(), {"\"completion\":\"EnvironmentCreated\"",
                                               "\"errorCode\":\"0x800700AA\""}));
    EXPECT_TRUE(kinds.empty()) << "BrowserProcessExited came before the folder was released";
    ASSERT_TRUE(pump_until([&] { return !kinds.empty(); }, 5000));
    EXPECT_EQ(kinds, std::vector<int>{failed});  // FAILED 1, NORMAL 0
    EXPECT_TRUE(standin_page(standin).ready()) << "the released folder is not free";
    environment5.reset();
    page.close();
    EXPECT_EQ(on_exit.references, 1u) << "the stand-in kept or lost a handler reference";
  }
}

}  // namespace
}  // namespace standin_test
