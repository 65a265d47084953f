#include "webview2/user_script_added_handler.h"

#include <utility>

#include "util/exception_barrier.h"

namespace webview::detail {

webview2_user_script_added_handler::webview2_user_script_added_handler(
    script_added_type script_added)
    : script_added(std::move(script_added)) {}

webview2_user_script_added_handler::~webview2_user_script_added_handler() = default;

HRESULT STDMETHODCALLTYPE webview2_user_script_added_handler::QueryInterface(REFIID riid,
                                                                             void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler)) {
    AddRef();
    *ppv = static_cast<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE webview2_user_script_added_handler::AddRef() { return ++reference_count; }

ULONG STDMETHODCALLTYPE webview2_user_script_added_handler::Release() {
  if (reference_count.load() < 2) {
    delete this;
    return 0;
  }
  return --reference_count;
}

HRESULT STDMETHODCALLTYPE webview2_user_script_added_handler::Invoke(HRESULT error_code,
                                                                     LPCWSTR id) {
  call_without_throwing([&] { script_added(error_code, id); });
  return S_OK;
}

}  // namespace webview::detail
