// The stand-in's ICoreWebView2Environment and the start of environment creation that the
// client DLL's export hands to it. UI thread only: the thread that started the creation.
#pragma once

#include <atomic>
#include <memory>

#include "testing/standin/browser_process.h"
#include "testing/standin/module_use.h"
#include "testing/standin/ui_thread_queue.h"
#include "webview2/webview2_abi.h"

namespace standin {

// Plays the scenario's next start: refused (its HRESULT returned, nothing started), or accepted
// (S_OK) with exactly one completion delivered through `handler` on the calling thread, or
// accepted with WM_QUIT posted instead (`later-quit`). Every start is refused with E_INVALIDARG
// while the scenario has errors.
HRESULT start_environment_creation(
    bool flag, INT32 source, PCWSTR user_data_folder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

class environment_object final : public ICoreWebView2Environment {
 public:
  environment_object(std::shared_ptr<ui_thread_queue> queue,
                     std::shared_ptr<browser_process> process);
  environment_object(const environment_object&) = delete;
  environment_object& operator=(const environment_object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
      HWND parent_window,
      ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override;
  HRESULT STDMETHODCALLTYPE CreateWebResourceResponse(IStream*, int, LPCWSTR, LPCWSTR,
                                                      ICoreWebView2WebResourceResponse**) override;
  HRESULT STDMETHODCALLTYPE get_BrowserVersionString(LPWSTR*) override;
  HRESULT STDMETHODCALLTYPE add_NewBrowserVersionAvailable(
      ICoreWebView2NewBrowserVersionAvailableEventHandler*, EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_NewBrowserVersionAvailable(EventRegistrationToken) override;

 private:
  ~environment_object() = default;
  HRESULT not_implemented(const char* method);

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::shared_ptr<ui_thread_queue> queue;
  std::shared_ptr<browser_process> process;
};

}  // namespace standin
