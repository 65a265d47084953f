// Takes a page's notifications (new Notification(...)) over from the runtime's own display
// (ICoreWebView2_24's NotificationReceived): each is marked handled, whoever sent it, and passed
// on with what it says. Owned by the web view it is registered with.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "util/com_ptr.h"
#include "webview2/com_callback.h"

namespace webview::detail {

struct page_notification {
  // The sending page's origin, as the runtime reports it.
  std::wstring origin;
  // Reports back to the page that it was shown, clicked or closed.
  com_ptr<ICoreWebView2Notification> notification;
  std::wstring title;
  std::wstring body;
  bool silent = false;
};

class notification_watch final
    : public com_callback<ICoreWebView2NotificationReceivedEventHandler,
                          IID_ICoreWebView2NotificationReceivedEventHandler> {
 public:
  explicit notification_watch(std::function<void(page_notification)> on_notification)
      : on_notification(std::move(on_notification)) {}

 private:
  void invoke(ICoreWebView2* sender, ICoreWebView2NotificationReceivedEventArgs* args) override;

  std::function<void(page_notification)> on_notification;
};

}  // namespace webview::detail
