// Completion handler of AddScriptToExecuteOnDocumentCreated: hands the outcome to a function.
// Called by the runtime on the UI thread.
#pragma once

#include <functional>

#include "webview2/com_callback.h"

namespace webview::detail {

class webview2_user_script_added_handler final
    : public com_callback<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler,
                          IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler> {
 public:
  using script_added_type = std::function<void(long error_code, const wchar_t* id)>;

  // `script_added` must be set; it receives the completion's error code and identifier (null on
  // failure) as given.
  explicit webview2_user_script_added_handler(script_added_type script_added);

 private:
  void invoke(HRESULT error_code, LPCWSTR id) override;

  script_added_type script_added;
};

}  // namespace webview::detail
