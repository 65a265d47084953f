// Passes the web view's process-failure reports on. Owned by the web view it is registered with.
#pragma once

#include <functional>

#include "webview2/com_callback.h"

namespace webview::detail {

// Calls `on_failure` with the reported kind; a report whose kind cannot be read is passed on as
// UNKNOWN_PROCESS_EXITED, which the runtime recovers by itself.
class process_failed_watch final : public com_callback<ICoreWebView2ProcessFailedEventHandler,
                                                       IID_ICoreWebView2ProcessFailedEventHandler> {
 public:
  explicit process_failed_watch(std::function<void(COREWEBVIEW2_PROCESS_FAILED_KIND)> on_failure);

 private:
  void invoke(ICoreWebView2* sender, ICoreWebView2ProcessFailedEventArgs* args) override;

  std::function<void(COREWEBVIEW2_PROCESS_FAILED_KIND)> on_failure;
};

}  // namespace webview::detail
