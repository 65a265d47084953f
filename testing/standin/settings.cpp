#include "testing/standin/settings.h"

#include "testing/standin/runtime_state.h"
#include "testing/standin/task_string.h"
#include "util/exception_barrier.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr const char* settings_interface = "ICoreWebView2Settings";
constexpr const char* settings2_interface = "ICoreWebView2Settings2";

constexpr std::string_view method_names[] = {
    "get_IsScriptEnabled",
    "put_IsScriptEnabled",
    "get_IsWebMessageEnabled",
    "put_IsWebMessageEnabled",
    "get_AreDefaultScriptDialogsEnabled",
    "put_AreDefaultScriptDialogsEnabled",
    "get_IsStatusBarEnabled",
    "put_IsStatusBarEnabled",
    "get_AreDevToolsEnabled",
    "put_AreDevToolsEnabled",
    "get_AreDefaultContextMenusEnabled",
    "put_AreDefaultContextMenusEnabled",
    "get_AreHostObjectsAllowed",
    "put_AreHostObjectsAllowed",
    "get_IsZoomControlEnabled",
    "put_IsZoomControlEnabled",
    "get_IsBuiltInErrorPageEnabled",
    "put_IsBuiltInErrorPageEnabled",
    "get_UserAgent",
    "put_UserAgent",
};

// The result the scenario prescribes for `method`, if any.
const HRESULT* scripted_failure(const char* method) {
  const auto& failures = runtime_state::get().plan().settings_failures;
  const auto found = failures.find(method);
  return found == failures.end() ? nullptr : &found->second;
}

}  // namespace

bool is_settings_method(std::string_view name) {
  for (const std::string_view known : method_names) {
    if (name == known) return true;
  }
  return false;
}

settings_object::settings_object(std::shared_ptr<browser_window> window,
                                 std::shared_ptr<browser_process> process)
    : window(std::move(window)),
      process(std::move(process)),
      user_agent(runtime_state::get().plan().user_agent) {
  flags.fill(true);
  if (this->window) this->window->display().user_agent = user_agent;
}

template <typename Body>
HRESULT settings_object::guarded(const char* interface_name, const char* method, Body body) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    // After the browser process exited, the settings only answer that it is gone.
    if (process && process->exited()) return log_call(interface_name, method, {}, browser_gone);
    return body();
  });
}

HRESULT STDMETHODCALLTYPE settings_object::QueryInterface(REFIID riid, void** object) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const bool answers = IsEqualIID(riid, IID_IUnknown) ||
                         IsEqualIID(riid, IID_ICoreWebView2Settings) ||
                         (IsEqualIID(riid, IID_ICoreWebView2Settings2) &&
                          runtime_state::get().plan().settings2_available);
    HRESULT result = E_POINTER;
    if (object) {
      *object = answers ? static_cast<ICoreWebView2Settings2*>(this) : nullptr;
      if (answers) AddRef();
      result = answers ? S_OK : E_NOINTERFACE;
    }
    return log_call(settings_interface, "QueryInterface", log_fields().guid("riid", riid), result);
  });
}

ULONG STDMETHODCALLTYPE settings_object::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE settings_object::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT settings_object::get_flag(flag which, const char* method, BOOL* value) {
  return guarded(settings_interface, method, [&] {
    HRESULT result = E_POINTER;
    if (const HRESULT* failure = scripted_failure(method)) {
      if (value) *value = FALSE;
      result = *failure;
    } else if (value) {
      *value = flags[which] ? TRUE : FALSE;
      result = S_OK;
    }
    if (window) window->note_call(method);
    return log_call(settings_interface, method, log_fields().boolean("value", value && *value),
                    result);
  });
}

HRESULT settings_object::put_flag(flag which, const char* method, BOOL value) {
  return guarded(settings_interface, method, [&] {
    HRESULT result = S_OK;
    if (const HRESULT* failure = scripted_failure(method)) {
      result = *failure;
    } else {
      flags[which] = value != FALSE;
    }
    if (window) window->note_call(method);
    return log_call(settings_interface, method, log_fields().integer("value", value), result);
  });
}

HRESULT STDMETHODCALLTYPE settings_object::get_IsScriptEnabled(BOOL* value) {
  return get_flag(script_enabled, "get_IsScriptEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_IsScriptEnabled(BOOL value) {
  return put_flag(script_enabled, "put_IsScriptEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_IsWebMessageEnabled(BOOL* value) {
  return get_flag(web_message_enabled, "get_IsWebMessageEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_IsWebMessageEnabled(BOOL value) {
  return put_flag(web_message_enabled, "put_IsWebMessageEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_AreDefaultScriptDialogsEnabled(BOOL* value) {
  return get_flag(default_script_dialogs_enabled, "get_AreDefaultScriptDialogsEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_AreDefaultScriptDialogsEnabled(BOOL value) {
  return put_flag(default_script_dialogs_enabled, "put_AreDefaultScriptDialogsEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_IsStatusBarEnabled(BOOL* value) {
  return get_flag(status_bar_enabled, "get_IsStatusBarEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_IsStatusBarEnabled(BOOL value) {
  return put_flag(status_bar_enabled, "put_IsStatusBarEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_AreDevToolsEnabled(BOOL* value) {
  return get_flag(dev_tools_enabled, "get_AreDevToolsEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_AreDevToolsEnabled(BOOL value) {
  return put_flag(dev_tools_enabled, "put_AreDevToolsEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_AreDefaultContextMenusEnabled(BOOL* value) {
  return get_flag(default_context_menus_enabled, "get_AreDefaultContextMenusEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_AreDefaultContextMenusEnabled(BOOL value) {
  return put_flag(default_context_menus_enabled, "put_AreDefaultContextMenusEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_AreHostObjectsAllowed(BOOL* value) {
  return get_flag(host_objects_allowed, "get_AreHostObjectsAllowed", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_AreHostObjectsAllowed(BOOL value) {
  return put_flag(host_objects_allowed, "put_AreHostObjectsAllowed", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_IsZoomControlEnabled(BOOL* value) {
  return get_flag(zoom_control_enabled, "get_IsZoomControlEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_IsZoomControlEnabled(BOOL value) {
  return put_flag(zoom_control_enabled, "put_IsZoomControlEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::get_IsBuiltInErrorPageEnabled(BOOL* value) {
  return get_flag(built_in_error_page_enabled, "get_IsBuiltInErrorPageEnabled", value);
}
HRESULT STDMETHODCALLTYPE settings_object::put_IsBuiltInErrorPageEnabled(BOOL value) {
  return put_flag(built_in_error_page_enabled, "put_IsBuiltInErrorPageEnabled", value);
}

HRESULT STDMETHODCALLTYPE settings_object::get_UserAgent(LPWSTR* value) {
  return guarded(settings2_interface, "get_UserAgent", [&] {
    HRESULT result = E_POINTER;
    if (const HRESULT* failure = scripted_failure("get_UserAgent")) {
      if (value) *value = nullptr;
      result = *failure;
    } else {
      result = hand_out_string(user_agent, value);
    }
    if (window) window->note_call("get_UserAgent");
    return log_call(settings2_interface, "get_UserAgent",
                    log_fields().text("value", SUCCEEDED(result) && value ? *value : nullptr),
                    result);
  });
}

HRESULT STDMETHODCALLTYPE settings_object::put_UserAgent(LPCWSTR value) {
  return guarded(settings2_interface, "put_UserAgent", [&] {
    HRESULT result = E_INVALIDARG;
    if (const HRESULT* failure = scripted_failure("put_UserAgent")) {
      result = *failure;
    } else if (value) {
      user_agent = value;
      if (window) window->display().user_agent = user_agent;
      result = S_OK;
    }
    if (window) window->note_call("put_UserAgent");
    return log_call(settings2_interface, "put_UserAgent", log_fields().text("value", value),
                    result);
  });
}

}  // namespace standin
