// What the main window answers for the notification area and its two system-menu choices.
#pragma once

#include <windows.h>

namespace webview::detail {

// System-menu commands lie below 0xF000 with the low four bits clear.
constexpr UINT keep_running_command = 0x0010;
constexpr UINT start_with_windows_command = 0x0020;
// The notification-area icon's menu, as WM_COMMAND ids.
constexpr UINT open_command = 1;
constexpr UINT quit_command = 2;
// The notification-area icon's events.
constexpr UINT notification_icon_message = WM_APP + 1;
// On the message window: time to look whether a newer runtime can be taken.
constexpr UINT_PTR runtime_update_timer = 1;

}  // namespace webview::detail
