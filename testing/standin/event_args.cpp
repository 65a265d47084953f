#include "testing/standin/event_args.h"

#include "testing/standin/com_identity.h"
#include "testing/standin/core_webview.h"
#include "testing/standin/event_handlers.h"
#include "testing/standin/task_string.h"
#include "util/precise_time.h"

namespace standin {

using webview::detail::call_without_throwing;
using webview::detail::precise_time_us;

namespace {

constexpr const char* message_interface = "ICoreWebView2WebMessageReceivedEventArgs";
constexpr const char* permission_interface = "ICoreWebView2PermissionRequestedEventArgs";
constexpr const char* new_window_interface = "ICoreWebView2NewWindowRequestedEventArgs";
constexpr const char* process_failed_interface = "ICoreWebView2ProcessFailedEventArgs";
constexpr const char* navigation_interface = "ICoreWebView2NavigationCompletedEventArgs";
constexpr const char* navigation2_interface = "ICoreWebView2NavigationCompletedEventArgs2";
constexpr const char* exited_interface = "ICoreWebView2BrowserProcessExitedEventArgs";
constexpr const char* starting_interface = "ICoreWebView2NavigationStartingEventArgs";
constexpr const char* features_interface = "ICoreWebView2WindowFeatures";
constexpr const char* deferral_interface = "ICoreWebView2Deferral";
constexpr const char* notification_interface = "ICoreWebView2Notification";
constexpr const char* notification_args_interface = "ICoreWebView2NotificationReceivedEventArgs";
// 1970-01-01 in microseconds since 1601.
constexpr std::int64_t unix_epoch_us = 11644473600000000;

// Stores `value` in *out and logs the call with it.
template <typename Value>
HRESULT log_value_getter(const char* interface_name, const char* method, Value value, Value* out) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (out) *out = value;
    return log_call(interface_name, method,
                    log_fields().integer("value", static_cast<std::int64_t>(value)),
                    out ? S_OK : E_POINTER);
  });
}

// Hands out `text` and logs the call with the text handed out.
HRESULT log_string_getter(const char* interface_name, const char* method, const std::wstring& text,
                          LPWSTR* out) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const HRESULT result = hand_out_string(text, out);
    return log_call(interface_name, method,
                    log_fields().text("value", SUCCEEDED(result) ? text.c_str() : nullptr), result);
  });
}

HRESULT log_flag_getter(const char* interface_name, const char* method, bool value, BOOL* out) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (out) *out = value ? TRUE : FALSE;
    return log_call(interface_name, method, log_fields().boolean("value", value),
                    out ? S_OK : E_POINTER);
  });
}

HRESULT log_not_implemented(const char* interface_name, const char* method) {
  return call_without_throwing(E_UNEXPECTED,
                               [&] { return log_call(interface_name, method, {}, E_NOTIMPL); });
}

// The features that window.open was given. A window opened without any (a link, window.open(url))
// shows menu bar, status, toolbar and scroll bars; any feature given hides those not named.
class features_object final : public ICoreWebView2WindowFeatures {
 public:
  explicit features_object(const window_features& given) : given(given) {}
  features_object(const features_object&) = delete;
  features_object& operator=(const features_object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return answer_query(this, features_interface, IID_ICoreWebView2WindowFeatures, riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++reference_count; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --reference_count;
    if (remaining == 0) delete this;
    return remaining;
  }
  HRESULT STDMETHODCALLTYPE get_HasPosition(BOOL* value) override {
    return log_flag_getter(features_interface, "get_HasPosition", given.has_position, value);
  }
  HRESULT STDMETHODCALLTYPE get_HasSize(BOOL* value) override {
    return log_flag_getter(features_interface, "get_HasSize", given.has_size, value);
  }
  HRESULT STDMETHODCALLTYPE get_Left(UINT32* value) override {
    return log_value_getter(features_interface, "get_Left", given.left, value);
  }
  HRESULT STDMETHODCALLTYPE get_Top(UINT32* value) override {
    return log_value_getter(features_interface, "get_Top", given.top, value);
  }
  HRESULT STDMETHODCALLTYPE get_Height(UINT32* value) override {
    return log_value_getter(features_interface, "get_Height", given.height, value);
  }
  HRESULT STDMETHODCALLTYPE get_Width(UINT32* value) override {
    return log_value_getter(features_interface, "get_Width", given.width, value);
  }
  HRESULT STDMETHODCALLTYPE get_ShouldDisplayMenuBar(BOOL* value) override {
    return log_flag_getter(features_interface, "get_ShouldDisplayMenuBar", plain(), value);
  }
  HRESULT STDMETHODCALLTYPE get_ShouldDisplayStatus(BOOL* value) override {
    return log_flag_getter(features_interface, "get_ShouldDisplayStatus", plain(), value);
  }
  HRESULT STDMETHODCALLTYPE get_ShouldDisplayToolbar(BOOL* value) override {
    return log_flag_getter(features_interface, "get_ShouldDisplayToolbar", plain(), value);
  }
  HRESULT STDMETHODCALLTYPE get_ShouldDisplayScrollBars(BOOL* value) override {
    return log_flag_getter(features_interface, "get_ShouldDisplayScrollBars", plain(), value);
  }

 private:
  ~features_object() = default;
  bool plain() const { return !given.has_size && !given.has_position; }

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  window_features given;
};

// Holds a request open until Complete: the opener's window.open meanwhile has an unnavigated
// window, which navigates when the deferral is complete; a notification is shown or not then.
class deferral_object final : public ICoreWebView2Deferral {
 public:
  explicit deferral_object(ui_thread_queue::task on_complete)
      : on_complete(std::move(on_complete)) {}
  deferral_object(const deferral_object&) = delete;
  deferral_object& operator=(const deferral_object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return answer_query(this, deferral_interface, IID_ICoreWebView2Deferral, riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++reference_count; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --reference_count;
    if (remaining == 0) delete this;
    return remaining;
  }
  HRESULT STDMETHODCALLTYPE Complete() override {
    return call_without_throwing(E_UNEXPECTED, [&] {
      if (completed) return log_call(deferral_interface, "Complete", {}, wrong_state);
      completed = true;
      on_complete();
      return log_call(deferral_interface, "Complete", {}, S_OK);
    });
  }

 private:
  ~deferral_object() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  ui_thread_queue::task on_complete;
  bool completed = false;
};

class exited_args final : public ICoreWebView2BrowserProcessExitedEventArgs {
 public:
  exited_args(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind, UINT32 id) : kind(kind), id(id) {}
  exited_args(const exited_args&) = delete;
  exited_args& operator=(const exited_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return answer_query(this, exited_interface, IID_ICoreWebView2BrowserProcessExitedEventArgs,
                        riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++reference_count; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --reference_count;
    if (remaining == 0) delete this;
    return remaining;
  }
  HRESULT STDMETHODCALLTYPE
  get_BrowserProcessExitKind(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND* value) override {
    return log_value_getter(exited_interface, "get_BrowserProcessExitKind", kind, value);
  }
  HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32* value) override {
    return log_value_getter(exited_interface, "get_BrowserProcessId", id, value);
  }

 private:
  ~exited_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind;
  UINT32 id;
};

}  // namespace

// A page's notification. Only a host that set Handled reports on it, and nothing once it
// reported it closed.
class notification_object final : public ICoreWebView2Notification {
 public:
  notification_object(std::wstring title, std::wstring body, bool silent,
                      std::shared_ptr<browser_process> process)
      : title(std::move(title)),
        body(std::move(body)),
        silent(silent),
        process(std::move(process)),
        timestamp(static_cast<double>(precise_time_us() - unix_epoch_us) / 1000) {}
  notification_object(const notification_object&) = delete;
  notification_object& operator=(const notification_object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return answer_query(this, notification_interface, IID_ICoreWebView2Notification, riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++reference_count; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --reference_count;
    if (remaining == 0) delete this;
    return remaining;
  }
  HRESULT STDMETHODCALLTYPE
  add_CloseRequested(ICoreWebView2NotificationCloseRequestedEventHandler* handler,
                     EventRegistrationToken* token) override {
    return call_without_throwing(E_UNEXPECTED, [&] {
      const HRESULT result = close_handlers.add(handler, token);
      return log_call(notification_interface, "add_CloseRequested",
                      log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
    });
  }
  HRESULT STDMETHODCALLTYPE remove_CloseRequested(EventRegistrationToken token) override {
    return call_without_throwing(E_UNEXPECTED, [&] {
      return log_call(notification_interface, "remove_CloseRequested",
                      log_fields().integer("token", token.value), close_handlers.remove(token));
    });
  }
  HRESULT STDMETHODCALLTYPE ReportShown() override { return report("ReportShown", false); }
  HRESULT STDMETHODCALLTYPE ReportClicked() override { return report("ReportClicked", false); }
  HRESULT STDMETHODCALLTYPE ReportClosed() override { return report("ReportClosed", true); }
  HRESULT STDMETHODCALLTYPE get_Body(LPWSTR* value) override {
    return log_string_getter(notification_interface, "get_Body", body, value);
  }
  HRESULT STDMETHODCALLTYPE get_Direction(COREWEBVIEW2_TEXT_DIRECTION_KIND* value) override {
    return log_value_getter(notification_interface, "get_Direction",
                            COREWEBVIEW2_TEXT_DIRECTION_KIND_DEFAULT, value);
  }
  HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override {
    return log_string_getter(notification_interface, "get_Language", L"", value);
  }
  HRESULT STDMETHODCALLTYPE get_Tag(LPWSTR* value) override {
    return log_string_getter(notification_interface, "get_Tag", L"", value);
  }
  HRESULT STDMETHODCALLTYPE get_IconUri(LPWSTR* value) override {
    return log_string_getter(notification_interface, "get_IconUri", L"", value);
  }
  HRESULT STDMETHODCALLTYPE get_Title(LPWSTR* value) override {
    return log_string_getter(notification_interface, "get_Title", title, value);
  }
  HRESULT STDMETHODCALLTYPE get_BadgeUri(LPWSTR* value) override {
    return log_string_getter(notification_interface, "get_BadgeUri", L"", value);
  }
  HRESULT STDMETHODCALLTYPE get_BodyImageUri(LPWSTR* value) override {
    return log_string_getter(notification_interface, "get_BodyImageUri", L"", value);
  }
  HRESULT STDMETHODCALLTYPE get_ShouldRenotify(BOOL* value) override {
    return log_flag_getter(notification_interface, "get_ShouldRenotify", false, value);
  }
  HRESULT STDMETHODCALLTYPE get_RequiresInteraction(BOOL* value) override {
    return log_flag_getter(notification_interface, "get_RequiresInteraction", false, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsSilent(BOOL* value) override {
    return log_flag_getter(notification_interface, "get_IsSilent", silent, value);
  }
  HRESULT STDMETHODCALLTYPE get_Timestamp(double* value) override {
    return call_without_throwing(E_UNEXPECTED, [&] {
      if (value) *value = timestamp;
      return log_call(notification_interface, "get_Timestamp",
                      log_fields().number("value", timestamp), value ? S_OK : E_POINTER);
    });
  }
  HRESULT STDMETHODCALLTYPE GetVibrationPattern(UINT32* count, UINT64** pattern) override {
    return call_without_throwing(E_UNEXPECTED, [&] {
      if (count) *count = 0;
      if (pattern) *pattern = nullptr;
      return log_call(notification_interface, "GetVibrationPattern",
                      log_fields().integer("count", 0), count && pattern ? S_OK : E_POINTER);
    });
  }

  // Raised every time the page closes it, also once the host reported it closed.
  void request_close(std::int64_t webview) {
    close_handlers.fire("NotificationCloseRequested", this, static_cast<IUnknown*>(nullptr),
                        log_fields().integer("webView", webview).text("title", title),
                        [] { return log_fields(); });
  }

  const std::wstring title;
  bool handled = false;  // as its event arguments' put_Handled left it

 private:
  ~notification_object() = default;
  HRESULT report(const char* method, bool closes) {
    return call_without_throwing(E_UNEXPECTED, [&] {
      const HRESULT result = process->exited()    ? browser_gone
                             : !handled || closed ? wrong_state
                                                  : S_OK;
      if (SUCCEEDED(result) && closes) closed = true;
      return log_call(notification_interface, method, log_fields().text("title", title), result);
    });
  }

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  const std::wstring body;
  const bool silent;
  const std::shared_ptr<browser_process> process;
  const double timestamp;  // milliseconds since 1970
  bool closed = false;
  event_handlers<ICoreWebView2NotificationCloseRequestedEventHandler> close_handlers;
};

web_message_args::web_message_args(std::wstring source, std::wstring as_json, bool is_string,
                                   std::wstring as_string)
    : source(std::move(source)),
      as_json(std::move(as_json)),
      is_string(is_string),
      as_string(std::move(as_string)) {}

HRESULT STDMETHODCALLTYPE web_message_args::QueryInterface(REFIID riid, void** object) {
  return answer_query(this, message_interface, IID_ICoreWebView2WebMessageReceivedEventArgs, riid,
                      object);
}

ULONG STDMETHODCALLTYPE web_message_args::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE web_message_args::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE web_message_args::get_Source(LPWSTR* value) {
  return log_string_getter(message_interface, "get_Source", source, value);
}

HRESULT STDMETHODCALLTYPE web_message_args::get_WebMessageAsJson(LPWSTR* value) {
  return log_string_getter(message_interface, "get_WebMessageAsJson", as_json, value);
}

HRESULT STDMETHODCALLTYPE web_message_args::TryGetWebMessageAsString(LPWSTR* value) {
  if (is_string)
    return log_string_getter(message_interface, "TryGetWebMessageAsString", as_string, value);
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = nullptr;
    return log_call(message_interface, "TryGetWebMessageAsString", log_fields(), E_INVALIDARG);
  });
}

permission_args::permission_args(std::wstring uri, COREWEBVIEW2_PERMISSION_KIND kind)
    : uri(std::move(uri)), kind(kind) {}

HRESULT STDMETHODCALLTYPE permission_args::QueryInterface(REFIID riid, void** object) {
  return answer_query(this, permission_interface, IID_ICoreWebView2PermissionRequestedEventArgs,
                      riid, object);
}

ULONG STDMETHODCALLTYPE permission_args::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE permission_args::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE permission_args::get_Uri(LPWSTR* value) {
  return log_string_getter(permission_interface, "get_Uri", uri, value);
}

HRESULT STDMETHODCALLTYPE permission_args::get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = kind;
    return log_call(permission_interface, "get_PermissionKind", log_fields().integer("value", kind),
                    value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE permission_args::get_IsUserInitiated(BOOL* value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = TRUE;
    return log_call(permission_interface, "get_IsUserInitiated",
                    log_fields().boolean("value", true), value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE permission_args::get_State(COREWEBVIEW2_PERMISSION_STATE* value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = state;
    return log_call(permission_interface, "get_State", log_fields().integer("value", state),
                    value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE permission_args::put_State(COREWEBVIEW2_PERMISSION_STATE value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const bool known = value == COREWEBVIEW2_PERMISSION_STATE_DEFAULT ||
                       value == COREWEBVIEW2_PERMISSION_STATE_ALLOW ||
                       value == COREWEBVIEW2_PERMISSION_STATE_DENY;
    if (known) state = value;
    return log_call(permission_interface, "put_State", log_fields().integer("value", value),
                    known ? S_OK : E_INVALIDARG);
  });
}

HRESULT STDMETHODCALLTYPE permission_args::GetDeferral(ICoreWebView2Deferral** deferral) {
  if (deferral) *deferral = nullptr;
  return log_not_implemented(permission_interface, "GetDeferral");
}

new_window_args::new_window_args(std::wstring uri, bool user_initiated,
                                 const window_features& features, std::int64_t opener,
                                 std::shared_ptr<browser_process> opener_process)
    : uri(std::move(uri)),
      user_initiated(user_initiated),
      features(features),
      opener(opener),
      opener_process(std::move(opener_process)) {}

new_window_args::~new_window_args() = default;

HRESULT STDMETHODCALLTYPE new_window_args::QueryInterface(REFIID riid, void** object) {
  return answer_query(this, new_window_interface, IID_ICoreWebView2NewWindowRequestedEventArgs,
                      riid, object);
}

ULONG STDMETHODCALLTYPE new_window_args::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE new_window_args::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE new_window_args::get_Uri(LPWSTR* value) {
  return log_string_getter(new_window_interface, "get_Uri", uri, value);
}

HRESULT STDMETHODCALLTYPE new_window_args::put_NewWindow(ICoreWebView2* new_window) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    com_ptr<core_webview> view = core_webview::find(new_window);
    const log_fields args = log_fields().integer("webView", view ? view->id() : 0);
    HRESULT result = S_OK;
    if (target || decided) {
      // Once set, the new window cannot be changed.
      result = wrong_state;
    } else if (!view || !view->can_become_new_window(opener_process)) {
      // It must be on the opener's environment, not navigated before, and no other request's.
      result = E_INVALIDARG;
    } else {
      view->claim_as_new_window();
      target = std::move(view);
    }
    return log_call(new_window_interface, "put_NewWindow", args, result);
  });
}

HRESULT STDMETHODCALLTYPE new_window_args::get_NewWindow(ICoreWebView2** new_window) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (new_window) *new_window = com_ptr<core_webview>::share(target.get()).detach();
    return log_call(new_window_interface, "get_NewWindow",
                    log_fields().integer("webView", target ? target->id() : 0),
                    new_window ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE new_window_args::put_Handled(BOOL value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (!decided) handled = value != FALSE;
    return log_call(new_window_interface, "put_Handled", log_fields().integer("value", value),
                    decided ? wrong_state : S_OK);
  });
}

HRESULT STDMETHODCALLTYPE new_window_args::get_Handled(BOOL* value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = handled ? TRUE : FALSE;
    return log_call(new_window_interface, "get_Handled", log_fields().boolean("value", handled),
                    value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE new_window_args::get_IsUserInitiated(BOOL* value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = user_initiated ? TRUE : FALSE;
    return log_call(new_window_interface, "get_IsUserInitiated",
                    log_fields().boolean("value", user_initiated), value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE new_window_args::GetDeferral(ICoreWebView2Deferral** deferral) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (!deferral) return log_call(new_window_interface, "GetDeferral", {}, E_POINTER);
    *deferral = nullptr;
    // One deferral per request, taken before the request was decided.
    if (deferral_taken || decided) {
      return log_call(new_window_interface, "GetDeferral", {}, wrong_state);
    }
    deferral_taken = true;
    *deferral = new deferral_object(
        [request = com_ptr<new_window_args>::share(this)] { request->deferral_completed(); });
    return log_call(new_window_interface, "GetDeferral", {}, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE new_window_args::get_WindowFeatures(ICoreWebView2WindowFeatures** value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = new features_object(features);
    return log_call(new_window_interface, "get_WindowFeatures", {}, value ? S_OK : E_POINTER);
  });
}

void new_window_args::handlers_returned(std::vector<HRESULT> handler_results) {
  returned = true;
  results = std::move(handler_results);
  decide_when_ready();
}

void new_window_args::deferral_completed() {
  deferral_done = true;
  decide_when_ready();
}

void new_window_args::decide_when_ready() {
  // A deferred request is decided when the deferral completes, maybe long after the handlers.
  if (decided || !returned || (deferral_taken && !deferral_done)) return;
  decided = true;
  runtime_state::get().log().write(log_fields()
                                       .utf8("outcome", "NewWindowRequested")
                                       .object("args", log_fields()
                                                           .boolean("handled", handled)
                                                           .boolean("newWindow", bool(target))
                                                           .boolean("deferred", deferral_taken)
                                                           .hresults("results", results)));
  if (target) {
    // With NewWindow set, the runtime itself navigates it and links it to its opener.
    target->load_as_new_window(opener, uri);
  } else if (handled) {
    // Handled without NewWindow: window.open gets a window object where no window loads.
    log_note("window.open returns null", log_fields().text("uri", uri));
  } else {
    // Neither: the runtime opens a popup window of its own, outside the application.
    log_note("runtime popup window", log_fields().text("uri", uri));
  }
}

HRESULT STDMETHODCALLTYPE process_failed_args::QueryInterface(REFIID riid, void** object) {
  return answer_query(this, process_failed_interface, IID_ICoreWebView2ProcessFailedEventArgs, riid,
                      object);
}

ULONG STDMETHODCALLTYPE process_failed_args::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE process_failed_args::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE
process_failed_args::get_ProcessFailedKind(COREWEBVIEW2_PROCESS_FAILED_KIND* value) {
  return log_value_getter(process_failed_interface, "get_ProcessFailedKind", kind, value);
}

HRESULT STDMETHODCALLTYPE navigation_completed_args::QueryInterface(REFIID riid, void** object) {
  // Runtimes before 1.0.1245 do not answer ICoreWebView2NavigationCompletedEventArgs2.
  const bool newer = runtime_state::get().plan().navigation_args2_available;
  return answer_query(this, navigation_interface, IID_ICoreWebView2NavigationCompletedEventArgs,
                      riid, object,
                      newer ? &IID_ICoreWebView2NavigationCompletedEventArgs2 : nullptr);
}

ULONG STDMETHODCALLTYPE navigation_completed_args::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE navigation_completed_args::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE navigation_completed_args::get_IsSuccess(BOOL* value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = success ? TRUE : FALSE;
    return log_call(navigation_interface, "get_IsSuccess", log_fields().boolean("value", success),
                    value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE
navigation_completed_args::get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* value) {
  return log_value_getter(navigation_interface, "get_WebErrorStatus", status, value);
}

HRESULT STDMETHODCALLTYPE navigation_completed_args::get_NavigationId(UINT64* value) {
  return log_value_getter<UINT64>(navigation_interface, "get_NavigationId", id, value);
}

HRESULT STDMETHODCALLTYPE navigation_completed_args::get_HttpStatusCode(int* value) {
  return log_value_getter(navigation2_interface, "get_HttpStatusCode", http_status, value);
}

com_ptr<ICoreWebView2BrowserProcessExitedEventArgs> browser_exited_args(
    COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind, UINT32 id) {
  return com_ptr<ICoreWebView2BrowserProcessExitedEventArgs>::adopt(new exited_args(kind, id));
}

HRESULT STDMETHODCALLTYPE navigation_starting_args::QueryInterface(REFIID riid, void** object) {
  return answer_query(this, starting_interface, IID_ICoreWebView2NavigationStartingEventArgs, riid,
                      object);
}

ULONG STDMETHODCALLTYPE navigation_starting_args::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE navigation_starting_args::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE navigation_starting_args::get_Uri(LPWSTR* value) {
  return log_string_getter(starting_interface, "get_Uri", uri, value);
}

HRESULT STDMETHODCALLTYPE navigation_starting_args::get_IsUserInitiated(BOOL* value) {
  return log_flag_getter(starting_interface, "get_IsUserInitiated", user_initiated, value);
}

HRESULT STDMETHODCALLTYPE navigation_starting_args::get_IsRedirected(BOOL* value) {
  return log_flag_getter(starting_interface, "get_IsRedirected", false, value);
}

HRESULT STDMETHODCALLTYPE
navigation_starting_args::get_RequestHeaders(ICoreWebView2HttpRequestHeaders** value) {
  if (value) *value = nullptr;
  return log_not_implemented(starting_interface, "get_RequestHeaders");
}

HRESULT STDMETHODCALLTYPE navigation_starting_args::get_Cancel(BOOL* value) {
  return log_flag_getter(starting_interface, "get_Cancel", cancel, value);
}

HRESULT STDMETHODCALLTYPE navigation_starting_args::put_Cancel(BOOL value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    cancel = value != FALSE;
    return log_call(starting_interface, "put_Cancel", log_fields().integer("value", value), S_OK);
  });
}

HRESULT STDMETHODCALLTYPE navigation_starting_args::get_NavigationId(UINT64* value) {
  return log_value_getter(starting_interface, "get_NavigationId", static_cast<UINT64>(id), value);
}

notification_args::notification_args(const page_action& action,
                                     std::shared_ptr<browser_process> process, std::int64_t webview)
    : origin(action.sender),
      notification(com_ptr<notification_object>::adopt(
          new notification_object(action.text, action.body, action.on, std::move(process)))),
      webview(webview) {}

notification_args::~notification_args() = default;

HRESULT STDMETHODCALLTYPE notification_args::QueryInterface(REFIID riid, void** object) {
  return answer_query(this, notification_args_interface,
                      IID_ICoreWebView2NotificationReceivedEventArgs, riid, object);
}

ULONG STDMETHODCALLTYPE notification_args::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE notification_args::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE notification_args::get_SenderOrigin(LPWSTR* value) {
  return log_string_getter(notification_args_interface, "get_SenderOrigin", origin, value);
}

HRESULT STDMETHODCALLTYPE notification_args::get_Notification(ICoreWebView2Notification** value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = com_ptr<notification_object>::share(notification.get()).detach();
    return log_call(notification_args_interface, "get_Notification", {}, value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE notification_args::put_Handled(BOOL value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (!decided) {
      handled = value != FALSE;
      notification->handled = handled;
    }
    return log_call(notification_args_interface, "put_Handled",
                    log_fields().integer("value", value), decided ? wrong_state : S_OK);
  });
}

HRESULT STDMETHODCALLTYPE notification_args::get_Handled(BOOL* value) {
  return log_flag_getter(notification_args_interface, "get_Handled", handled, value);
}

HRESULT STDMETHODCALLTYPE notification_args::GetDeferral(ICoreWebView2Deferral** deferral) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (!deferral) return log_call(notification_args_interface, "GetDeferral", {}, E_POINTER);
    *deferral = nullptr;
    if (deferral_taken || decided) {
      return log_call(notification_args_interface, "GetDeferral", {}, wrong_state);
    }
    deferral_taken = true;
    *deferral = new deferral_object([self = com_ptr<notification_args>::share(this)] {
      self->deferral_done = true;
      self->decide_when_ready();
    });
    return log_call(notification_args_interface, "GetDeferral", {}, S_OK);
  });
}

void notification_args::handlers_returned(std::vector<HRESULT> handler_results) {
  returned = true;
  results = std::move(handler_results);
  decide_when_ready();
}

void notification_args::request_close() { notification->request_close(webview); }

void notification_args::decide_when_ready() {
  if (decided || !returned || (deferral_taken && !deferral_done)) return;
  decided = true;
  runtime_state::get().log().write(log_fields()
                                       .utf8("outcome", "NotificationReceived")
                                       .object("args", log_fields()
                                                           .boolean("handled", handled)
                                                           .boolean("deferred", deferral_taken)
                                                           .hresults("results", results)));
  // Left unhandled, the runtime shows the notification with its default UI.
  if (!handled) {
    log_note("runtime notification shown",
             log_fields().integer("webView", webview).text("title", notification->title));
  }
}

}  // namespace standin
