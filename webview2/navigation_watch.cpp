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
  if (args != nullptr && FAILED(args->get_NavigationId(&outcome.navigation_id))) {
    outcome.navigation_id = 0;
  }
  task_memory_string source;
  if (sender != nullptr && SUCCEEDED(sender->get_Source(source.put())) && source.get()) {
    outcome.uri = source.get();
  }
  on_completed(outcome);
}

navigation_start_watch::navigation_start_watch(std::function<void(UINT64)> on_starting)
    : on_starting(std::move(on_starting)) {}

void navigation_start_watch::invoke(ICoreWebView2*,
                                    ICoreWebView2NavigationStartingEventArgs* args) {
  UINT64 id = 0;
  if (args != nullptr && FAILED(args->get_NavigationId(&id))) id = 0;
  on_starting(id);
}

}  // namespace webview::detail
