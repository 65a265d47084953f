// The engine's one WebView2 callback object: it carries the browser's start-up through its two
// completions, retrying environment creation within a budget shared with the first start, and
// applies the page policy to web messages, permission requests and new-window requests.
// Called by the runtime on the UI thread only; every Invoke returns S_OK and lets no exception
// out.
//
// Start-up: a failed environment completion, a refused CreateCoreWebView2Controller, a failed
// controller completion and a successful one without a controller or web view all retry through
// attempt_environment_creation. 0x8007139F from a start, in either completion or from
// CreateCoreWebView2Controller, and E_ABORT in the controller completion, are final. The
// controller-created callback is called exactly once per outcome: on success with S_OK, the
// controller and the web view (it must AddRef what it keeps: the handler releases its own web
// view reference right after the call and holds no browser object); on a final failure or a spent
// budget with the failing HRESULT and two nulls. The environment observer sees each environment
// that completes, before its controller is asked for (and must AddRef it to keep it).
//
// Page policy: web messages that are strings go to the message callback as UTF-8 (empty when
// the text is not valid UTF-16); granted permission kinds are allowed only for requests from the
// trusted origin, anything else keeps the browser's state; every new-window request is marked
// handled and decided by decide_new_window: a popup goes, with the request's deferral, to the
// popup opener from a posted task; a link the shell may open is opened, with the host window as
// owner.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "util/com_ptr.h"
#include "webview2/popup_request.h"
#include "webview2/webview2_abi.h"

namespace webview::detail {

class webview2_com_handler : public ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                             public ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                             public ICoreWebView2WebMessageReceivedEventHandler,
                             public ICoreWebView2PermissionRequestedEventHandler,
                             public ICoreWebView2NewWindowRequestedEventHandler {
 public:
  // A posted string message and the URI of the document that posted it (empty when unknown).
  using message_callback_type = std::function<void(std::string, std::wstring)>;
  using controller_created_callback_type =
      std::function<void(HRESULT, ICoreWebView2Controller*, ICoreWebView2*)>;
  using popup_opener_type = std::function<void(std::shared_ptr<popup_request>)>;
  // Runs the task later on the UI thread, after the current event has returned.
  using task_poster_type = std::function<void(std::function<void()>)>;

  // Heap-allocate with new; starts with one reference, owned by the creator. `trusted_origin` is
  // a URL whose origin (scheme, host, port) alone is granted permissions.
  webview2_com_handler(HWND host_window, message_callback_type message_callback,
                       controller_created_callback_type controller_created_callback,
                       std::wstring trusted_origin, task_poster_type post_task);
  webview2_com_handler(const webview2_com_handler&) = delete;
  webview2_com_handler& operator=(const webview2_com_handler&) = delete;

  // Answers the five callback interfaces, each with its own sub-object, and IUnknown with the
  // environment completion's.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  // Destroys the object when fewer than two references are left.
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

  // The creator starts one environment creation with this object as its completion handler and
  // returns the HRESULT of the start: non-negative when a completion will follow, 0x8007139F
  // when nothing is to be retried, any other failure when nothing was started.
  void set_environment_creator(std::function<HRESULT()> creator);
  // Calls the creator until one start is accepted (non-negative), within the budget of 5 over
  // the object's whole life; a start refused with 0x8007139F, or a spent budget, reports the
  // failure to the controller callback. Without a creator every attempt counts as refused with
  // E_UNEXPECTED. Exceptions from the creator or the callback propagate to the caller.
  void attempt_environment_creation();
  // Popups of the application's own open through `opener` (from a posted task, never inside the
  // event); `signin_hosts` are the sign-in pages a sized window.open may show in one. Without an
  // opener no popup opens.
  void set_popup_opener(popup_opener_type opener, std::vector<std::wstring> signin_hosts);
  void set_environment_observer(std::function<void(ICoreWebView2Environment*)> observer);

 private:
  // Takes the request's deferral and posts the popup's opening; false when it cannot be deferred.
  bool defer_popup(ICoreWebView2NewWindowRequestedEventArgs* args, const window_features& features,
                   std::string where);

  // Starts again after `failure`, or reports it when nothing is left to try.
  void retry_after(HRESULT failure);

  HWND host_window;
  message_callback_type message_callback;
  controller_created_callback_type controller_created_callback;
  std::atomic<std::uint32_t> reference_count{1};
  std::function<HRESULT()> environment_creator;
  std::uint32_t attempt_limit = 5;
  std::uint32_t attempt_count = 0;
  std::wstring trusted_origin;
  task_poster_type post_task;
  popup_opener_type popup_opener;
  std::vector<std::wstring> signin_hosts;
  std::function<void(ICoreWebView2Environment*)> environment_observer;
};

}  // namespace webview::detail
