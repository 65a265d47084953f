// The page's notifications as balloons of the notification-area icon (toasts on Windows 10 and
// 11): one at a time, none while the user is looking at the window, and a click brings the window
// forward. The page hears back that each was shown, clicked or closed.
#include "util/diagnostic_log.h"
#include "webview2/page_policy.h"
#include "webview2/signal_watch.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

using notification_close_watch =
    signal_watch<ICoreWebView2NotificationCloseRequestedEventHandler,
                 IID_ICoreWebView2NotificationCloseRequestedEventHandler,
                 ICoreWebView2Notification>;

}  // namespace

void win32_edge_engine::on_page_notification(page_notification received) {
  if (!has_origin(received.origin, configuration.start_url)) {
    log_event("notification from another origin not shown: " + scheme_and_host(received.origin));
    return;
  }
  ICoreWebView2Notification* const notification = received.notification.get();
  const bool looked_at =
      main_window && !is_hidden && !IsIconic(main_window) && GetForegroundWindow() == main_window;
  if (looked_at) {
    log_if_failed("ReportShown", notification->ReportShown());
    log_if_failed("ReportClosed", notification->ReportClosed());
    return;
  }
  end_notification(true);
  std::wstring title = received.title;
  std::wstring body = received.body;
  // A balloon without text is not shown at all.
  if (body.empty()) body = title.empty() ? configuration.window_title : std::exchange(title, {});
  shown_notification = std::move(received);
  sync_notification_icon();
  if (!tray_icon || !tray_icon->show_balloon(title, body, shown_notification->silent)) {
    log_event("notification not shown: no notification area");
    end_notification(true);
    return;
  }
  notification_close_token.reset();
  EventRegistrationToken token{};
  const auto watch = com_ptr<notification_close_watch>::adopt(
      new notification_close_watch([this](ICoreWebView2Notification* sender) {
        if (shown_notification && shown_notification->notification.get() == sender) {
          if (tray_icon) tray_icon->remove_balloon();
          end_notification(false);
        }
      }));
  if (log_if_failed("add_CloseRequested", notification->add_CloseRequested(watch.get(), &token))) {
    notification_close_token = token;
  }
  log_if_failed("ReportShown", notification->ReportShown());
}

void win32_edge_engine::on_balloon_event(UINT event) {
  if (!shown_notification) return;
  if (event == NIN_BALLOONUSERCLICK) {
    show_from_notification_area();
    // The page's own onclick decides where to go.
    log_if_failed("ReportClicked", shown_notification->notification->ReportClicked());
    end_notification(false);
  } else {
    end_notification(true);
  }
}

void win32_edge_engine::end_notification(bool report_closed) noexcept {
  if (!shown_notification) return;
  ICoreWebView2Notification* const notification = shown_notification->notification.get();
  if (notification_close_token) {
    log_if_failed("remove_CloseRequested",
                  notification->remove_CloseRequested(*notification_close_token));
    notification_close_token.reset();
  }
  if (report_closed) log_if_failed("ReportClosed", notification->ReportClosed());
  shown_notification.reset();
  call_without_throwing([&] { sync_notification_icon(); });
}

}  // namespace webview::detail
