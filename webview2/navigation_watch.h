// Passes the start and the outcome of every top-level navigation on. Owned by the web view it is
// registered with.
#pragma once

#include <functional>
#include <string>

#include "webview2/com_callback.h"

namespace webview::detail {

struct navigation_outcome {
  bool succeeded = false;
  COREWEBVIEW2_WEB_ERROR_STATUS error = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
  int http_status = 0;       // 0 when no HTTP answer came or the runtime cannot tell
  UINT64 navigation_id = 0;  // 0 when unreadable
  std::wstring uri;  // the web view's source when the navigation completed; empty if unreadable
};

// Calls `on_completed` for each NavigationCompleted. Unreadable arguments count as a failure
// with status UNKNOWN.
class navigation_watch final
    : public com_callback<ICoreWebView2NavigationCompletedEventHandler,
                          IID_ICoreWebView2NavigationCompletedEventHandler> {
 public:
  explicit navigation_watch(std::function<void(const navigation_outcome&)> on_completed);

 private:
  void invoke(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args) override;

  std::function<void(const navigation_outcome&)> on_completed;
};

// Passes on the id of each top-level navigation as it starts (0 when unreadable).
class navigation_start_watch final
    : public com_callback<ICoreWebView2NavigationStartingEventHandler,
                          IID_ICoreWebView2NavigationStartingEventHandler> {
 public:
  explicit navigation_start_watch(std::function<void(UINT64)> on_starting);

 private:
  void invoke(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) override;

  std::function<void(UINT64)> on_starting;
};

}  // namespace webview::detail
