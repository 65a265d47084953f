// The title bar follows the user's light or dark app theme.
#pragma once

#include <windows.h>

namespace webview::detail {

// True when "AppsUseLightTheme" holds at least 4 bytes whose little-endian value is 0; a
// missing, unreadable or shorter value means light.
bool system_prefers_dark_apps();
// Gives the window's title bar the dark or the light app theme, where DWM can. A new window's
// title bar is light already: it needs the call only when `dark`, which spares loading dwmapi.
void sync_title_bar_theme(HWND window, bool dark);

}  // namespace webview::detail
