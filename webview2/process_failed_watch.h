// Passes the web view's process-failure reports on. Owned by the web view it is registered with.
#pragma once

#include <functional>

#include "webview2/com_callback.h"

namespace webview::detail {

struct process_failure {
  COREWEBVIEW2_PROCESS_FAILED_KIND kind = COREWEBVIEW2_PROCESS_FAILED_KIND_UNKNOWN_PROCESS_EXITED;
  // Reason and exit code come from runtimes that answer ICoreWebView2ProcessFailedEventArgs2;
  // `detailed` is false for older ones.
  bool detailed = false;
  COREWEBVIEW2_PROCESS_FAILED_REASON reason = COREWEBVIEW2_PROCESS_FAILED_REASON_UNEXPECTED;
  int exit_code = 0;
};

// Calls `on_failure` with the report; one whose kind cannot be read is passed on as
// UNKNOWN_PROCESS_EXITED, which the runtime recovers by itself.
class process_failed_watch final : public com_callback<ICoreWebView2ProcessFailedEventHandler,
                                                       IID_ICoreWebView2ProcessFailedEventHandler> {
 public:
  explicit process_failed_watch(std::function<void(const process_failure&)> on_failure);

 private:
  void invoke(ICoreWebView2* sender, ICoreWebView2ProcessFailedEventArgs* args) override;

  std::function<void(const process_failure&)> on_failure;
};

}  // namespace webview::detail
