#include "webview2/fullscreen_watch.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {

void win32_edge_engine::set_fullscreen(bool on) {
  if (!main_window || on == is_fullscreen) return;
  if (on) {
    saved_style = GetWindowLongW(main_window, GWL_STYLE);
    saved_ex_style = GetWindowLongW(main_window, GWL_EXSTYLE);
    GetWindowRect(main_window, &saved_rect);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(main_window, MONITOR_DEFAULTTONEAREST), &info)) return;
    SetWindowLongW(main_window, GWL_STYLE, fullscreen_style(saved_style));
    // The whole monitor, not its work area: the taskbar is covered too.
    SetWindowPos(main_window, HWND_TOPMOST, info.rcMonitor.left, info.rcMonitor.top,
                 info.rcMonitor.right - info.rcMonitor.left,
                 info.rcMonitor.bottom - info.rcMonitor.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    is_fullscreen = true;
  } else {
    SetWindowLongW(main_window, GWL_STYLE, saved_style);
    SetWindowLongW(main_window, GWL_EXSTYLE, saved_ex_style);
    SetWindowPos(main_window, HWND_NOTOPMOST, saved_rect.left, saved_rect.top,
                 saved_rect.right - saved_rect.left, saved_rect.bottom - saved_rect.top,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    is_fullscreen = false;
  }
  fit_widget_to_main_window();
  fit_controller_to_widget();
}

}  // namespace webview::detail
