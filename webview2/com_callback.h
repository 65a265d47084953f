// The one way to write a WebView2 callback object with a single interface: reference counting,
// the identities it answers, and the exception barrier around Invoke. A callback is a
// constructor and an `invoke`:
//
//   class zoom_watch final
//       : public com_callback<ICoreWebView2ZoomFactorChangedEventHandler,
//                             IID_ICoreWebView2ZoomFactorChangedEventHandler> {
//     void invoke(ICoreWebView2Controller* sender, IUnknown* args) override;
//   };
//
// Heap-allocate with new; the object starts with one reference, owned by the creator, and is
// destroyed by its last Release. Invoke returns S_OK whatever `invoke` does; an exception it
// throws is swallowed.
#pragma once

#include <atomic>

#include "util/exception_barrier.h"
#include "webview2/webview2_abi.h"

namespace webview::detail {

template <typename Interface, const IID& interface_id,
          typename Method = decltype(&Interface::Invoke)>
class com_callback;

template <typename Interface, const IID& interface_id, typename... Args>
class com_callback<Interface, interface_id, HRESULT (STDMETHODCALLTYPE Interface::*)(Args...)>
    : public Interface {
 public:
  com_callback(const com_callback&) = delete;
  com_callback& operator=(const com_callback&) = delete;

  // Answers IUnknown and `interface_id`, always with the same pointer, as COM identity requires.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, interface_id)) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++reference_count; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --reference_count;
    if (remaining == 0) delete this;
    return remaining;
  }
  HRESULT STDMETHODCALLTYPE Invoke(Args... args) override {
    call_without_throwing([&] { invoke(args...); });
    return S_OK;
  }

 protected:
  com_callback() = default;
  virtual ~com_callback() = default;

  virtual void invoke(Args... args) = 0;

 private:
  std::atomic<ULONG> reference_count{1};
};

}  // namespace webview::detail
