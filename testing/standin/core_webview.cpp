#include "testing/standin/core_webview.h"

#include "testing/standin/com_identity.h"
#include "testing/standin/completion.h"
#include "testing/standin/event_args.h"
#include "testing/standin/page_actions.h"
#include "testing/standin/task_string.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr const char* webview_interface = "ICoreWebView2";

}  // namespace

core_webview::core_webview(std::shared_ptr<ui_thread_queue> queue,
                           std::shared_ptr<browser_window> window, controller_object* owner)
    : queue(std::move(queue)),
      window(std::move(window)),
      owner(owner),
      settings(com_ptr<settings_object>::adopt(new settings_object(this->window))) {}

HRESULT core_webview::report(const char* method, const log_fields& args, HRESULT result) {
  window->note_call(method);
  return log_call(webview_interface, method, args, result);
}

HRESULT core_webview::not_implemented(const char* method) {
  return call_without_throwing(E_UNEXPECTED, [&] { return report(method, {}, E_NOTIMPL); });
}

HRESULT STDMETHODCALLTYPE core_webview::QueryInterface(REFIID riid, void** object) {
  return answer_query(this, webview_interface, IID_ICoreWebView2, riid, object);
}

ULONG STDMETHODCALLTYPE core_webview::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE core_webview::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE core_webview::get_Settings(ICoreWebView2Settings** value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (!value) return report("get_Settings", {}, E_POINTER);
    *value = com_ptr<settings_object>::share(settings.get()).detach();
    return report("get_Settings", {}, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::get_Source(LPWSTR* uri) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return report("get_Source", log_fields().text("value", source), hand_out_string(source, uri));
  });
}

void core_webview::start_page(std::wstring source_text) {
  source = std::move(source_text);
  window->display().url = source;
  if (!navigated) {
    navigated = true;
    arm_page_actions(runtime_state::get().plan().after_navigate, *queue, *this);
  }
}

HRESULT STDMETHODCALLTYPE core_webview::Navigate(LPCWSTR uri) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (!uri || !*uri) return report("Navigate", log_fields().text("uri", uri), E_INVALIDARG);
    start_page(uri);
    return report("Navigate", log_fields().text("uri", uri), S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::NavigateToString(LPCWSTR html) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (!html) return report("NavigateToString", log_fields().text("html", html), E_INVALIDARG);
    start_page(L"about:blank");
    return report("NavigateToString", log_fields().text("html", html), S_OK);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::AddScriptToExecuteOnDocumentCreated(
    LPCWSTR script, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) {
  return call_without_throwing(E_UNEXPECTED, [&] {
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
  return call_without_throwing(E_UNEXPECTED, [&] {
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
  return call_without_throwing(E_UNEXPECTED, [&] {
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
  return call_without_throwing(E_UNEXPECTED, [&] {
    const HRESULT result = web_message_handlers.add(handler, token);
    return report("add_WebMessageReceived",
                  log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::remove_WebMessageReceived(EventRegistrationToken token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return report("remove_WebMessageReceived", log_fields().integer("token", token.value),
                  web_message_handlers.remove(token));
  });
}

HRESULT STDMETHODCALLTYPE core_webview::add_PermissionRequested(
    ICoreWebView2PermissionRequestedEventHandler* handler, EventRegistrationToken* token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const HRESULT result = permission_handlers.add(handler, token);
    return report("add_PermissionRequested",
                  log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::remove_PermissionRequested(EventRegistrationToken token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return report("remove_PermissionRequested", log_fields().integer("token", token.value),
                  permission_handlers.remove(token));
  });
}

HRESULT STDMETHODCALLTYPE core_webview::add_NewWindowRequested(
    ICoreWebView2NewWindowRequestedEventHandler* handler, EventRegistrationToken* token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const HRESULT result = new_window_handlers.add(handler, token);
    return report("add_NewWindowRequested",
                  log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE core_webview::remove_NewWindowRequested(EventRegistrationToken token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return report("remove_NewWindowRequested", log_fields().integer("token", token.value),
                  new_window_handlers.remove(token));
  });
}

HRESULT STDMETHODCALLTYPE core_webview::add_ContainsFullScreenElementChanged(
    ICoreWebView2ContainsFullScreenElementChangedEventHandler* handler,
    EventRegistrationToken* token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const HRESULT result = full_screen_handlers.add(handler, token);
    return report("add_ContainsFullScreenElementChanged",
                  log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE
core_webview::remove_ContainsFullScreenElementChanged(EventRegistrationToken token) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    return report("remove_ContainsFullScreenElementChanged",
                  log_fields().integer("token", token.value), full_screen_handlers.remove(token));
  });
}

HRESULT STDMETHODCALLTYPE core_webview::get_ContainsFullScreenElement(BOOL* value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    if (value) *value = contains_full_screen ? TRUE : FALSE;
    return report("get_ContainsFullScreenElement",
                  log_fields().boolean("value", contains_full_screen), value ? S_OK : E_POINTER);
  });
}

void core_webview::receive_web_message(const std::wstring& as_json, bool is_string,
                                       const std::wstring& as_string) {
  com_ptr<web_message_args> args =
      com_ptr<web_message_args>::adopt(new web_message_args(source, as_json, is_string, as_string));
  log_fields event_args;
  event_args.text("source", source).text("json", as_json).boolean("isString", is_string);
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

void core_webview::request_new_window(const std::wstring& uri, bool user_initiated) {
  com_ptr<new_window_args> args =
      com_ptr<new_window_args>::adopt(new new_window_args(uri, user_initiated));
  new_window_handlers.fire("NewWindowRequested", this, args.get(),
                           log_fields().text("uri", uri).boolean("userInitiated", user_initiated),
                           [&] { return log_fields().boolean("handled", args->is_handled()); });
}

void core_webview::request_permission(COREWEBVIEW2_PERMISSION_KIND kind, const std::wstring& uri) {
  com_ptr<permission_args> args = com_ptr<permission_args>::adopt(new permission_args(uri, kind));
  permission_handlers.fire("PermissionRequested", this, args.get(),
                           log_fields().integer("kind", kind).text("uri", uri),
                           [&] { return log_fields().integer("state", args->current_state()); });
}

// Slots the application never calls.

HRESULT STDMETHODCALLTYPE core_webview::add_NavigationStarting(
    ICoreWebView2NavigationStartingEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_NavigationStarting");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_NavigationStarting(EventRegistrationToken) {
  return not_implemented("remove_NavigationStarting");
}
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
HRESULT STDMETHODCALLTYPE core_webview::add_NavigationCompleted(
    ICoreWebView2NavigationCompletedEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_NavigationCompleted");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_NavigationCompleted(EventRegistrationToken) {
  return not_implemented("remove_NavigationCompleted");
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
HRESULT STDMETHODCALLTYPE core_webview::add_ProcessFailed(ICoreWebView2ProcessFailedEventHandler*,
                                                          EventRegistrationToken*) {
  return not_implemented("add_ProcessFailed");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_ProcessFailed(EventRegistrationToken) {
  return not_implemented("remove_ProcessFailed");
}
HRESULT STDMETHODCALLTYPE
core_webview::CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
                             ICoreWebView2CapturePreviewCompletedHandler*) {
  return not_implemented("CapturePreview");
}
HRESULT STDMETHODCALLTYPE core_webview::Reload() { return not_implemented("Reload"); }
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
HRESULT STDMETHODCALLTYPE core_webview::add_DocumentTitleChanged(
    ICoreWebView2DocumentTitleChangedEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_DocumentTitleChanged");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_DocumentTitleChanged(EventRegistrationToken) {
  return not_implemented("remove_DocumentTitleChanged");
}
HRESULT STDMETHODCALLTYPE core_webview::get_DocumentTitle(LPWSTR*) {
  return not_implemented("get_DocumentTitle");
}
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
HRESULT STDMETHODCALLTYPE core_webview::add_WindowCloseRequested(
    ICoreWebView2WindowCloseRequestedEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_WindowCloseRequested");
}
HRESULT STDMETHODCALLTYPE core_webview::remove_WindowCloseRequested(EventRegistrationToken) {
  return not_implemented("remove_WindowCloseRequested");
}

}  // namespace standin
