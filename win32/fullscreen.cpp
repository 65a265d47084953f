#include "webview2/fullscreen_watch.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {

void win32_edge_engine::set_fullscreen(bool on) {
  if (!main_window || on == is_fullscreen) return;
  if (on) {
    saved_style = GetWindowLongW(main_window, GWL_STYLE);
    saved_ex_style = GetWindowLongW(main_window, GWL_EXSTYLE);
    saved_placement.length = sizeof(saved_placement);
    if (!GetWindowPlacement(main_window, &saved_placement)) return;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(main_window, MONITOR_DEFAULTTONEAREST), &info)) return;
    SetWindowLongW(main_window, GWL_STYLE, fullscreen_style(saved_style));
    // The whole monitor, not its work area: the taskbar is covered too, for as long as the window
    // is active. Not topmost: that would keep it above the app the user switches to.
    SetWindowPos(main_window, HWND_TOP, info.rcMonitor.left, info.rcMonitor.top,
                 info.rcMonitor.right - info.rcMonitor.left,
                 info.rcMonitor.bottom - info.rcMonitor.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    is_fullscreen = true;
  } else {
    SetWindowLongW(main_window, GWL_STYLE, saved_style);
    SetWindowLongW(main_window, GWL_EXSTYLE, saved_ex_style);
    // The placement brings back a maximized window maximized and a restored one at its rectangle.
    SetWindowPlacement(main_window, &saved_placement);
    SetWindowPos(main_window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    is_fullscreen = false;
  }
  fit_widget_to_main_window();
  if (main_browser) main_browser->fit_to_parent();
}

}  // namespace webview::detail
