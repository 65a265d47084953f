#include "webview2/notification_watch.h"

#include "util/diagnostic_log.h"
#include "util/task_memory_string.h"

namespace webview::detail {
namespace {

std::wstring read_text(const char* call, HRESULT (ICoreWebView2Notification::*getter)(LPWSTR*),
                       ICoreWebView2Notification* notification) {
  task_memory_string text;
  if (!log_if_failed(call, (notification->*getter)(text.put())) || !text.get()) return {};
  return text.get();
}

}  // namespace

void notification_watch::invoke(ICoreWebView2*, ICoreWebView2NotificationReceivedEventArgs* args) {
  if (!args) return;
  // Handled before anything else: the reports below fail until it is set, and a notification
  // from another origin must not reach the runtime's display either.
  if (!log_if_failed("put_Handled", args->put_Handled(TRUE))) return;
  page_notification received;
  task_memory_string origin;
  if (log_if_failed("get_SenderOrigin", args->get_SenderOrigin(origin.put())) && origin.get()) {
    received.origin = origin.get();
  }
  if (!log_if_failed("get_Notification", args->get_Notification(received.notification.put())) ||
      !received.notification) {
    return;
  }
  ICoreWebView2Notification* const notification = received.notification.get();
  received.title = read_text("get_Title", &ICoreWebView2Notification::get_Title, notification);
  received.body = read_text("get_Body", &ICoreWebView2Notification::get_Body, notification);
  BOOL silent = FALSE;
  received.silent =
      log_if_failed("get_IsSilent", notification->get_IsSilent(&silent)) && silent != FALSE;
  on_notification(std::move(received));
}

}  // namespace webview::detail
