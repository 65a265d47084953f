// Event arguments that the stand-in hands to the application's handlers: page messages,
// permission and new-window requests, process failures and completed navigations. Each starts with
// one reference, owned by its creator; the state that handlers change (permission state, handled)
// is read back after the handlers ran, for the log. UI thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "testing/standin/module_use.h"
#include "webview2/webview2_abi.h"

namespace standin {

class web_message_args final : public ICoreWebView2WebMessageReceivedEventArgs {
 public:
  // `as_json` is the message as JSON text; a message that is a JSON string also carries its
  // text, otherwise TryGetWebMessageAsString fails with E_INVALIDARG.
  web_message_args(std::wstring source, std::wstring as_json, bool is_string,
                   std::wstring as_string);
  web_message_args(const web_message_args&) = delete;
  web_message_args& operator=(const web_message_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* source) override;
  HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* json) override;
  HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* text) override;

 private:
  ~web_message_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::wstring source;
  std::wstring as_json;
  bool is_string;
  std::wstring as_string;
};

class permission_args final : public ICoreWebView2PermissionRequestedEventArgs {
 public:
  permission_args(std::wstring uri, COREWEBVIEW2_PERMISSION_KIND kind);
  permission_args(const permission_args&) = delete;
  permission_args& operator=(const permission_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override;
  HRESULT STDMETHODCALLTYPE get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* kind) override;
  HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* user_initiated) override;
  HRESULT STDMETHODCALLTYPE get_State(COREWEBVIEW2_PERMISSION_STATE* state) override;
  HRESULT STDMETHODCALLTYPE put_State(COREWEBVIEW2_PERMISSION_STATE state) override;
  HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) override;

  COREWEBVIEW2_PERMISSION_STATE current_state() const { return state; }

 private:
  ~permission_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::wstring uri;
  COREWEBVIEW2_PERMISSION_KIND kind;
  COREWEBVIEW2_PERMISSION_STATE state = COREWEBVIEW2_PERMISSION_STATE_DEFAULT;
};

class new_window_args final : public ICoreWebView2NewWindowRequestedEventArgs {
 public:
  new_window_args(std::wstring uri, bool user_initiated);
  new_window_args(const new_window_args&) = delete;
  new_window_args& operator=(const new_window_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override;
  HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2* new_window) override;
  HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2** new_window) override;
  HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) override;
  HRESULT STDMETHODCALLTYPE get_Handled(BOOL* handled) override;
  HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* user_initiated) override;
  HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) override;
  HRESULT STDMETHODCALLTYPE get_WindowFeatures(ICoreWebView2WindowFeatures** features) override;

  bool is_handled() const { return handled; }

 private:
  ~new_window_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::wstring uri;
  bool user_initiated;
  bool handled = false;
};

class process_failed_args final : public ICoreWebView2ProcessFailedEventArgs {
 public:
  explicit process_failed_args(COREWEBVIEW2_PROCESS_FAILED_KIND kind) : kind(kind) {}
  process_failed_args(const process_failed_args&) = delete;
  process_failed_args& operator=(const process_failed_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_ProcessFailedKind(COREWEBVIEW2_PROCESS_FAILED_KIND* value) override;

 private:
  ~process_failed_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  COREWEBVIEW2_PROCESS_FAILED_KIND kind;
};

class navigation_completed_args final : public ICoreWebView2NavigationCompletedEventArgs {
 public:
  // `status` is UNKNOWN (0) for a successful navigation, as the runtime reports it.
  navigation_completed_args(std::uint64_t id, bool success, COREWEBVIEW2_WEB_ERROR_STATUS status)
      : id(id), success(success), status(status) {}
  navigation_completed_args(const navigation_completed_args&) = delete;
  navigation_completed_args& operator=(const navigation_completed_args&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* value) override;
  HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* value) override;

 private:
  ~navigation_completed_args() = default;

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::uint64_t id;
  bool success;
  COREWEBVIEW2_WEB_ERROR_STATUS status;
};

}  // namespace standin
