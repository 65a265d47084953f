#include "webview2/process_failed_watch.h"

#include <utility>

namespace webview::detail {

process_failed_watch::process_failed_watch(
    std::function<void(COREWEBVIEW2_PROCESS_FAILED_KIND)> on_failure)
    : on_failure(std::move(on_failure)) {}

void process_failed_watch::invoke(ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs* args) {
  auto kind = COREWEBVIEW2_PROCESS_FAILED_KIND_UNKNOWN_PROCESS_EXITED;
  if (args == nullptr || FAILED(args->get_ProcessFailedKind(&kind))) {
    kind = COREWEBVIEW2_PROCESS_FAILED_KIND_UNKNOWN_PROCESS_EXITED;
  }
  on_failure(kind);
}

}  // namespace webview::detail
