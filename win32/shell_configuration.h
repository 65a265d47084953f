// What the application is, as the engine needs to know it: the application builds one value and
// hands it to the engine's constructor. Nothing here is Quendari's own; the engine calls back
// through it for the application's content.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace webview::detail {

struct window_size {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Why the built-in page replaces the application.
enum class unreachable_cause { navigation_failed, page_stopped };

struct unreachable_page_request {
  unreachable_cause cause = unreachable_cause::navigation_failed;
  // For navigation_failed: the WebView2 WebErrorStatus and how many attempts in a row failed
  // (1 = the first).
  int web_error_status = 0;
  int consecutive_failures = 0;
  // Where Retry goes, UTF-8; it came from the failed page and is data, never markup.
  std::string retry_url;
};

struct shell_configuration {
  // The application's first page; its origin (scheme, host, port) is the application's own:
  // only it is granted permissions, and only pages on it are resumed after a failure.
  std::wstring start_url;
  std::wstring window_title;
  // The main window's class, by which the application's other processes find the window.
  std::wstring window_class;
  // The process's AppUserModelID, which groups its windows on the taskbar.
  std::wstring taskbar_identity;
  // The main window's client size at its first start, in 96-DPI units.
  window_size first_start_client_size;
  // The sign-in pages (exact https host names) a page's sized window.open shows in a popup of the
  // application's own, so that the sign-in can report back to its opener.
  std::vector<std::wstring> signin_hosts;
  // The executable's icon resource, for the windows and the notification area.
  int icon_resource = 0;
  // Started by Windows at sign-in: the window stays hidden until asked for, the notification-area
  // icon is shown, the browser runs.
  bool starts_in_background = false;
  // The value under the user's Run key that starts the application with Windows.
  std::wstring sign_in_value_name;
  // The bridge name under which the application's script passes on the page's Badging API calls
  // (navigator.setAppBadge); empty: none.
  std::string app_badge_function;
  // How long the window must stay hidden or minimized before a newer runtime is taken.
  std::chrono::seconds update_idle_time{600};
  // The built-in page, UTF-8 HTML, shown in place of the application when it cannot be reached
  // or its page keeps failing.
  std::function<std::string(const unreachable_page_request&)> compose_unreachable_page;
};

}  // namespace webview::detail
