// Full-screen support: the watcher that passes the web view's full-screen reports on, and the
// window style used while full-screen.
#pragma once

#include <functional>

#include "webview2/com_callback.h"

namespace webview::detail {

// The main window's style while full-screen: `saved_style` without WS_OVERLAPPEDWINDOW and
// WS_POPUP, then with WS_POPUP; every other bit kept.
LONG fullscreen_style(LONG saved_style) noexcept;

// Calls `set_fullscreen(true)` when the sender reports a full-screen element (exactly TRUE) and
// `set_fullscreen(false)` otherwise, also when the sender is null or cannot be read. Owned by the
// web view it is registered with. An empty `set_fullscreen` ignores every report.
class fs_watch final
    : public com_callback<ICoreWebView2ContainsFullScreenElementChangedEventHandler,
                          IID_ICoreWebView2ContainsFullScreenElementChangedEventHandler> {
 public:
  explicit fs_watch(std::function<void(bool)> set_fullscreen);

 private:
  void invoke(ICoreWebView2* sender, IUnknown* args) override;

  std::function<void(bool)> set_fullscreen;
};

}  // namespace webview::detail
