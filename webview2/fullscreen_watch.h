// Full-screen support: the watcher that passes the web view's full-screen reports on, and the
// window style used while full-screen.
#pragma once

#include <functional>

#include "webview2/webview2_abi.h"

namespace webview::detail {

// The main window's style while full-screen: `saved_style` without WS_OVERLAPPEDWINDOW and
// WS_POPUP, then with WS_POPUP; every other bit kept.
LONG fullscreen_style(LONG saved_style) noexcept;

// Calls `set_fullscreen(true)` when the sender reports a full-screen element (exactly TRUE) and
// `set_fullscreen(false)` otherwise, also when the sender is null or cannot be read. Owned by the
// web view it is registered with (heap-allocate with new; starts with one reference, owned by the
// creator). Counts references without atomics: UI thread only. An empty `set_fullscreen` ignores
// every report; an exception it throws is swallowed.
class fs_watch final : public ICoreWebView2ContainsFullScreenElementChangedEventHandler {
 public:
  explicit fs_watch(std::function<void(bool)> set_fullscreen);
  fs_watch(const fs_watch&) = delete;
  fs_watch& operator=(const fs_watch&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, IUnknown* args) override;

 private:
  ~fs_watch() = default;

  std::function<void(bool)> set_fullscreen;
  ULONG reference_count = 1;
};

}  // namespace webview::detail
