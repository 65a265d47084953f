// What the page or the user does after a web view's first navigation: the scenario's
// after-navigate lines, one action each, followed by a quit that ends the test's message loop.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

std::string after_navigate(const std::string& action) {
  return "after-navigate 10 " + action + "\nafter-navigate 60 quit\n";
}

// Collects what TryGetWebMessageAsString and get_Source give for each message.
class message_recorder {
 public:
  std::vector<std::pair<HRESULT, std::wstring>> messages;
  std::vector<std::wstring> sources;
  message_handler handler{[this](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
    LPWSTR text = nullptr;
    const HRESULT result = args->TryGetWebMessageAsString(&text);
    messages.emplace_back(result, take_string(text));
    args->get_Source(&text);
    sources.push_back(take_string(text));
    return S_OK;
  }};
};

TEST(standin_page_action, message_string_arrives_as_the_text) {
  const standin_copy standin(after_navigate("message string \"h\\u00e9llo \\uD83D\\uDE00\""));
  message_recorder on_message;
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_WebMessageReceived(&on_message.handler, &token), S_OK);
  EXPECT_EQ(on_message.handler.references, 2u)
      << "the stand-in keeps one reference per registration";

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  ASSERT_EQ(on_message.messages.size(), 1u);
  EXPECT_EQ(on_message.messages[0].first, S_OK);
  EXPECT_EQ(on_message.messages[0].second, L"h\u00e9llo \xD83D\xDE00");
  EXPECT_EQ(on_message.sources, std::vector<std::wstring>{L"https://app.test/?shell=app"});
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"event\":\"WebMessageReceived\"",
                                             "h\xC3\xA9llo \xF0\x9F\x98\x80", "\"handlers\":1"}));
  page.close();
  EXPECT_EQ(on_message.handler.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_page_action, message_json_object_is_no_string_message_from_the_document_given) {
  const standin_copy standin(after_navigate("message from https://frame.test/ json {\"id\":1}"));
  message_recorder on_message;
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_WebMessageReceived(&on_message.handler, &token), S_OK);

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  ASSERT_EQ(on_message.messages.size(), 1u);
  EXPECT_EQ(on_message.messages[0].first, E_INVALIDARG) << "a JSON object is no string message";
  EXPECT_EQ(on_message.sources, std::vector<std::wstring>{L"https://frame.test/"});
}

// Reports need Handled and end with ReportClosed; an unhandled notification is the runtime's.
TEST(standin_page_action, notification_reports_wait_for_handled_and_end_with_report_closed) {
  const standin_copy standin(
      "notifications\n"
      "after-navigate 10 notification silent https://chat.test \"New | 2\" | Hello\n"
      "after-navigate 30 notificationclose\n"
      "after-navigate 50 notification https://chat.test Left to the runtime\n"
      "after-navigate 80 quit\n");
  constexpr HRESULT wrong_state = static_cast<HRESULT>(0x8007139F);
  notification_close_handler on_close([](ICoreWebView2Notification*, IUnknown*) { return S_OK; });
  com_ptr<ICoreWebView2Notification> first;  // released before on_close, which it holds
  std::vector<HRESULT> reports;
  notification_handler on_notification(
      [&](ICoreWebView2*, ICoreWebView2NotificationReceivedEventArgs* args) {
        if (first) return S_OK;
        args->get_Notification(first.put());
        EventRegistrationToken token{};
        first->add_CloseRequested(&on_close, &token);
        reports.push_back(first->ReportShown());
        args->put_Handled(TRUE);
        reports.push_back(first->ReportShown());
        return S_OK;
      });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  com_ptr<ICoreWebView2_24> webview24;
  ASSERT_EQ(
      page.webview->QueryInterface(IID_ICoreWebView2_24, reinterpret_cast<void**>(webview24.put())),
      S_OK);
  EventRegistrationToken token{};
  EXPECT_EQ(webview24->add_NotificationReceived(&on_notification, &token), S_OK);

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  ASSERT_TRUE(first);
  LPWSTR title = nullptr;
  EXPECT_EQ(first->get_Title(&title), S_OK);
  EXPECT_EQ(take_string(title), L"New | 2");
  EXPECT_EQ(reports, (std::vector<HRESULT>{wrong_state, S_OK}));
  EXPECT_EQ(on_close.calls, 1);
  EXPECT_EQ(first->ReportClosed(), S_OK);
  EXPECT_EQ(first->ReportClicked(), wrong_state);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"note\":\"runtime notification shown\"",
                                             "\"title\":\"Left to the runtime\"}"}));
}

TEST(standin_page_action, zoom_sets_the_factor_and_raises_zoom_factor_changed) {
  const standin_copy standin(after_navigate("zoom 2.5"));
  double zoom_seen = 0;
  zoom_handler on_zoom([&](ICoreWebView2Controller* sender, IUnknown*) {
    return sender->get_ZoomFactor(&zoom_seen);
  });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.controller->add_ZoomFactorChanged(&on_zoom, &token), S_OK);

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  EXPECT_EQ(on_zoom.calls, 1);
  EXPECT_EQ(zoom_seen, 2.5);
  page.close();
  EXPECT_EQ(on_zoom.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_page_action, fullscreen_on_reports_a_full_screen_element) {
  const standin_copy standin(after_navigate("fullscreen on"));
  BOOL full_screen = FALSE;
  full_screen_handler on_full_screen([&](ICoreWebView2* sender, IUnknown*) {
    return sender->get_ContainsFullScreenElement(&full_screen);
  });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_ContainsFullScreenElementChanged(&on_full_screen, &token), S_OK);

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  EXPECT_EQ(full_screen, TRUE);
  page.close();
  EXPECT_EQ(on_full_screen.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_page_action, permission_request_carries_the_uri_and_takes_the_handlers_state) {
  const standin_copy standin(after_navigate("permission camera https://app.test/"));
  std::wstring permission_uri;
  permission_handler on_permission(
      [&](ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs* args) {
        COREWEBVIEW2_PERMISSION_KIND kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;
        args->get_PermissionKind(&kind);
        LPWSTR uri = nullptr;
        args->get_Uri(&uri);
        permission_uri = take_string(uri);
        if (kind == COREWEBVIEW2_PERMISSION_KIND_CAMERA) {
          args->put_State(COREWEBVIEW2_PERMISSION_STATE_ALLOW);
        }
        return S_OK;
      });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_PermissionRequested(&on_permission, &token), S_OK);

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  EXPECT_EQ(permission_uri, L"https://app.test/");
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"outcome\":\"PermissionRequested\"", "\"state\":1"}))
      << "the camera was not allowed";
  page.close();
  EXPECT_EQ(on_permission.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_page_action, new_window_request_carries_the_uri_and_takes_handled) {
  const standin_copy standin(after_navigate("newwindow user https://elsewhere.test/page"));
  std::wstring new_window_uri;
  BOOL user_initiated = FALSE;
  new_window_handler on_new_window(
      [&](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
        LPWSTR uri = nullptr;
        args->get_Uri(&uri);
        new_window_uri = take_string(uri);
        args->get_IsUserInitiated(&user_initiated);
        args->put_Handled(TRUE);
        return S_OK;
      });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_NewWindowRequested(&on_new_window, &token), S_OK);

  ASSERT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  EXPECT_EQ(new_window_uri, L"https://elsewhere.test/page");
  EXPECT_TRUE(user_initiated);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"note\":\"window.open returns null\""}));
  page.close();
  EXPECT_EQ(on_new_window.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_page_action, new_window_takes_only_a_fresh_web_view_and_waits_for_the_deferral) {
  const standin_copy standin(
      "after-navigate 10 first newwindow script size 300 200 https://popup.test/\n"
      "after-navigate 300 first newwindow user https://again.test/\n");
  constexpr HRESULT wrong_state = static_cast<HRESULT>(0x8007139F);
  std::vector<std::pair<ICoreWebView2*, HRESULT>> puts[2];  // per request, in call order
  int request = 0;
  UINT32 width = 0;
  BOOL toolbar = TRUE;
  com_ptr<ICoreWebView2Deferral> deferral;
  new_window_handler on_request(
      [&](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
        for (const auto& [view, expected] : puts[request]) {
          EXPECT_EQ(args->put_NewWindow(view), expected) << "request " << request + 1;
        }
        com_ptr<ICoreWebView2WindowFeatures> features;
        if (request++ == 0 && SUCCEEDED(args->get_WindowFeatures(features.put()))) {
          features->get_Width(&width);
          features->get_ShouldDisplayToolbar(&toolbar);
          EXPECT_EQ(args->GetDeferral(deferral.put()), S_OK);
        }
        return S_OK;
      });
  com_ptr<ICoreWebView2Controller> popup_controller;
  controller_handler on_popup([&](HRESULT, ICoreWebView2Controller* created) {
    popup_controller = com_ptr<ICoreWebView2Controller>::share(created);
    return S_OK;
  });
  standin_page page(standin), other(standin);
  ASSERT_TRUE(page.ready() && other.ready());
  ASSERT_EQ(page.environment->CreateCoreWebView2Controller(page.parent, &on_popup), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_popup.calls == 1; }, 5000) && popup_controller);
  com_ptr<ICoreWebView2> popup;
  ASSERT_EQ(popup_controller->get_CoreWebView2(popup.put()), S_OK);
  EventRegistrationToken token{};
  EXPECT_EQ(page.webview->add_NewWindowRequested(&on_request, &token), S_OK);
  puts[0] = {{page.webview.get(), E_INVALIDARG},   // navigated before
             {other.webview.get(), E_INVALIDARG},  // of another environment
             {popup.get(), S_OK},
             {popup.get(), wrong_state}};   // set once only
  puts[1] = {{popup.get(), E_INVALIDARG}};  // another request's window

  EXPECT_EQ(page.webview->Navigate(L"https://app.test/"), S_OK);
  ASSERT_TRUE(pump_until([&] { return request == 1; }, 5000) && deferral);
  pump_for(50);
  EXPECT_FALSE(has_line(standin.log_lines(), {"\"outcome\":\"NewWindowRequested\""}));
  EXPECT_EQ(deferral->Complete(), S_OK);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"newWindow\":true,\"deferred\":true"}));
  EXPECT_EQ(deferral->Complete(), wrong_state);
  ASSERT_TRUE(pump_until([&] { return request == 2; }, 5000));
  EXPECT_EQ(width, 300u);
  EXPECT_EQ(toolbar, FALSE) << "a window.open with features hides the toolbar";
  LPWSTR title = nullptr;
  EXPECT_EQ(popup->get_DocumentTitle(&title), S_OK);
  EXPECT_EQ(take_string(title), L"https://popup.test/") << "the popup did not load the URI";
  const std::vector<std::string> lines = standin.log_lines();
  EXPECT_TRUE(has_line(lines, {"\"note\":\"opener link\"", "\"opener\":1,\"popup\":3"}));
  EXPECT_TRUE(has_line(lines, {"\"note\":\"runtime popup window\"", "again.test"}));
}

TEST(standin_page_action, quit_posts_wm_quit_after_the_navigation) {
  const standin_copy standin("after-navigate 10 quit\n");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());

  EXPECT_TRUE(page.navigate_until_quit()) << "the quit action never came";
  const std::vector<std::string> lines = standin.log_lines();
  EXPECT_TRUE(has_line(lines, {"\"method\":\"Navigate\"", "https://app.test/?shell=app"}));
  EXPECT_TRUE(has_line(lines, {"\"note\":\"quit\""}));
}

}  // namespace
}  // namespace standin_test
