#include "webview2/com_handler.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/webview2/fake_webview2.h"
#include "tests/webview2/task_memory_spy.h"

namespace webview::detail {
namespace {

using testing::fake_controller;
using testing::fake_environment;
using testing::fake_new_window_args;
using testing::fake_permission_args;
using testing::fake_web_message_args;
using testing::fake_webview;
using testing::task_memory_spy;

constexpr HRESULT invalid_state = static_cast<HRESULT>(0x8007139F);
const std::wstring start_url = L"https://app.quendari.art/?shell=app";

struct created_pair {
  HRESULT outcome;
  ICoreWebView2Controller* controller;
  ICoreWebView2* webview;
};

class com_handler_test : public ::testing::Test {
 protected:
  void SetUp() override {
    handler = new webview2_com_handler(
        host_window,
        [this](std::string message, std::wstring) { messages.push_back(std::move(message)); },
        [this, alive = alive](HRESULT outcome, ICoreWebView2Controller* controller,
                              ICoreWebView2* webview) {
          created.push_back({outcome, controller, webview});
          if (on_created) on_created(controller, webview);
        },
        start_url, [this](std::function<void()> task) { posted.push_back(std::move(task)); });
    handler->set_environment_creator([this]() -> HRESULT {
      const HRESULT result =
          creator_calls < creator_results.size() ? creator_results[creator_calls] : E_FAIL;
      ++creator_calls;
      return result;
    });
  }
  void TearDown() override {
    if (handler != nullptr) handler->Release();
  }

  ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environment_handler() {
    return handler;
  }
  ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* controller_handler() {
    return handler;
  }
  ICoreWebView2WebMessageReceivedEventHandler* message_handler() { return handler; }
  ICoreWebView2PermissionRequestedEventHandler* permission_handler() { return handler; }
  ICoreWebView2NewWindowRequestedEventHandler* new_window_handler() { return handler; }

  // The reference count, read through a balanced AddRef/Release pair.
  ULONG references() {
    const ULONG count = handler->AddRef() - 1;
    handler->Release();
    return count;
  }

  const HWND host_window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x10010));
  std::shared_ptr<int> alive = std::make_shared<int>(0);
  webview2_com_handler* handler = nullptr;
  std::vector<std::string> messages;
  std::vector<created_pair> created;
  std::function<void(ICoreWebView2Controller*, ICoreWebView2*)> on_created;
  std::vector<HRESULT> creator_results;
  size_t creator_calls = 0;
  std::vector<std::function<void()>> posted;
};

// Identity and lifetime.

TEST_F(com_handler_test, query_interface_with_null_out_pointer_is_e_pointer) {
  EXPECT_EQ(handler->QueryInterface(IID_ICoreWebView2WebMessageReceivedEventHandler, nullptr),
            E_POINTER);
  EXPECT_EQ(references(), 1u);
}

TEST_F(com_handler_test, query_interface_refuses_foreign_interfaces) {
  for (const IID* iid : {&IID_ICoreWebView2, &IID_ICoreWebView2ZoomFactorChangedEventHandler}) {
    void* out = this;
    EXPECT_EQ(handler->QueryInterface(*iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(references(), 1u);
}

// COM identity: IUnknown is answered with one pointer, whichever interface is asked.
TEST_F(com_handler_test, query_interface_answers_iunknown_with_one_pointer) {
  void* first = nullptr;
  void* second = nullptr;
  ASSERT_EQ(message_handler()->QueryInterface(IID_IUnknown, &first), S_OK);
  ASSERT_EQ(new_window_handler()->QueryInterface(IID_IUnknown, &second), S_OK);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(references(), 3u);
  static_cast<IUnknown*>(first)->Release();
  static_cast<IUnknown*>(second)->Release();
}

TEST_F(com_handler_test, query_interface_answers_each_callback_with_its_own_sub_object) {
  const std::pair<const IID*, void*> expected[] = {
      {&IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, controller_handler()},
      {&IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, environment_handler()},
      {&IID_ICoreWebView2WebMessageReceivedEventHandler, message_handler()},
      {&IID_ICoreWebView2PermissionRequestedEventHandler, permission_handler()},
      {&IID_ICoreWebView2NewWindowRequestedEventHandler, new_window_handler()},
  };
  ULONG count = 1;
  for (const auto& [iid, sub_object] : expected) {
    void* out = nullptr;
    ASSERT_EQ(handler->QueryInterface(*iid, &out), S_OK);
    EXPECT_EQ(out, sub_object);
    EXPECT_EQ(references(), ++count);
  }
  // Five distinct tables; the ones past the first are not the object's own address.
  EXPECT_NE(static_cast<void*>(message_handler()), static_cast<void*>(environment_handler()));
  for (const auto& entry : expected) static_cast<IUnknown*>(entry.second)->Release();
  EXPECT_EQ(references(), 1u);
}

TEST_F(com_handler_test, every_interface_shares_one_reference_count) {
  EXPECT_EQ(message_handler()->AddRef(), 2u);
  EXPECT_EQ(new_window_handler()->AddRef(), 3u);
  EXPECT_EQ(permission_handler()->Release(), 2u);
  EXPECT_EQ(controller_handler()->Release(), 1u);
}

TEST_F(com_handler_test, release_of_the_last_reference_destroys_the_object) {
  std::weak_ptr<int> watch = alive;
  alive.reset();
  handler->AddRef();
  EXPECT_EQ(handler->Release(), 1u);
  EXPECT_FALSE(watch.expired());
  EXPECT_EQ(new_window_handler()->Release(), 0u);
  EXPECT_TRUE(watch.expired());
  handler = nullptr;
}

// Start-up and its retry budget.

TEST_F(com_handler_test, five_refused_starts_then_nulls) {
  creator_results = {E_FAIL, E_OUTOFMEMORY, E_FAIL, E_ACCESSDENIED, E_FAIL, S_OK};
  handler->attempt_environment_creation();
  EXPECT_EQ(creator_calls, 5u);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].outcome, E_FAIL) << "the last refusal is reported";
  EXPECT_EQ(created[0].controller, nullptr);
  EXPECT_EQ(created[0].webview, nullptr);
  // Spent for good: later attempts report nulls without starting anything.
  handler->attempt_environment_creation();
  EXPECT_EQ(creator_calls, 5u);
  EXPECT_EQ(created.size(), 2u);
}

TEST_F(com_handler_test, without_a_creator_the_budget_is_spent_at_once) {
  handler->set_environment_creator(nullptr);
  handler->attempt_environment_creation();
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].controller, nullptr);
}

TEST_F(com_handler_test, accepted_start_ends_the_attempts) {
  creator_results = {E_FAIL, S_FALSE};
  handler->attempt_environment_creation();
  EXPECT_EQ(creator_calls, 2u);
  EXPECT_TRUE(created.empty());
}

TEST_F(com_handler_test, invalid_state_from_the_creator_is_final_and_reported) {
  creator_results = {invalid_state};
  handler->attempt_environment_creation();
  EXPECT_EQ(creator_calls, 1u);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].outcome, invalid_state);
  EXPECT_EQ(created[0].controller, nullptr);
}

TEST_F(com_handler_test, environment_failures_share_the_budget_with_the_first_start) {
  creator_results = {E_FAIL, E_FAIL, E_FAIL, S_OK, S_OK};
  handler->attempt_environment_creation();
  ASSERT_EQ(creator_calls, 4u);

  EXPECT_EQ(environment_handler()->Invoke(E_FAIL, nullptr), S_OK);
  EXPECT_EQ(creator_calls, 5u);
  EXPECT_TRUE(created.empty());

  EXPECT_EQ(environment_handler()->Invoke(E_FAIL, nullptr), S_OK);
  EXPECT_EQ(creator_calls, 5u);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].controller, nullptr);
}

TEST_F(com_handler_test, invalid_state_from_a_retry_stops_retrying) {
  creator_results = {S_OK, invalid_state};
  handler->attempt_environment_creation();
  environment_handler()->Invoke(E_FAIL, nullptr);
  EXPECT_EQ(creator_calls, 2u);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].outcome, invalid_state);
}

TEST_F(com_handler_test, invalid_state_in_the_environment_completion_is_final_and_kept) {
  creator_results = {S_OK};
  handler->attempt_environment_creation();
  environment_handler()->Invoke(invalid_state, nullptr);
  EXPECT_EQ(creator_calls, 1u);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].outcome, invalid_state);
}

TEST_F(com_handler_test, environment_success_requests_the_controller_for_the_host_window) {
  fake_environment environment;
  EXPECT_EQ(environment_handler()->Invoke(S_OK, &environment), S_OK);
  EXPECT_EQ(environment.create_controller_calls, 1);
  EXPECT_EQ(environment.parent_window, host_window);
  EXPECT_EQ(environment.controller_handler, controller_handler());
  EXPECT_EQ(creator_calls, 0u);
  EXPECT_EQ(environment.references, 1u);
}

TEST_F(com_handler_test, refused_controller_request_retries_unless_final) {
  fake_environment environment;
  environment.create_controller_result = E_FAIL;
  creator_results = {S_OK};
  environment_handler()->Invoke(S_OK, &environment);
  EXPECT_EQ(creator_calls, 1u);
  EXPECT_TRUE(created.empty());

  environment.create_controller_result = invalid_state;
  environment_handler()->Invoke(S_OK, &environment);
  EXPECT_EQ(creator_calls, 1u);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].outcome, invalid_state);
}

TEST_F(com_handler_test, successful_environment_completion_without_environment_retries) {
  creator_results = {S_OK};
  EXPECT_EQ(environment_handler()->Invoke(S_OK, nullptr), S_OK);
  EXPECT_EQ(creator_calls, 1u);
}

TEST_F(com_handler_test, final_controller_codes_end_the_start_without_retrying) {
  for (const HRESULT final_code : {E_ABORT, invalid_state}) {
    EXPECT_EQ(controller_handler()->Invoke(final_code, nullptr), S_OK);
  }
  EXPECT_EQ(creator_calls, 0u);
  ASSERT_EQ(created.size(), 2u);
  EXPECT_EQ(created[0].outcome, E_ABORT);
  EXPECT_EQ(created[1].outcome, invalid_state);
  EXPECT_EQ(created[1].controller, nullptr);
}

TEST_F(com_handler_test, failed_controller_completion_retries) {
  creator_results = {S_OK};
  fake_controller controller;
  EXPECT_EQ(controller_handler()->Invoke(E_FAIL, &controller), S_OK);
  EXPECT_EQ(creator_calls, 1u);
  EXPECT_TRUE(created.empty());
}

TEST_F(com_handler_test, controller_without_web_view_retries_like_a_failure) {
  creator_results = {S_OK, S_OK, S_OK};
  fake_webview webview;
  fake_controller failing;
  failing.core_webview = &webview;
  failing.core_webview_result = E_UNEXPECTED;
  fake_controller empty;
  EXPECT_EQ(controller_handler()->Invoke(S_OK, &failing), S_OK);
  EXPECT_EQ(controller_handler()->Invoke(S_OK, &empty), S_OK);
  EXPECT_EQ(controller_handler()->Invoke(S_OK, nullptr), S_OK);
  EXPECT_EQ(creator_calls, 3u);
  EXPECT_TRUE(created.empty());
  EXPECT_EQ(webview.message_handler, nullptr);
  EXPECT_EQ(webview.references, 1u);
}

TEST_F(com_handler_test, controller_success_delivers_both_and_leaves_the_events_to_the_host) {
  fake_webview webview;
  fake_controller controller;
  controller.core_webview = &webview;
  on_created = [](ICoreWebView2Controller* c, ICoreWebView2* w) {
    c->AddRef();
    w->AddRef();
  };
  EXPECT_EQ(controller_handler()->Invoke(S_OK, &controller), S_OK);
  EXPECT_EQ(webview.message_handler, nullptr);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].outcome, S_OK);
  EXPECT_EQ(created[0].controller, &controller);
  EXPECT_EQ(created[0].webview, &webview);
  // Only the callback's references remain: the handler keeps no browser object.
  EXPECT_EQ(webview.references, 2u);
  EXPECT_EQ(controller.references, 2u);
  EXPECT_EQ(creator_calls, 0u);
}

TEST_F(com_handler_test, throwing_callback_stays_inside_invoke_and_releases_the_web_view) {
  fake_webview webview;
  fake_controller controller;
  controller.core_webview = &webview;
  on_created = [](ICoreWebView2Controller*, ICoreWebView2*) { throw std::runtime_error("x"); };
  EXPECT_EQ(controller_handler()->Invoke(S_OK, &controller), S_OK);
  EXPECT_EQ(webview.references, 1u);
}

// Web messages.

TEST_F(com_handler_test, string_messages_arrive_as_utf8) {
  const struct {
    const char* what;
    std::wstring text;
    std::string utf8;
  } cases[] = {
      {"ASCII JSON", L"{\"id\":\"1\"}", "{\"id\":\"1\"}"},
      {"empty string", L"", ""},
      {"U+00FC, two UTF-8 bytes", L"gr\u00FC\u00DF", "gr\xC3\xBC\xC3\x9F"},
      {"U+20AC, three UTF-8 bytes", L"\u20AC", "\xE2\x82\xAC"},
      {"surrogate pair U+1F4AC, four UTF-8 bytes", L"\xD83D\xDCAC", "\xF0\x9F\x92\xAC"},
      {"unpaired high surrogate: invalid UTF-16", L"a\xD800z", ""},
      {"unpaired low surrogate: invalid UTF-16", L"\xDC00", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    task_memory_spy spy;
    ASSERT_TRUE(spy.is_registered());
    fake_web_message_args args;
    args.message = c.text;
    EXPECT_EQ(message_handler()->Invoke(nullptr, &args), S_OK);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], c.utf8);
    EXPECT_TRUE(spy.was_freed(args.handed_out));
  }
}

TEST_F(com_handler_test, message_that_is_not_a_string_is_dropped) {
  task_memory_spy spy;
  fake_web_message_args args;
  args.string_result = E_INVALIDARG;
  EXPECT_EQ(message_handler()->Invoke(nullptr, &args), S_OK);
  EXPECT_TRUE(messages.empty());
}

TEST_F(com_handler_test, null_message_text_arrives_as_an_empty_message) {
  fake_web_message_args args;
  EXPECT_EQ(message_handler()->Invoke(nullptr, &args), S_OK);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "");
}

TEST_F(com_handler_test, throwing_message_callback_stays_inside_invoke) {
  auto* throwing = new webview2_com_handler(
      nullptr, [](std::string, std::wstring) { throw std::runtime_error("x"); },
      [](HRESULT, ICoreWebView2Controller*, ICoreWebView2*) {}, start_url,
      [](std::function<void()>) {});
  task_memory_spy spy;
  fake_web_message_args args;
  args.message = L"x";
  EXPECT_EQ(
      static_cast<ICoreWebView2WebMessageReceivedEventHandler*>(throwing)->Invoke(nullptr, &args),
      S_OK);
  EXPECT_TRUE(spy.was_freed(args.handed_out));
  throwing->Release();
}

// Permissions.

TEST_F(com_handler_test, granted_kinds_are_allowed_for_the_start_origin_only) {
  const struct {
    const char* what;
    int kind;
    bool allowed;
  } kinds[] = {
      {"unknown permission", 0, false},
      {"microphone", 1, true},
      {"camera", 2, true},
      {"geolocation", 3, true},
      {"notifications", 4, true},
      {"other sensors", 5, false},
      {"clipboard read", 6, true},
      {"first kind past the table", 7, false},
      {"a later kind", 13, false},
  };
  const struct {
    const char* what;
    std::wstring uri;
    bool trusted;
  } origins[] = {
      {"the start page", L"https://app.quendari.art/?shell=app", true},
      {"another page, explicit default port", L"https://APP.Quendari.art:443/settings#x", true},
      {"another host", L"https://evil.example/", false},
      {"a subdomain", L"https://www.app.quendari.art/", false},
      {"plain http", L"http://app.quendari.art/", false},
      {"another port", L"https://app.quendari.art:8443/", false},
      {"the host as user information", L"https://app.quendari.art@evil.example/", false},
  };
  for (const auto& origin : origins) {
    for (const auto& k : kinds) {
      SCOPED_TRACE(std::string(origin.what) + ", " + k.what);
      task_memory_spy spy;
      fake_permission_args args;
      args.kind = static_cast<COREWEBVIEW2_PERMISSION_KIND>(k.kind);
      args.uri = origin.uri;
      EXPECT_EQ(permission_handler()->Invoke(nullptr, &args), S_OK);
      if (k.allowed && origin.trusted) {
        ASSERT_EQ(args.states_written.size(), 1u);
        EXPECT_EQ(args.states_written[0], COREWEBVIEW2_PERMISSION_STATE_ALLOW);
      } else {
        EXPECT_TRUE(args.states_written.empty());
      }
      if (args.handed_out != nullptr) {
        EXPECT_TRUE(spy.was_freed(args.handed_out));
      }
    }
  }
}

TEST_F(com_handler_test, unreadable_requests_keep_the_browsers_state) {
  fake_permission_args no_kind;
  no_kind.kind_result = E_FAIL;
  no_kind.kind = COREWEBVIEW2_PERMISSION_KIND_CAMERA;
  no_kind.uri = start_url;
  fake_permission_args no_uri;
  no_uri.kind = COREWEBVIEW2_PERMISSION_KIND_CAMERA;
  no_uri.uri_result = E_FAIL;
  fake_permission_args null_uri;
  null_uri.kind = COREWEBVIEW2_PERMISSION_KIND_CAMERA;
  for (auto* args : {&no_kind, &no_uri, &null_uri}) {
    EXPECT_EQ(permission_handler()->Invoke(nullptr, args), S_OK);
    EXPECT_TRUE(args->states_written.empty());
  }
  EXPECT_EQ(permission_handler()->Invoke(nullptr, nullptr), S_OK);
}

// New windows. Launching itself is checked against a registered handler in
// com_handler_launch_test.cpp; these requests are all ones that must launch nothing.

TEST_F(com_handler_test, every_new_window_request_is_marked_handled) {
  fake_new_window_args unreadable;
  unreadable.uri_result = E_FAIL;
  fake_new_window_args null_uri;
  fake_new_window_args empty;
  empty.uri = L"";
  for (auto* args : {&unreadable, &null_uri, &empty}) {
    task_memory_spy spy;
    EXPECT_EQ(new_window_handler()->Invoke(nullptr, args), S_OK);
    ASSERT_EQ(args->handled_written.size(), 1u);
    EXPECT_EQ(args->handled_written[0], TRUE);
    if (args->handed_out != nullptr) {
      EXPECT_TRUE(spy.was_freed(args->handed_out));
    }
  }
  EXPECT_EQ(new_window_handler()->Invoke(nullptr, nullptr), S_OK);
  EXPECT_TRUE(posted.empty());
}

// Scripted window.open calls must not launch anything; a launch never runs inside the event.
TEST_F(com_handler_test, only_a_user_initiated_allowed_link_posts_a_launch) {
  fake_new_window_args scripted;
  scripted.uri = L"https://example.com/";
  scripted.user_initiated = FALSE;
  fake_new_window_args unknown_initiator;
  unknown_initiator.uri = L"https://example.com/";
  unknown_initiator.user_initiated_result = E_NOTIMPL;
  fake_new_window_args refused;
  refused.uri = L"javascript:alert(1)";
  for (auto* args : {&scripted, &unknown_initiator, &refused}) {
    EXPECT_EQ(new_window_handler()->Invoke(nullptr, args), S_OK);
    EXPECT_EQ(args->handled_written, std::vector<BOOL>{TRUE});
  }
  EXPECT_TRUE(posted.empty());

  fake_new_window_args clicked;
  clicked.uri = L"https://example.com/";
  EXPECT_EQ(new_window_handler()->Invoke(nullptr, &clicked), S_OK);
  EXPECT_EQ(clicked.handled_written, std::vector<BOOL>{TRUE});
  EXPECT_EQ(posted.size(), 1u);
}

}  // namespace
}  // namespace webview::detail
