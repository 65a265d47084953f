#include "webview2/fullscreen_watch.h"

#include <utility>

#include "util/exception_barrier.h"

namespace webview::detail {

LONG fullscreen_style(LONG saved_style) noexcept {
  constexpr ULONG cleared = WS_OVERLAPPEDWINDOW | WS_POPUP;
  const ULONG style = (static_cast<ULONG>(saved_style) & ~cleared) | WS_POPUP;
  return static_cast<LONG>(style);
}

fs_watch::fs_watch(std::function<void(bool)> set_fullscreen)
    : set_fullscreen(std::move(set_fullscreen)) {}

HRESULT STDMETHODCALLTYPE fs_watch::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) ||
      IsEqualIID(riid, IID_ICoreWebView2ContainsFullScreenElementChangedEventHandler)) {
    *ppv = static_cast<ICoreWebView2ContainsFullScreenElementChangedEventHandler*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE fs_watch::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE fs_watch::Release() {
  const ULONG remaining = --reference_count;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT STDMETHODCALLTYPE fs_watch::Invoke(ICoreWebView2* sender, IUnknown*) {
  call_without_throwing([&] {
    BOOL contains = FALSE;
    if (sender != nullptr) sender->get_ContainsFullScreenElement(&contains);
    if (set_fullscreen) set_fullscreen(contains == TRUE);
  });
  return S_OK;
}

}  // namespace webview::detail
