// The stand-in's ICoreWebView2Controller and ICoreWebView2Controller2 (the latter unless the
// scenario says `nocontroller2`): owns the browser window under the application's host window
// (sized by put_Bounds, shown by put_IsVisible, its background painted in the default background
// colour while no page is shown), the zoom factor, and the web view. UI thread only.
#pragma once

#include <atomic>
#include <memory>

#include "testing/standin/browser_process.h"
#include "testing/standin/browser_window.h"
#include "testing/standin/core_webview.h"
#include "testing/standin/event_handlers.h"
#include "testing/standin/module_use.h"
#include "testing/standin/scenario.h"
#include "testing/standin/ui_thread_queue.h"
#include "util/com_ptr.h"
#include "webview2/webview2_abi.h"

namespace standin {

using webview::detail::com_ptr;

class controller_object final : public ICoreWebView2Controller2 {
 public:
  // Creates the browser window under `parent`; null when it cannot be created. `webview_mode`
  // is the scenario's outcome for this controller: succeed, no_webview or null_webview;
  // `background` its environment's default background colour, which its first frame shows.
  static com_ptr<controller_object> create(HWND parent, std::shared_ptr<ui_thread_queue> queue,
                                           std::shared_ptr<browser_process> process,
                                           step_outcome webview_mode,
                                           COREWEBVIEW2_COLOR background);

  controller_object(std::shared_ptr<ui_thread_queue> queue,
                    std::shared_ptr<browser_process> process,
                    std::shared_ptr<browser_window> window, step_outcome webview_mode,
                    COREWEBVIEW2_COLOR background);
  controller_object(const controller_object&) = delete;
  controller_object& operator=(const controller_object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Bounds(RECT* value) override;
  HRESULT STDMETHODCALLTYPE put_Bounds(RECT value) override;
  HRESULT STDMETHODCALLTYPE get_ZoomFactor(double* value) override;
  HRESULT STDMETHODCALLTYPE put_ZoomFactor(double value) override;
  HRESULT STDMETHODCALLTYPE add_ZoomFactorChanged(
      ICoreWebView2ZoomFactorChangedEventHandler* handler, EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_ZoomFactorChanged(EventRegistrationToken token) override;
  HRESULT STDMETHODCALLTYPE SetBoundsAndZoomFactor(RECT bounds, double zoom_factor) override;
  HRESULT STDMETHODCALLTYPE MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) override;
  HRESULT STDMETHODCALLTYPE add_MoveFocusRequested(ICoreWebView2MoveFocusRequestedEventHandler*,
                                                   EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_MoveFocusRequested(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_GotFocus(ICoreWebView2FocusChangedEventHandler*,
                                         EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_GotFocus(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_LostFocus(ICoreWebView2FocusChangedEventHandler*,
                                          EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_LostFocus(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE add_AcceleratorKeyPressed(
      ICoreWebView2AcceleratorKeyPressedEventHandler*, EventRegistrationToken*) override;
  HRESULT STDMETHODCALLTYPE remove_AcceleratorKeyPressed(EventRegistrationToken) override;
  HRESULT STDMETHODCALLTYPE get_ParentWindow(HWND* value) override;
  HRESULT STDMETHODCALLTYPE put_ParentWindow(HWND value) override;
  HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() override;
  HRESULT STDMETHODCALLTYPE Close() override;
  HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** value) override;
  HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR value) override;

  // The user zooming (scenario action `zoom`): clamps, stores and raises ZoomFactorChanged at
  // once; the caller runs inside the thread's message dispatch.
  void change_zoom_by_user(double factor);
  // A navigation: back to the factor last set by put_ZoomFactor, with ZoomFactorChanged at once
  // when that changes it; the caller runs inside the thread's message dispatch.
  void reset_user_zoom();

 private:
  ~controller_object();
  HRESULT not_implemented(const char* method);
  // Runs `body` behind the exception barrier, unless the browser process is gone.
  template <typename Body>
  HRESULT guarded(const char* method, Body body);
  template <typename Body>
  HRESULT guarded(const char* interface_name, const char* method, Body body);
  HRESULT report(const char* method, const log_fields& args, HRESULT result);
  HRESULT report(const char* interface_name, const char* method, const log_fields& args,
                 HRESULT result);
  // Stores the factor; true when it changed.
  bool store_zoom(double factor);
  void raise_zoom_changed();

  std::atomic<ULONG> reference_count{1};
  module_use in_use;
  std::shared_ptr<ui_thread_queue> queue;
  std::shared_ptr<browser_process> process;
  std::shared_ptr<browser_window> window;
  step_outcome webview_mode;
  com_ptr<core_webview> webview;
  double zoom = 1.0;
  double chosen_zoom = 1.0;  // the last put_ZoomFactor, clamped
  RECT bounds{};
  bool visible = false;
  COREWEBVIEW2_COLOR background;
  bool closed = false;  // by Close, or implicitly by the final Release
  event_handlers<ICoreWebView2ZoomFactorChangedEventHandler> zoom_handlers;
};

}  // namespace standin
