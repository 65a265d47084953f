// The engine's one WebView2 callback object: it carries the browser's start-up through its two
// completions, retrying environment creation within a budget shared with the first start, and
// applies the page policy to web messages, permission requests and new-window requests.
// Called by the runtime on the UI thread only; every Invoke returns S_OK.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "webview2/webview2_abi.h"

namespace webview::detail {

class webview2_com_handler
    : public ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
      public ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
      public ICoreWebView2WebMessageReceivedEventHandler,
      public ICoreWebView2PermissionRequestedEventHandler,
      public ICoreWebView2NewWindowRequestedEventHandler {
 public:
  using message_callback_type = std::function<void(std::string)>;
  using controller_created_callback_type =
      std::function<void(ICoreWebView2Controller*, ICoreWebView2*)>;

  // Starts with one reference, owned by the creator. `trusted_origin` is a URL whose origin
  // (scheme, host, port) alone is granted permissions.
  webview2_com_handler(HWND host_window, message_callback_type message_callback,
                       controller_created_callback_type controller_created_callback,
                       std::wstring trusted_origin);
  webview2_com_handler(const webview2_com_handler&) = delete;
  webview2_com_handler& operator=(const webview2_com_handler&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Invoke(HRESULT error_code,
                                   ICoreWebView2Environment* environment) override;
  virtual ~webview2_com_handler();
  HRESULT STDMETHODCALLTYPE Invoke(HRESULT error_code,
                                   ICoreWebView2Controller* controller) override;
  HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                   ICoreWebView2WebMessageReceivedEventArgs* args) override;
  HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                   ICoreWebView2PermissionRequestedEventArgs* args) override;
  HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                   ICoreWebView2NewWindowRequestedEventArgs* args) override;

  void set_environment_creator(std::function<HRESULT()> creator);
  // Calls the creator until one start is accepted, within the budget of 5 over the object's
  // whole life; when the budget is spent, reports two nulls to the controller callback.
  void attempt_environment_creation();

 private:
  HWND host_window;
  message_callback_type message_callback;
  controller_created_callback_type controller_created_callback;
  std::atomic<std::uint32_t> reference_count{1};
  std::function<HRESULT()> environment_creator;
  std::uint32_t attempt_limit = 5;
  std::uint32_t attempt_count = 0;
  std::wstring trusted_origin;
};

}  // namespace webview::detail
