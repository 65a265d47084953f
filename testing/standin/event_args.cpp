#include "testing/standin/event_args.h"

#include "testing/standin/com_identity.h"
#include "testing/standin/task_string.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr const char* message_interface = "ICoreWebView2WebMessageReceivedEventArgs";
constexpr const char* permission_interface = "ICoreWebView2PermissionRequestedEventArgs";
constexpr const char* new_window_interface = "ICoreWebView2NewWindowRequestedEventArgs";
constexpr const char* process_failed_interface = "ICoreWebView2ProcessFailedEventArgs";
constexpr const char* navigation_interface = "ICoreWebView2NavigationCompletedEventArgs";

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

HRESULT log_not_implemented(const char* interface_name, const char* method) {
  return call_without_throwing(E_UNEXPECTED,
                               [&] { return log_call(interface_name, method, {}, E_NOTIMPL); });
}

}  // namespace

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

new_window_args::new_window_args(std::wstring uri, bool user_initiated)
    : uri(std::move(uri)), user_initiated(user_initiated) {}

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

HRESULT STDMETHODCALLTYPE new_window_args::put_NewWindow(ICoreWebView2*) {
  return log_not_implemented(new_window_interface, "put_NewWindow");
}

HRESULT STDMETHODCALLTYPE new_window_args::get_NewWindow(ICoreWebView2** new_window) {
  if (new_window) *new_window = nullptr;
  return log_not_implemented(new_window_interface, "get_NewWindow");
}

HRESULT STDMETHODCALLTYPE new_window_args::put_Handled(BOOL value) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    handled = value != FALSE;
    return log_call(new_window_interface, "put_Handled", log_fields().integer("value", value),
                    S_OK);
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
  if (deferral) *deferral = nullptr;
  return log_not_implemented(new_window_interface, "GetDeferral");
}

HRESULT STDMETHODCALLTYPE
new_window_args::get_WindowFeatures(ICoreWebView2WindowFeatures** features) {
  if (features) *features = nullptr;
  return log_not_implemented(new_window_interface, "get_WindowFeatures");
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
  return answer_query(this, navigation_interface, IID_ICoreWebView2NavigationCompletedEventArgs,
                      riid, object);
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

}  // namespace standin
