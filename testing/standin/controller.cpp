#include "testing/standin/controller.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "testing/standin/runtime_state.h"
#include "util/exception_barrier.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr const char* controller_interface = "ICoreWebView2Controller";
constexpr const char* controller2_interface = "ICoreWebView2Controller2";
constexpr double smallest_zoom = 0.25;
constexpr double largest_zoom = 5.0;

}  // namespace

com_ptr<controller_object> controller_object::create(HWND parent,
                                                     std::shared_ptr<ui_thread_queue> queue,
                                                     std::shared_ptr<browser_process> process,
                                                     step_outcome webview_mode,
                                                     COREWEBVIEW2_COLOR background) {
  std::shared_ptr<browser_window> window = browser_window::create(parent);
  if (!window) return {};
  process->add_window(window);
  return com_ptr<controller_object>::adopt(new controller_object(
      std::move(queue), std::move(process), std::move(window), webview_mode, background));
}

controller_object::controller_object(std::shared_ptr<ui_thread_queue> queue,
                                     std::shared_ptr<browser_process> process,
                                     std::shared_ptr<browser_window> window,
                                     step_outcome webview_mode, COREWEBVIEW2_COLOR background)
    : queue(std::move(queue)),
      process(std::move(process)),
      window(std::move(window)),
      webview_mode(webview_mode),
      background(background) {
  this->window->display().background = background;
  this->window->display().first_frame = background;
  this->process->controller_opened();
  if (webview_mode == step_outcome::succeed) {
    webview = com_ptr<core_webview>::adopt(
        new core_webview(this->queue, this->process, this->window, this));
  }
}

controller_object::~controller_object() {
  if (webview) webview->detach_controller();
  // Like the real runtime, the browser goes away with its controller: Close runs implicitly.
  window->destroy();
  if (!closed) call_without_throwing([&] { process->controller_closed(); });
}

template <typename Body>
HRESULT controller_object::guarded(const char* method, Body body) {
  return guarded(controller_interface, method, body);
}

template <typename Body>
HRESULT controller_object::guarded(const char* interface_name, const char* method, Body body) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    // After the browser process exited, the controller only answers that it is gone.
    if (process->exited()) return report(interface_name, method, {}, browser_gone);
    return body();
  });
}

HRESULT controller_object::report(const char* method, const log_fields& args, HRESULT result) {
  return report(controller_interface, method, args, result);
}

HRESULT controller_object::report(const char* interface_name, const char* method,
                                  const log_fields& args, HRESULT result) {
  window->note_call(method);
  return log_call(interface_name, method, args, result);
}

HRESULT controller_object::not_implemented(const char* method) {
  return guarded(method, [&] { return report(method, {}, E_NOTIMPL); });
}

HRESULT STDMETHODCALLTYPE controller_object::QueryInterface(REFIID riid, void** object) {
  return call_without_throwing(E_UNEXPECTED, [&] {
    const bool answers = IsEqualIID(riid, IID_IUnknown) ||
                         IsEqualIID(riid, IID_ICoreWebView2Controller) ||
                         (IsEqualIID(riid, IID_ICoreWebView2Controller2) &&
                          runtime_state::get().plan().controller2_available);
    HRESULT result = E_POINTER;
    if (object) {
      *object = answers ? static_cast<ICoreWebView2Controller2*>(this) : nullptr;
      if (answers) AddRef();
      result = answers ? S_OK : E_NOINTERFACE;
    }
    return log_call(controller_interface, "QueryInterface", log_fields().guid("riid", riid),
                    result);
  });
}

ULONG STDMETHODCALLTYPE controller_object::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE controller_object::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE controller_object::get_IsVisible(BOOL* value) {
  return guarded("get_IsVisible", [&] {
    if (value) *value = visible ? TRUE : FALSE;
    return report("get_IsVisible", log_fields().boolean("value", visible),
                  value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::put_IsVisible(BOOL value) {
  return guarded("put_IsVisible", [&] {
    visible = value != FALSE;
    if (const HWND handle = window->handle()) ShowWindow(handle, visible ? SW_SHOW : SW_HIDE);
    return report("put_IsVisible", log_fields().integer("isVisible", value), S_OK);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::get_Bounds(RECT* value) {
  return guarded("get_Bounds", [&] {
    if (value) *value = bounds;
    return report("get_Bounds", log_fields().rect("value", bounds), value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::put_Bounds(RECT value) {
  return guarded("put_Bounds", [&] {
    bounds = value;
    if (const HWND handle = window->handle()) {
      MoveWindow(handle, value.left, value.top, std::max(0L, value.right - value.left),
                 std::max(0L, value.bottom - value.top), TRUE);
    }
    return report("put_Bounds", log_fields().rect("bounds", value), S_OK);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::get_ZoomFactor(double* value) {
  return guarded("get_ZoomFactor", [&] {
    if (value) *value = zoom;
    return report("get_ZoomFactor", log_fields().number("value", zoom), value ? S_OK : E_POINTER);
  });
}

bool controller_object::store_zoom(double factor) {
  if (process->exited()) return false;
  const double clamped = std::clamp(factor, smallest_zoom, largest_zoom);
  if (clamped == zoom) return false;
  zoom = clamped;
  window->display().zoom = zoom;
  window->refresh();
  return true;
}

void controller_object::raise_zoom_changed() {
  if (process->exited()) return;
  zoom_handlers.fire("ZoomFactorChanged", this, static_cast<IUnknown*>(nullptr),
                     log_fields().number("zoomFactor", zoom), [] { return log_fields(); });
}

HRESULT STDMETHODCALLTYPE controller_object::put_ZoomFactor(double value) {
  return guarded("put_ZoomFactor", [&] {
    const log_fields args = log_fields().number("zoomFactor", value);
    if (!std::isfinite(value) || value <= 0) return report("put_ZoomFactor", args, E_INVALIDARG);
    // The factor set here is the one later navigations use.
    chosen_zoom = std::clamp(value, smallest_zoom, largest_zoom);
    // The event follows through the message queue, as with the real runtime, and only when the
    // factor really changed.
    if (store_zoom(value)) {
      queue->post([self = com_ptr<controller_object>::share(this)] { self->raise_zoom_changed(); });
    }
    return report("put_ZoomFactor", args, S_OK);
  });
}

void controller_object::change_zoom_by_user(double factor) {
  log_note("user zoom", log_fields().number("zoomFactor", factor));
  if (store_zoom(factor)) raise_zoom_changed();
}

void controller_object::reset_user_zoom() {
  // A user applied zoom is only for the current page and is reset on a navigation.
  if (store_zoom(chosen_zoom)) raise_zoom_changed();
}

HRESULT STDMETHODCALLTYPE controller_object::add_ZoomFactorChanged(
    ICoreWebView2ZoomFactorChangedEventHandler* handler, EventRegistrationToken* token) {
  return guarded("add_ZoomFactorChanged", [&] {
    const HRESULT result = zoom_handlers.add(handler, token);
    return report("add_ZoomFactorChanged",
                  log_fields().integer("token", SUCCEEDED(result) ? token->value : 0), result);
  });
}

HRESULT STDMETHODCALLTYPE
controller_object::remove_ZoomFactorChanged(EventRegistrationToken token) {
  return guarded("remove_ZoomFactorChanged", [&] {
    return report("remove_ZoomFactorChanged", log_fields().integer("token", token.value),
                  zoom_handlers.remove(token));
  });
}

HRESULT STDMETHODCALLTYPE controller_object::MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) {
  return guarded("MoveFocus", [&] {
    const bool known = reason == COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC ||
                       reason == COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT ||
                       reason == COREWEBVIEW2_MOVE_FOCUS_REASON_PREVIOUS;
    if (known && window->handle()) SetFocus(window->handle());
    return report("MoveFocus", log_fields().integer("reason", reason), known ? S_OK : E_INVALIDARG);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::get_ParentWindow(HWND* value) {
  return guarded("get_ParentWindow", [&] {
    if (value) *value = window->parent();
    return report("get_ParentWindow",
                  log_fields().integer("value", reinterpret_cast<INT_PTR>(window->parent())),
                  value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::Close() {
  return guarded("Close", [&] {
    window->destroy();
    if (webview) webview->close();
    if (!std::exchange(closed, true)) process->controller_closed();
    return report("Close", {}, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::get_CoreWebView2(ICoreWebView2** value) {
  return guarded("get_CoreWebView2", [&] {
    const log_fields args = log_fields()
                                .utf8("step", outcome_name(webview_mode))
                                .integer("webView", webview ? webview->id() : 0);
    if (!value) return report("get_CoreWebView2", args, E_POINTER);
    *value = com_ptr<core_webview>::share(webview.get()).detach();
    return report("get_CoreWebView2", args,
                  webview_mode == step_outcome::no_webview ? E_FAIL : S_OK);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* value) {
  return guarded(controller2_interface, "get_DefaultBackgroundColor", [&] {
    if (value) *value = background;
    return report(controller2_interface, "get_DefaultBackgroundColor",
                  log_fields().utf8("value", argb_text(background)), value ? S_OK : E_POINTER);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::put_DefaultBackgroundColor(COREWEBVIEW2_COLOR value) {
  return guarded(controller2_interface, "put_DefaultBackgroundColor", [&] {
    const log_fields args = log_fields().utf8("color", argb_text(value));
    // Only alpha 0 or 255 is accepted.
    if (value.A != 0 && value.A != 255) {
      return report(controller2_interface, "put_DefaultBackgroundColor", args, E_INVALIDARG);
    }
    background = value;
    window->display().background = value;
    return report(controller2_interface, "put_DefaultBackgroundColor", args, S_OK);
  });
}

HRESULT STDMETHODCALLTYPE controller_object::NotifyParentWindowPositionChanged() {
  return guarded("NotifyParentWindowPositionChanged",
                 [&] { return report("NotifyParentWindowPositionChanged", {}, S_OK); });
}

// Slots the application never calls.

HRESULT STDMETHODCALLTYPE controller_object::SetBoundsAndZoomFactor(RECT, double) {
  return not_implemented("SetBoundsAndZoomFactor");
}
HRESULT STDMETHODCALLTYPE controller_object::add_MoveFocusRequested(
    ICoreWebView2MoveFocusRequestedEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_MoveFocusRequested");
}
HRESULT STDMETHODCALLTYPE controller_object::remove_MoveFocusRequested(EventRegistrationToken) {
  return not_implemented("remove_MoveFocusRequested");
}
HRESULT STDMETHODCALLTYPE controller_object::add_GotFocus(ICoreWebView2FocusChangedEventHandler*,
                                                          EventRegistrationToken*) {
  return not_implemented("add_GotFocus");
}
HRESULT STDMETHODCALLTYPE controller_object::remove_GotFocus(EventRegistrationToken) {
  return not_implemented("remove_GotFocus");
}
HRESULT STDMETHODCALLTYPE controller_object::add_LostFocus(ICoreWebView2FocusChangedEventHandler*,
                                                           EventRegistrationToken*) {
  return not_implemented("add_LostFocus");
}
HRESULT STDMETHODCALLTYPE controller_object::remove_LostFocus(EventRegistrationToken) {
  return not_implemented("remove_LostFocus");
}
HRESULT STDMETHODCALLTYPE controller_object::add_AcceleratorKeyPressed(
    ICoreWebView2AcceleratorKeyPressedEventHandler*, EventRegistrationToken*) {
  return not_implemented("add_AcceleratorKeyPressed");
}
HRESULT STDMETHODCALLTYPE controller_object::remove_AcceleratorKeyPressed(EventRegistrationToken) {
  return not_implemented("remove_AcceleratorKeyPressed");
}
HRESULT STDMETHODCALLTYPE controller_object::put_ParentWindow(HWND) {
  return not_implemented("put_ParentWindow");
}

}  // namespace standin
