#include "webview2/navigation_watch.h"

#include <utility>

#include "util/task_memory_string.h"

namespace webview::detail {

navigation_watch::navigation_watch(std::function<void(const navigation_outcome&)> on_completed)
    : on_completed(std::move(on_completed)) {}

void navigation_watch::invoke(ICoreWebView2* sender,
                              ICoreWebView2NavigationCompletedEventArgs* args) {
  navigation_outcome outcome;
  BOOL succeeded = FALSE;
  if (args != nullptr && SUCCEEDED(args->get_IsSuccess(&succeeded))) {
    outcome.succeeded = succeeded != FALSE;
    if (!outcome.succeeded && FAILED(args->get_WebErrorStatus(&outcome.error))) {
      outcome.error = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
    }
  }
  task_memory_string source;
  if (sender != nullptr && SUCCEEDED(sender->get_Source(source.put())) && source.get()) {
    outcome.uri = source.get();
  }
  on_completed(outcome);
}

}  // namespace webview::detail
