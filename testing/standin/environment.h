// The stand-in's ICoreWebView2Environment and the start of environment creation that the
// client DLL's export hands to it. UI thread only: the thread that started the creation.
#pragma once

#include <atomic>
#include <memory>

#include "testing/standin/browser_process.h"
#include "testing/standin/event_handlers.h"
#include "testing/standin/module_use.h"
#include "testing/standin/ui_thread_queue.h"
#include "webview2/webview2_abi.h"

namespace standin {

// Plays the scenario's next start: refused (its HRESULT returned, nothing started), or accepted
// (S_OK) with exactly one completion delivered through `handler` on the calling thread, or
// accepted with WM_QUIT posted instead (`later-quit`). Every start is refused with E_INVALIDARG
// while the scenario has errors. A start that would succeed fails in its completion with
// 0x800700AA while an ended browser process still holds the same user-data folder.
HRESULT start_environment_creation(
    bool flag, INT32 source, PCWSTR user_data_folder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

// ICoreWebView2Environment5 and the interfaces between (unless the scenario says
// `noenvironment5`, then up to ICoreWebView2Environment4); only BrowserProcessExited is
// implemented among their slots.
class environment_object final : public ICoreWebView2Environment5 {
 public:
  // `background` is the default background colour its controllers start with.
  environment_object(std::shared_ptr<ui_thread_queue> queue,
                     std::shared_ptr<browser_process> process, COREWEBVIEW2_COLOR background);
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
  HRESULT STDMETHODCALLTYPE CreateWebResourceRequest(LPCWSTR, LPCWSTR, IStream*, LPCWSTR,
                                                     ICoreWebView2WebResourceRequest**) override;
  HRESULT STDMETHODCALLTYPE CreateCoreWebView2CompositionController(
      HWND, ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler*) override;
  HRESULT STDMETHODCALLTYPE CreateCoreWebView2PointerInfo(ICoreWebView2PointerInfo**) override;
  HRESULT STDMETHODCALLTYPE GetAutomationProviderForWindow(HWND, IUnknown**) override;
  HRESULT STDMETHODCALLTYPE
  add_BrowserProcessExited(ICoreWebView2BrowserProcessExitedEventHandler* handler,
                           EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_BrowserProcessExited(EventRegistrationToken token) override;

  // Its browser process `id` ended and released its user-data folder.
  void raise_browser_process_exited(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind, UINT32 id);
  // Not dead, and handlers are registered.
  bool hears_new_versions() const { return !process->exited() && version_handlers.size() > 0; }
  void raise_new_version_available(const wchar_t* version);

 private:
  ~environment_object();
  HRESULT not_implemented(const char* interface_name, const char* method);

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::shared_ptr<ui_thread_queue> queue;
  std::shared_ptr<browser_process> process;
  COREWEBVIEW2_COLOR background;
  event_handlers<ICoreWebView2BrowserProcessExitedEventHandler> exited_handlers;
  event_handlers<ICoreWebView2NewBrowserVersionAvailableEventHandler> version_handlers;
};

// A newer runtime was installed: NewBrowserVersionAvailable on this module's environments that
// are not dead and have handlers, on the calling thread.
void announce_new_version(const wchar_t* version);

}  // namespace standin
