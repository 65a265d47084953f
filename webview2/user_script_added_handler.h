// Completion handler of AddScriptToExecuteOnDocumentCreated: hands the outcome to a function.
// Called by the runtime on the UI thread; Invoke returns S_OK.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "webview2/webview2_abi.h"

namespace webview::detail {

class webview2_user_script_added_handler
    : public ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler {
 public:
  using script_added_type = std::function<void(long error_code, const wchar_t* id)>;

  // Heap-allocate with new; starts with one reference, owned by the creator. `script_added`
  // must be set; it receives the completion's error code and identifier (null on failure) as
  // given, and an exception it throws is swallowed.
  explicit webview2_user_script_added_handler(script_added_type script_added);
  webview2_user_script_added_handler(const webview2_user_script_added_handler&) = delete;
  webview2_user_script_added_handler& operator=(const webview2_user_script_added_handler&) = delete;

  // Answers only its completion interface; IUnknown is refused.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  // Destroys the object when fewer than two references are left.
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Invoke(HRESULT error_code, LPCWSTR id) override;
  virtual ~webview2_user_script_added_handler();

 private:
  script_added_type script_added;
  std::atomic<std::uint32_t> reference_count{1};
};

}  // namespace webview::detail
