// Navigations: every Navigate, NavigateToString, Reload and link the user follows ends with one
// NavigationCompleted from the message dispatch, its outcome taken from the navigation lines.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

struct completed {
  BOOL success = FALSE;
  COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
  UINT64 id = 0;
  int http_status = -1;
};

TEST(standin_navigation, each_navigation_completes_once_after_the_call_with_its_scripted_outcome) {
  const standin_copy standin(
      "navigation ok\n"
      "navigation fail disconnected\n"
      "navigation http 404\n"
      "navigation ok\n"
      "navigation fail 7\n"
      "after-navigate 600 go https://app.test/linked\n");
  std::vector<completed> seen;
  navigation_handler on_completed(
      [&](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
        completed one;
        args->get_IsSuccess(&one.success);
        args->get_WebErrorStatus(&one.status);
        args->get_NavigationId(&one.id);
        com_ptr<ICoreWebView2NavigationCompletedEventArgs2> args2;
        args->QueryInterface(IID_ICoreWebView2NavigationCompletedEventArgs2,
                             reinterpret_cast<void**>(args2.put()));
        if (args2) args2->get_HttpStatusCode(&one.http_status);
        seen.push_back(one);
        return S_OK;
      });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_NavigationCompleted(&on_completed, &token), S_OK);
  const auto source = [&] {
    LPWSTR uri = nullptr;
    page.webview->get_Source(&uri);
    return take_string(uri);
  };
  // The call succeeds, nothing completes inside it, and its completion follows.
  const auto completes_after = [&](const std::function<HRESULT()>& call) {
    const std::size_t before = seen.size();
    const HRESULT result = call();
    const bool inside = seen.size() != before;
    return result == S_OK && !inside && pump_until([&] { return seen.size() == before + 1; }, 5000);
  };

  EXPECT_TRUE(completes_after([&] { return page.webview->Navigate(L"https://app.test/"); }));
  EXPECT_TRUE(completes_after([&] { return page.webview->Navigate(L"https://down.test/"); }));
  EXPECT_EQ(source(), L"https://down.test/") << "a failed navigation keeps its URI";
  EXPECT_TRUE(completes_after([&] { return page.webview->Reload(); }));
  EXPECT_EQ(source(), L"https://down.test/");
  EXPECT_TRUE(completes_after([&] { return page.webview->NavigateToString(L"<p>offline</p>"); }));
  EXPECT_EQ(source(), L"about:blank");
  ASSERT_TRUE(pump_until([&] { return seen.size() == 5; }, 5000)) << "the link was never followed";
  EXPECT_EQ(source(), L"https://app.test/linked");
  pump_for(50);

  ASSERT_EQ(seen.size(), 5u) << "one NavigationCompleted per navigation";
  const BOOL successes[] = {TRUE, FALSE, FALSE, TRUE, FALSE};
  // An HTTP answer only for http(s): none for a network failure or NavigateToString.
  const int http_statuses[] = {200, 0, 404, 0, 0};
  const COREWEBVIEW2_WEB_ERROR_STATUS statuses[] = {
      COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN, COREWEBVIEW2_WEB_ERROR_STATUS_DISCONNECTED,
      COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN, COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN,
      COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].success, successes[i]) << "navigation " << i + 1;
    EXPECT_EQ(seen[i].status, statuses[i]) << "navigation " << i + 1;
    EXPECT_EQ(seen[i].http_status, http_statuses[i]) << "navigation " << i + 1;
    if (i > 0) {
      EXPECT_GT(seen[i].id, seen[i - 1].id) << "navigation " << i + 1;
    }
  }
  const std::vector<std::string> lines = standin.log_lines();
  EXPECT_TRUE(has_line(lines, {"\"method\":\"NavigateToString\"", "<p>offline</p>"}));
  EXPECT_TRUE(has_line(lines, {"\"method\":\"Reload\"", "https://down.test/"}));
  page.close();
  EXPECT_EQ(on_completed.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_navigation, no_navigation_args2_refuses_the_interface_like_older_runtimes) {
  const standin_copy standin("nonavigationargs2\n");
  HRESULT query = S_OK;
  void* args2 = &query;
  navigation_handler on_completed(
      [&](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
        query = args->QueryInterface(IID_ICoreWebView2NavigationCompletedEventArgs2, &args2);
        return S_OK;
      });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_NavigationCompleted(&on_completed, &token), S_OK);
  EXPECT_EQ(page.webview->Navigate(L"https://app.test/"), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_completed.calls == 1; }, 5000));
  EXPECT_EQ(query, E_NOINTERFACE);
  EXPECT_EQ(args2, nullptr);
}

TEST(standin_navigation, a_navigation_replaced_before_it_completed_reports_operation_canceled) {
  const standin_copy standin("navigation fail timeout\n");
  std::vector<completed> seen;
  navigation_handler on_completed(
      [&](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
        completed one;
        args->get_IsSuccess(&one.success);
        args->get_WebErrorStatus(&one.status);
        seen.push_back(one);
        return S_OK;
      });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_NavigationCompleted(&on_completed, &token), S_OK);

  EXPECT_EQ(page.webview->Navigate(L"https://app.test/slow"), S_OK);
  EXPECT_EQ(page.webview->Navigate(L"https://app.test/"), S_OK);
  ASSERT_TRUE(pump_until([&] { return seen.size() == 2; }, 5000));
  EXPECT_EQ(seen[0].success, FALSE);
  EXPECT_EQ(seen[0].status, COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED);
  EXPECT_EQ(seen[1].success, TRUE) << "the replacing navigation takes the next outcome";
  page.close();
}

TEST(standin_navigation, a_navigation_undoes_the_users_zoom_before_it_completes) {
  const standin_copy standin("after-navigate 10 zoom 2\n");
  std::vector<std::string> events;
  zoom_handler on_zoom([&](ICoreWebView2Controller* sender, IUnknown*) {
    double zoom = 0;
    sender->get_ZoomFactor(&zoom);
    events.push_back("zoom " + std::to_string(zoom).substr(0, 3));
    return S_OK;
  });
  navigation_handler on_completed([&](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs*) {
    events.push_back("completed");
    return S_OK;
  });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.controller->add_ZoomFactorChanged(&on_zoom, &token), S_OK);
  EXPECT_EQ(page.webview->add_NavigationCompleted(&on_completed, &token), S_OK);

  EXPECT_EQ(page.webview->Navigate(L"https://app.test/"), S_OK);
  ASSERT_TRUE(pump_until([&] { return events.size() == 2; }, 5000));
  EXPECT_EQ(page.webview->Navigate(L"https://app.test/next"), S_OK);
  ASSERT_TRUE(pump_until([&] { return events.size() == 4; }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"completed", "zoom 2.0", "zoom 1.0", "completed"}));
  page.close();
  EXPECT_EQ(on_zoom.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_navigation, navigation_starting_precedes_its_completion_with_its_id_and_can_cancel) {
  const standin_copy standin("after-navigate 300 go https://app.test/linked\n");
  std::vector<std::string> events;
  starting_handler on_starting([&](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
    UINT64 id = 0;
    BOOL user = FALSE;
    args->get_NavigationId(&id);
    args->get_IsUserInitiated(&user);
    events.push_back("start " + std::to_string(id) + (user ? " user" : " canceled"));
    return args->put_Cancel(!user);
  });
  navigation_handler on_completed(
      [&](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
        UINT64 id = 0;
        COREWEBVIEW2_WEB_ERROR_STATUS status{};
        args->get_NavigationId(&id);
        args->get_WebErrorStatus(&status);
        events.push_back("done " + std::to_string(id) + " status " + std::to_string(status));
        return S_OK;
      });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_NavigationStarting(&on_starting, &token), S_OK);
  EXPECT_EQ(page.webview->add_NavigationCompleted(&on_completed, &token), S_OK);
  EXPECT_EQ(page.webview->Navigate(L"https://app.test/"), S_OK);
  EXPECT_TRUE(events.empty()) << "an event inside Navigate";
  ASSERT_TRUE(pump_until([&] { return events.size() == 4; }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"start 1 canceled", "done 1 status 14",
                                              "start 2 user", "done 2 status 0"}));
  EXPECT_TRUE(
      has_line(standin.log_lines(), {"\"event\":\"NavigationStarting\"",
                                     "\"uri\":\"https://app.test/linked\"", "\"navigationId\":2"}));
  page.close();
}

}  // namespace
}  // namespace standin_test
