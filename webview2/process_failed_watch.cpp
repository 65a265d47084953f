#include "webview2/process_failed_watch.h"

#include <utility>

#include "util/com_ptr.h"

namespace webview::detail {

process_failed_watch::process_failed_watch(std::function<void(const process_failure&)> on_failure)
    : on_failure(std::move(on_failure)) {}

void process_failed_watch::invoke(ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs* args) {
  process_failure failure;
  if (args == nullptr || FAILED(args->get_ProcessFailedKind(&failure.kind))) {
    failure.kind = COREWEBVIEW2_PROCESS_FAILED_KIND_UNKNOWN_PROCESS_EXITED;
  }
  com_ptr<ICoreWebView2ProcessFailedEventArgs2> details;
  if (args != nullptr &&
      SUCCEEDED(args->QueryInterface(IID_ICoreWebView2ProcessFailedEventArgs2,
                                     reinterpret_cast<void**>(details.put()))) &&
      details) {
    failure.detailed = SUCCEEDED(details->get_Reason(&failure.reason)) &&
                       SUCCEEDED(details->get_ExitCode(&failure.exit_code));
  }
  on_failure(failure);
}

}  // namespace webview::detail
