#include "testing/standin/core_webview.h"

#include <algorithm>
#include <mutex>

#include "testing/standin/com_identity.h"
#include "testing/standin/completion.h"
#include "testing/standin/controller.h"
#include "testing/standin/event_args.h"
#include "testing/standin/page_actions.h"
#include "testing/standin/task_string.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr const char* webview_interface = "ICoreWebView2";
constexpr const char* webview24_interface = "ICoreWebView2_24";

bool is_http(const std::wstring& uri) {
  return _wcsnicmp(uri.c_str(), L"http://", 7) == 0 || _wcsnicmp(uri.c_str(), L"https://", 8) == 0;
}

// Every web view alive, oldest first: page actions apply to the newest live one (or the oldest).
std::mutex registry_lock;
std::vector<core_webview*> registry;

}  // namespace

core_webview::core_webview(std::shared_ptr<ui_thread_queue> queue,
                           std::shared_ptr<browser_process> process,
                           std::shared_ptr<browser_window> window, controller_object* owner)
    : queue(std::move(queue)),
      process(std::move(process)),
      window(std::move(window)),
      owner(owner),
      number(runtime_state::get().next_webview_id()),
      settings(com_ptr<settings_object>::adopt(new settings_object(this->window, this->process))) {
  std::lock_guard<std::mutex> guard(registry_lock);
  registry.push_back(this);
}

core_webview::~core_webview() {
  std::lock_guard<std::mutex> guard(registry_lock);
  registry.erase(std::find(registry.begin(), registry.end(), this));
}

com_ptr<core_webview> core_webview::live(bool oldest) {
  // Only this thread's web views: no other thread can be destroying one meanwhile.
  std::lock_guard<std::mutex> guard(registry_lock);
  const auto suits = [](const core_webview* view) {
    return view->thread == GetCurrentThreadId() && view->is_live();
  };
  if (oldest) {
    const auto found = std::find_if(registry.begin(), registry.end(), suits);
    return com_ptr<core_webview>::share(found != registry.end() ? *found : nullptr);
  }
  const auto found = std::find_if(registry.rbegin(), registry.rend(), suits);
  return com_ptr<core_webview>::share(found != registry.rend() ? *found : nullptr);
}

com_ptr<core_webview> core_webview::find(ICoreWebView2* view) {
  std::lock_guard<std::mutex> guard(registry_lock);
  const auto found = std::find(registry.begin(), registry.end(), view);
  return com_ptr<core_webview>::share(view && found != registry.end() ? *found : nullptr);
}

template <typename Body>
HRESULT core_webview::guarded(const char* method, Body body) {
  return guarded(webview_interface, method, body);
}

template <typename Body>
HRESULT core_webview::guarded(const char* interface_name, const char* method, Body body) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    // After the browser process exited, the web view only answers that it is gone.
    if (process->exited()) return report(interface_name, method, {}, browser_gone);
    return body();
  });
}

HRESULT core_webview::report(const char* method, const log_fields& args, HRESULT result) {
  return report(webview_interface, method, args, result);
}

HRESULT core_webview::report(const char* interface_name, const char* method, const log_fields& args,
                             HRESULT result) {
  window->note_call(method);
  return log_call(interface_name, method, args, result);
}

template <typename Handler>
HRESULT core_webview::add_handler(const char* method, event_handlers<Handler>& handlers,
                                  Handler* handler, EventRegistrationToken* token) {
  return guarded(method, [&] {
    const HRESULT result = handlers.add(handler, token);
    return report(method, log_fields().integer("token", SUCCEEDED(result) ? token->value : 0),
                  result);
  });
}

template <typename Handler>
HRESULT core_webview::remove_handler(const char* method, event_handlers<Handler>& handlers,
                                     EventRegistrationToken token) {
  return guarded(method, [&] {
    return report(method, log_fields().integer("token", token.value), handlers.remove(token));
  });
}

HRESULT core_webview::not_implemented(const char* method) {
  return guarded(method, [&] { return report(method, {}, E_NOTIMPL); });
}

HRESULT core_webview::unused_slot(int number) {
  const std::string method = "slot_" + std::to_string(number);
  return guarded(webview24_interface, method.c_str(),
                 [&] { return report(webview24_interface, method.c_str(), {}, E_NOTIMPL); });
}

HRESULT STDMETHODCALLTYPE core_webview::QueryInterface(REFIID riid, void** object) {
  // ICoreWebView2_24 came with runtime 1.0.2739; older runtimes are the default.
  const bool newer = runtime_state::get().plan().notifications_available;
  return answer_query(this, webview_interface, IID_ICoreWebView2, riid, object,
                      newer ? &IID_ICoreWebView2_24 : nullptr);
}

ULONG STDMETHODCALLTYPE core_webview::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE core_webview::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE core_webview::get_Settings(ICoreWebView2Settings** value) {
  return guarded("get_Settings", [&] {
    if (!value) return report("get_Settings", {}, E_POINTER);
    *value = com_ptr<settings_object>::share(settings.get()).detach();
    return report("get_Settings", {}, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::get_Source(LPWSTR* uri) {
  return guarded("get_Source", [&] {
    return report("get_Source", log_fields().text("value", source), hand_out_string(source, uri));
  });
}

void core_webview::start_navigation(std::wstring uri, log_fields& args, bool user_initiated) {
  runtime_state& state = runtime_state::get();
  const std::size_t index = state.next_navigation_index();
  const navigation_step planned = navigation_at(state.plan().navigations, index);
  const std::uint64_t id = state.next_navigation_id();
  latest_navigation = id;
  navigated = true;
  // A failed navigation leaves the source at the URI that failed, as with the real runtime.
  source = std::move(uri);
  window->display().url = source;
  // The default background colour shows before and between pages.
  window->display().page_shown = false;
  window->refresh();
  args.integer("navigation", index + 1)
      .integer("navigationId", static_cast<std::int64_t>(id))
      .utf8("step", planned.success ? "ok" : "fail");
  // Always from the message dispatch, never inside the call, also with `deliver inside`.
  queue->post([self = com_ptr<core_webview>::share(this), id, uri = source, planned,
               user_initiated] { self->begin_navigation(id, uri, planned, user_initiated); });
}

bool core_webview::still_navigating(std::uint64_t id, const std::wstring& uri) const {
  if (is_live()) return true;
  log_note("navigation dropped: the web view is closed",
           log_fields().integer("navigationId", static_cast<std::int64_t>(id)).text("uri", uri));
  return false;
}

void core_webview::begin_navigation(std::uint64_t id, const std::wstring& uri,
                                    const navigation_step& planned, bool user_initiated) {
  if (!still_navigating(id, uri)) return;
  auto args = com_ptr<navigation_starting_args>::adopt(
      new navigation_starting_args(id, uri, user_initiated));
  starting_handlers.fire("NavigationStarting", this, args.get(),
                         log_fields()
                             .integer("navigationId", static_cast<std::int64_t>(id))
                             .text("uri", uri)
                             .boolean("userInitiated", user_initiated)
                             .integer("webView", number),
                         [&] { return log_fields().boolean("cancel", args->canceled()); });
  // The completion comes from a later message, not back to back with the start.
  queue->post(
      [self = com_ptr<core_webview>::share(this), id, uri, planned, canceled = args->canceled()] {
        self->finish_navigation(id, uri, planned, canceled);
      });
}

void core_webview::finish_navigation(std::uint64_t id, const std::wstring& uri,
                                     const navigation_step& planned, bool canceled) {
  if (!still_navigating(id, uri)) return;
  log_fields event_args;
  event_args.integer("navigationId", static_cast<std::int64_t>(id)).text("uri", uri);
  // A navigation replaced by another, or canceled by a NavigationStarting handler, completes as
  // canceled.
  const bool stopped = id != latest_navigation || canceled;
  const bool success = planned.success && !stopped;
  const COREWEBVIEW2_WEB_ERROR_STATUS status =
      stopped ? COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED : planned.status;
  if (!stopped && owner) owner->reset_user_zoom();
  if (!stopped) {
    // The stand-in draws no error page: after a failure the background stays.
    window->display().page_shown = success;
    window->refresh();
  }
  // HttpStatusCode: the HTTP answer's status; 0 when no HTTP answer came.
  const int http_status = stopped                    ? 0
                          : planned.http_status >= 0 ? planned.http_status
                          : is_http(uri)             ? 200
                                                     : 0;
  auto args = com_ptr<navigation_completed_args>::adopt(new navigation_completed_args(
      id, success, success ? COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN : status, http_status));
  event_args.boolean("isSuccess", success)
      .integer("webErrorStatus", success ? COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN : status)
      .integer("httpStatusCode", http_status)
      .integer("webView", number);
  navigation_handlers.fire("NavigationCompleted", this, args.get(), event_args,
                           [] { return log_fields(); });
  // DocumentTitleChanged may come before or after NavigationCompleted: here after it. A page
  // without a <title> shows its URL.
  if (!stopped && is_live()) change_title(uri);
}

void core_webview::load_as_new_window(std::int64_t opener, const std::wstring& uri) {
  log_fields args;
  args.integer("opener", opener).integer("popup", number).text("uri", uri);
  start_navigation(uri, args);
  log_note("opener link", args);
}

void core_webview::follow_link(const std::wstring& uri) {
  log_fields args;
  args.text("uri", uri);
  start_navigation(uri, args, true);
  log_note("go", args);
}

HRESULT STDMETHODCALLTYPE core_webview::Navigate(LPCWSTR uri) {
  return guarded("Navigate", [&] {
    log_fields args;
    args.text("uri", uri);
    if (!uri || !*uri) return report("Navigate", args, E_INVALIDARG);
    arm_navigation_actions(runtime_state::get().plan().after_navigate, *queue);
    start_navigation(uri, args);
    return report("Navigate", args, S_OK);
  });
}

// The real runtime shows the HTML under a data or about URL; the stand-in reports about:blank,
// also in NavigationStarting, so the URI does not tell this navigation from any other blank page.
HRESULT STDMETHODCALLTYPE core_webview::NavigateToString(LPCWSTR html) {
  return guarded("NavigateToString", [&] {
    log_fields args;
    args.text("html", html);
    if (!html) return report("NavigateToString", args, E_INVALIDARG);
    arm_navigation_actions(runtime_state::get().plan().after_navigate, *queue);
    start_navigation(L"about:blank", args);
    return report("NavigateToString", args, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::Reload() {
  return guarded("Reload", [&] {
    log_fields args;
    args.text("uri", source);
    start_navigation(source, args);
    return report("Reload", args, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::AddScriptToExecuteOnDocumentCreated(
    LPCWSTR script, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) {
  return guarded("AddScriptToExecuteOnDocumentCreated", [&] {
    log_fields args;
    args.text("javaScript", script).boolean("handlerGiven", handler != nullptr);
    if (!script) return report("AddScriptToExecuteOnDocumentCreated", args, E_INVALIDARG);
    runtime_state& state = runtime_state::get();
    const std::size_t index = state.next_script_index();
    const step planned = step_at(state.plan().scripts, index);
    args.integer("script", index + 1).utf8("step", outcome_name(planned.outcome));
    if (planned.outcome == step_outcome::refuse) {
      return report("AddScriptToExecuteOnDocumentCreated", args, planned.code);
    }
    if (planned.outcome == step_outcome::never) {
      if (handler) {
        unanswered_scripts.push_back(
            com_ptr<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler>::share(
                handler));
      }
      return report("AddScriptToExecuteOnDocumentCreated", args, S_OK);
    }
    std::wstring id;
    HRESULT code = planned.code;
    if (planned.outcome != step_outcome::fail) {
      id = std::to_wstring(next_script_id++);
      scripts[id] = script;
      window->display().scripts = scripts.size();
      code = S_OK;
    }
    args.text("id", id);
    if (handler) {
      auto target =
          com_ptr<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler>::share(handler);
      deliver(queue, [target = std::move(target), code, id] {
        complete("ScriptAdded", target, log_fields().hresult("errorCode", code).text("id", id),
                 code, SUCCEEDED(code) ? id.c_str() : nullptr);
      });
    }
    return report("AddScriptToExecuteOnDocumentCreated", args, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::RemoveScriptToExecuteOnDocumentCreated(LPCWSTR id) {
  return guarded("RemoveScriptToExecuteOnDocumentCreated", [&] {
    log_fields args;
    args.text("id", id);
    if (!id) return report("RemoveScriptToExecuteOnDocumentCreated", args, E_INVALIDARG);
    args.boolean("found", scripts.erase(id) > 0);
    window->display().scripts = scripts.size();
    return report("RemoveScriptToExecuteOnDocumentCreated", args, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE
core_webview::ExecuteScript(LPCWSTR script, ICoreWebView2ExecuteScriptCompletedHandler* handler) {
  return guarded("ExecuteScript", [&] {
    log_fields args;
    args.text("javaScript", script).boolean("handlerGiven", handler != nullptr);
    if (!script) return report("ExecuteScript", args, E_INVALIDARG);
    if (handler) {
      // The stand-in runs no script: every script evaluates to undefined, reported as "null".
      auto target = com_ptr<ICoreWebView2ExecuteScriptCompletedHandler>::share(handler);
      deliver(queue, [target = std::move(target)] {
        complete("ScriptExecuted", target,
                 log_fields().hresult("errorCode", S_OK).utf8("resultObjectAsJson", "null"), S_OK,
                 L"null");
      });
    }
    return report("ExecuteScript", args, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::add_WebMessageReceived(
    ICoreWebView2WebMessageReceivedEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_WebMessageReceived", web_message_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_WebMessageReceived(EventRegistrationToken token) {
  return remove_handler("remove_WebMessageReceived", web_message_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::add_PermissionRequested(
    ICoreWebView2PermissionRequestedEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_PermissionRequested", permission_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_PermissionRequested(EventRegistrationToken token) {
  return remove_handler("remove_PermissionRequested", permission_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::add_NewWindowRequested(
    ICoreWebView2NewWindowRequestedEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_NewWindowRequested", new_window_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_NewWindowRequested(EventRegistrationToken token) {
  return remove_handler("remove_NewWindowRequested", new_window_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::add_ContainsFullScreenElementChanged(
    ICoreWebView2ContainsFullScreenElementChangedEventHandler* handler,
    EventRegistrationToken* token) {
  return add_handler("add_ContainsFullScreenElementChanged", full_screen_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE
core_webview::remove_ContainsFullScreenElementChanged(EventRegistrationToken token) {
  return remove_handler("remove_ContainsFullScreenElementChanged", full_screen_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::get_ContainsFullScreenElement(BOOL* value) {
  return guarded("get_ContainsFullScreenElement", [&] {
    if (value) *value = contains_full_screen ? TRUE : FALSE;
    return report("get_ContainsFullScreenElement",
                  log_fields().boolean("value", contains_full_screen), value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::add_ProcessFailed(
    ICoreWebView2ProcessFailedEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_ProcessFailed", process_failed_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_ProcessFailed(EventRegistrationToken token) {
  return remove_handler("remove_ProcessFailed", process_failed_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::add_NavigationStarting(
    ICoreWebView2NavigationStartingEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_NavigationStarting", starting_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_NavigationStarting(EventRegistrationToken token) {
  return remove_handler("remove_NavigationStarting", starting_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::add_NavigationCompleted(
    ICoreWebView2NavigationCompletedEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_NavigationCompleted", navigation_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_NavigationCompleted(EventRegistrationToken token) {
  return remove_handler("remove_NavigationCompleted", navigation_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::add_WindowCloseRequested(
    ICoreWebView2WindowCloseRequestedEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_WindowCloseRequested", close_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_WindowCloseRequested(EventRegistrationToken token) {
  return remove_handler("remove_WindowCloseRequested", close_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::add_DocumentTitleChanged(
    ICoreWebView2DocumentTitleChangedEventHandler* handler, EventRegistrationToken* token) {
  return add_handler("add_DocumentTitleChanged", title_handlers, handler, token);
}

HRESULT STDMETHODCALLTYPE core_webview::remove_DocumentTitleChanged(EventRegistrationToken token) {
  return remove_handler("remove_DocumentTitleChanged", title_handlers, token);
}

HRESULT STDMETHODCALLTYPE core_webview::get_DocumentTitle(LPWSTR* value) {
  return guarded("get_DocumentTitle", [&] {
    return report("get_DocumentTitle", log_fields().text("value", title),
                  hand_out_string(title, value));
  });
}

HRESULT STDMETHODCALLTYPE core_webview::add_NotificationReceived(
    ICoreWebView2NotificationReceivedEventHandler* handler, EventRegistrationToken* token) {
  return guarded(webview24_interface, "add_NotificationReceived", [&] {
    const HRESULT result = notification_handlers.add(handler, token);
    return report(webview24_interface, "add_NotificationReceived",
                  log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::remove_NotificationReceived(EventRegistrationToken token) {
  return guarded(webview24_interface, "remove_NotificationReceived", [&] {
    return report(webview24_interface, "remove_NotificationReceived",
                  log_fields().integer("token", token.value), notification_handlers.remove(token));
  });
}

void core_webview::receive_web_message(const std::wstring& as_json, bool is_string,
                                       const std::wstring& as_string, const std::wstring& sender) {
  // Source: the URI of the document that sent the message.
  const std::wstring& from = sender.empty() ? source : sender;
  com_ptr<web_message_args> args =
      com_ptr<web_message_args>::adopt(new web_message_args(from, as_json, is_string, as_string));
  log_fields event_args;
  event_args.text("source", from).text("json", as_json).boolean("isString", is_string);
  web_message_handlers.fire("WebMessageReceived", this, args.get(), event_args,
                            [] { return log_fields(); });
}

void core_webview::change_full_screen(bool on) {
  contains_full_screen = on;
  window->display().fullscreen = on;
  window->refresh();
  full_screen_handlers.fire(
      "ContainsFullScreenElementChanged", this, static_cast<IUnknown*>(nullptr),
      log_fields().boolean("containsFullScreenElement", on), [] { return log_fields(); });
}

void core_webview::request_new_window(const std::wstring& uri, bool user_initiated,
                                      const window_features& features) {
  auto args = com_ptr<new_window_args>::adopt(
      new new_window_args(uri, user_initiated, features, number, process));
  const log_fields event_args = log_fields()
                                    .text("uri", uri)
                                    .boolean("userInitiated", user_initiated)
                                    .integer("webView", number);
  args->handlers_returned(
      new_window_handlers.raise("NewWindowRequested", this, args.get(), event_args));
}

void core_webview::request_window_close() {
  // Back-to-back window.close() calls may fire only once; the stand-in fires every time.
  close_handlers.fire("WindowCloseRequested", this, static_cast<IUnknown*>(nullptr),
                      log_fields().integer("webView", number), [] { return log_fields(); });
}

void core_webview::change_title(const std::wstring& text) {
  // DocumentTitleChanged runs when the title changes.
  if (text == title) return;
  title = text;
  title_handlers.fire("DocumentTitleChanged", this, static_cast<IUnknown*>(nullptr),
                      log_fields().integer("webView", number).text("title", title),
                      [] { return log_fields(); });
}

void core_webview::receive_notification(const page_action& action) {
  latest_notification =
      com_ptr<notification_args>::adopt(new notification_args(action, process, number));
  latest_notification->handlers_returned(
      notification_handlers.raise("NotificationReceived", this, latest_notification.get(),
                                  log_fields()
                                      .integer("webView", number)
                                      .text("origin", action.sender)
                                      .text("title", action.text)
                                      .text("body", action.body)
                                      .boolean("silent", action.on)));
}

void core_webview::close_notification() {
  if (latest_notification) {
    latest_notification->request_close();
  } else {
    log_note("notificationclose skipped: no notification", log_fields().integer("webView", number));
  }
}

void core_webview::request_permission(COREWEBVIEW2_PERMISSION_KIND kind, const std::wstring& uri) {
  com_ptr<permission_args> args = com_ptr<permission_args>::adopt(new permission_args(uri, kind));
  permission_handlers.fire("PermissionRequested", this, args.get(),
                           log_fields().integer("kind", kind).text("uri", uri),
                           [&] { return log_fields().integer("state", args->current_state()); });
}

void core_webview::raise_process_failed(COREWEBVIEW2_PROCESS_FAILED_KIND kind) {
  auto args = com_ptr<process_failed_args>::adopt(new process_failed_args(kind));
  process_failed_handlers.fire("ProcessFailed", this, args.get(),
                               log_fields().integer("kind", kind), [] { return log_fields(); });
}

void core_webview::fail_process(COREWEBVIEW2_PROCESS_FAILED_KIND kind) {
  if (kind != COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED) {
    raise_process_failed(kind);
    return;
  }
  std::vector<com_ptr<core_webview>> affected;
  {
    std::lock_guard<std::mutex> guard(registry_lock);
    for (core_webview* view : registry) {
      if (view->process == process && view->thread == thread) {
        affected.push_back(com_ptr<core_webview>::share(view));
      }
    }
  }
  // The objects are dead before the application hears of it.
  process->exit();
  log_note("browser process exited",
           log_fields().integer("webViews", static_cast<std::int64_t>(affected.size())));
  for (const auto& view : affected) view->raise_process_failed(kind);
}

// Slots the application never calls.

HRESULT STDMETHODCALLTYPE core_webview::add_ContentLoading(ICoreWebView2ContentLoadingEventHandler*,
                                                           EventRegistrationToken*) {
  return not_implemented("add_ContentLoading");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_ContentLoading(EventRegistrationToken) {
  return not_implemented("remove_ContentLoading");
}
HRESULT STDMETHODCALLTYPE core_webview::add_SourceChanged(ICoreWebView2SourceChangedEventHandler*,
                                                          EventRegistrationToken*) {
  return not_implemented("add_SourceChanged");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_SourceChanged(EventRegistrationToken) {
  return not_implemented("remove_SourceChanged");
}
HRESULT STDMETHODCALLTYPE core_webview::add_HistoryChanged(ICoreWebView2HistoryChangedEventHandler*,
                                                           EventRegistrationToken*) {
  return not_implemented("add_HistoryChanged");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_HistoryChanged(EventRegistrationToken) {
  return not_implemented("remove_HistoryChanged");
}
HRESULT STDMETHODCALLTYPE core_webview::add_FrameNavigationStarting(
    ICoreWebView2NavigationStartingEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_FrameNavigationStarting");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_FrameNavigationStarting(EventRegistrationToken) {
  return not_implemented("remove_FrameNavigationStarting");
}
HRESULT STDMETHODCALLTYPE core_webview::add_FrameNavigationCompleted(
    ICoreWebView2NavigationCompletedEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_FrameNavigationCompleted");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_FrameNavigationCompleted(EventRegistrationToken) {
  return not_implemented("remove_FrameNavigationCompleted");
}
HRESULT STDMETHODCALLTYPE core_webview::add_ScriptDialogOpening(
    ICoreWebView2ScriptDialogOpeningEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_ScriptDialogOpening");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_ScriptDialogOpening(EventRegistrationToken) {
  return not_implemented("remove_ScriptDialogOpening");
}
HRESULT STDMETHODCALLTYPE
core_webview::CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
                             ICoreWebView2CapturePreviewCompletedHandler*) {
  return not_implemented("CapturePreview");
}
HRESULT STDMETHODCALLTYPE core_webview::PostWebMessageAsJson(LPCWSTR) {
  return not_implemented("PostWebMessageAsJson");
}
HRESULT STDMETHODCALLTYPE core_webview::PostWebMessageAsString(LPCWSTR) {
  return not_implemented("PostWebMessageAsString");
}
HRESULT STDMETHODCALLTYPE core_webview::CallDevToolsProtocolMethod(
    LPCWSTR, LPCWSTR, ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*) {
  return not_implemented("CallDevToolsProtocolMethod");
}
HRESULT STDMETHODCALLTYPE core_webview::get_BrowserProcessId(UINT32*) {
  return not_implemented("get_BrowserProcessId");
}
HRESULT STDMETHODCALLTYPE core_webview::get_CanGoBack(BOOL*) {
  return not_implemented("get_CanGoBack");
}
HRESULT STDMETHODCALLTYPE core_webview::get_CanGoForward(BOOL*) {
  return not_implemented("get_CanGoForward");
}
HRESULT STDMETHODCALLTYPE core_webview::GoBack() { return not_implemented("GoBack"); }
HRESULT STDMETHODCALLTYPE core_webview::GoForward() { return not_implemented("GoForward"); }
HRESULT STDMETHODCALLTYPE core_webview::GetDevToolsProtocolEventReceiver(
    LPCWSTR, ICoreWebView2DevToolsProtocolEventReceiver**) {
  return not_implemented("GetDevToolsProtocolEventReceiver");
}
HRESULT STDMETHODCALLTYPE core_webview::Stop() { return not_implemented("Stop"); }
HRESULT STDMETHODCALLTYPE core_webview::AddHostObjectToScript(LPCWSTR, VARIANT*) {
  return not_implemented("AddHostObjectToScript");
}
HRESULT STDMETHODCALLTYPE core_webview::RemoveHostObjectFromScript(LPCWSTR) {
  return not_implemented("RemoveHostObjectFromScript");
}
HRESULT STDMETHODCALLTYPE core_webview::OpenDevToolsWindow() {
  return not_implemented("OpenDevToolsWindow");
}
HRESULT STDMETHODCALLTYPE core_webview::add_WebResourceRequested(
    ICoreWebView2WebResourceRequestedEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_WebResourceRequested");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_WebResourceRequested(EventRegistrationToken) {
  return not_implemented("remove_WebResourceRequested");
}
HRESULT STDMETHODCALLTYPE
core_webview::AddWebResourceRequestedFilter(LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT) {
  return not_implemented("AddWebResourceRequestedFilter");
}
HRESULT STDMETHODCALLTYPE
core_webview::RemoveWebResourceRequestedFilter(LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT) {
  return not_implemented("RemoveWebResourceRequestedFilter");
}

}  // namespace standin
