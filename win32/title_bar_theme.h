// The title bar follows the user's light or dark app theme.
#pragma once

#include <windows.h>

namespace webview::detail {

// True when "AppsUseLightTheme" holds at least 4 bytes whose little-endian value is 0; a
// missing, unreadable or shorter value means light.
bool system_prefers_dark_apps();
// Applies the current app theme (dark or light) to the window's title bar, where DWM can.
void sync_title_bar_theme(HWND window);

}  // namespace webview::detail
