#include "webview2/navigation_watch.h"

#include <utility>

#include "util/com_ptr.h"
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
  com_ptr<ICoreWebView2NavigationCompletedEventArgs2> args2;
  if (args != nullptr &&
      SUCCEEDED(args->QueryInterface(IID_ICoreWebView2NavigationCompletedEventArgs2,
                                     reinterpret_cast<void**>(args2.put()))) &&
      args2 && FAILED(args2->get_HttpStatusCode(&outcome.http_status))) {
    outcome.http_status = 0;
  }
  task_memory_string source;
  if (sender != nullptr && SUCCEEDED(sender->get_Source(source.put())) && source.get()) {
    outcome.uri = source.get();
  }
  on_completed(outcome);
}

}  // namespace webview::detail
