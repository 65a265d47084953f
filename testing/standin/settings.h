// The web view's settings: one object that answers both ICoreWebView2Settings and
// ICoreWebView2Settings2 (the latter unless the scenario says `nosettings2`). Every call is
// logged; a call that the scenario lists under `settings fail` returns the listed result
// instead, stores nothing and leaves out-values FALSE or null. UI thread only.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "testing/standin/browser_process.h"
#include "testing/standin/browser_window.h"
#include "testing/standin/module_use.h"
#include "webview2/webview2_abi.h"

namespace standin {

// Whether `name` is a method of ICoreWebView2Settings or ICoreWebView2Settings2
// ("put_IsStatusBarEnabled", "get_UserAgent", ...).
bool is_settings_method(std::string_view name);

class settings_object final : public ICoreWebView2Settings2 {
 public:
  // `window` shows the user agent; may be null. Every method fails once `process` exited.
  settings_object(std::shared_ptr<browser_window> window, std::shared_ptr<browser_process> process);
  settings_object(const settings_object&) = delete;
  settings_object& operator=(const settings_object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE get_IsScriptEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_IsScriptEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_IsWebMessageEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_IsWebMessageEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_AreDefaultScriptDialogsEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_AreDefaultScriptDialogsEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_IsStatusBarEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_AreDevToolsEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_AreHostObjectsAllowed(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_AreHostObjectsAllowed(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_IsBuiltInErrorPageEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_IsBuiltInErrorPageEnabled(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR value) override;

 private:
  enum flag {
    script_enabled,
    web_message_enabled,
    default_script_dialogs_enabled,
    status_bar_enabled,
    dev_tools_enabled,
    default_context_menus_enabled,
    host_objects_allowed,
    zoom_control_enabled,
    built_in_error_page_enabled,
    flag_count,
  };

  ~settings_object() = default;
  HRESULT get_flag(flag which, const char* method, BOOL* value);
  HRESULT put_flag(flag which, const char* method, BOOL value);
  // Runs `body` behind the exception barrier, unless the browser process is gone.
  template <typename Body>
  HRESULT guarded(const char* interface_name, const char* method, Body body);

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::shared_ptr<browser_window> window;
  std::shared_ptr<browser_process> process;
  std::array<bool, flag_count> flags;  // every setting starts enabled, as in the runtime
  std::wstring user_agent;
};

}  // namespace standin
