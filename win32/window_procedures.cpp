#include "util/exception_barrier.h"
#include "win32/dpi.h"
#include "win32/notification_area.h"
#include "win32/title_bar_theme.h"
#include "win32/window_background.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {

// The handle members are set here, inside CreateWindowExW and before it returns: the
// constructor reads them right after each creation to tell whether it succeeded.
LRESULT win32_edge_engine::handle_main_window_message(HWND hwnd, UINT message, WPARAM wparam,
                                                      LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:
      main_window = hwnd;
      enable_caption_dpi_scaling(hwnd);
      {
        // Read once for the title bar and the background.
        const bool dark = system_prefers_dark_apps();
        if (dark) sync_title_bar_theme(hwnd, true);
        background = theme_background(dark);
      }
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case WM_ERASEBKGND:
      paint_background(hwnd, reinterpret_cast<HDC>(wparam), background);
      return 1;
    case WM_DESTROY:
      // The icon names this window: it goes with it.
      end_notification(false);
      tray_icon.reset();
      forget_main_window(true);
      return 0;
    case WM_SIZE:
      if (wparam == SIZE_MINIMIZED) {
        // Hidden, the browser throttles the page; its bounds stay for the restore.
        if (!is_minimized && main_browser) main_browser->set_visible(false);
        is_minimized = true;
        attention_changed();
        return 0;
      }
      if (is_minimized) {
        is_minimized = false;
        if (main_browser && !is_hidden) main_browser->set_visible(true);
        attention_changed();
      }
      fit_widget_to_main_window();
      return 0;
    case WM_MOVING:
    case WM_MOVE:
      // Pop-ups of the page (select lists, autofill, the find bar) open where the window now is,
      // also while it is being dragged.
      if (main_browser) main_browser->parent_moved();
      return message == WM_MOVING ? TRUE : 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && main_browser) main_browser->move_focus();
      return 0;
    case WM_ENDSESSION:
      // Signing out or shutting down sends no WM_CLOSE, and the process may end right after.
      if (wparam && !is_hidden) save_window_placement();
      return 0;
    case WM_CLOSE:
      on_close_requested();
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == keep_running_command ||
          (wparam & 0xFFF0) == start_with_windows_command) {
        on_system_command(static_cast<UINT>(wparam & 0xFFF0));
        return 0;
      }
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case WM_INITMENUPOPUP:
      if (HIWORD(lparam)) check_system_menu_items(reinterpret_cast<HMENU>(wparam));
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case notification_icon_message:
      on_notification_icon_event(wparam, lparam);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == open_command) show_from_notification_area();
      if (LOWORD(wparam) == quit_command) close_for_real();
      return 0;
    case WM_SETTINGCHANGE:
      if (lparam && lstrcmpW(reinterpret_cast<LPCWSTR>(lparam), L"ImmersiveColorSet") == 0) {
        follow_theme();
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      if (max_size.width > 0 && max_size.height > 0) {
        info->ptMaxSize = POINT{max_size.width, max_size.height};
        info->ptMaxTrackSize = info->ptMaxSize;
      }
      if (min_size.width > 0 && min_size.height > 0) {
        info->ptMinTrackSize = POINT{min_size.width, min_size.height};
      }
      return 0;
    }
    case WM_DPICHANGED:
      dpi = HIWORD(wparam);
      take_suggested_rectangle(main_window, reinterpret_cast<const RECT*>(lparam));
      if (badge) badge->dpi_changed();
      return 0;
    case WM_GETDPISCALEDSIZE: {
      *reinterpret_cast<SIZE*>(lparam) =
          dpi_scaled_window_size(main_window, *reinterpret_cast<const SIZE*>(lparam), dpi,
                                 static_cast<std::int32_t>(wparam));
      return TRUE;
    }
    default:
      if (handle_registered_message(message)) return 0;
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT win32_edge_engine::handle_widget_window_message(HWND hwnd, UINT message, WPARAM wparam,
                                                        LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:
      widget_window = hwnd;
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case WM_DESTROY:
      widget_window = nullptr;
      return 0;
    case WM_ERASEBKGND:
      paint_background(hwnd, reinterpret_cast<HDC>(wparam), background);
      return 1;
    case WM_SIZE:
      if (main_browser) main_browser->fit_to_parent();
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT win32_edge_engine::handle_message_window_message(HWND hwnd, UINT message, WPARAM wparam,
                                                         LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:
      message_window = hwnd;
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case WM_DESTROY:
      message_window = nullptr;
      return 0;
    case WM_APP:
      run_dispatched_task(lparam);
      return 0;
    case WM_TIMER:
      if (wparam == runtime_update_timer) on_runtime_update_timer();
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

// The app theme changed: title bar, window background and the browser's own background follow.
void win32_edge_engine::follow_theme() {
  const bool dark = system_prefers_dark_apps();
  background = theme_background(dark);
  if (main_window) {
    sync_title_bar_theme(main_window, dark);
    InvalidateRect(main_window, nullptr, TRUE);
  }
  if (widget_window) InvalidateRect(widget_window, nullptr, TRUE);
  if (main_browser) main_browser->set_background(background);
}

// Whoever destroyed the main window, it is counted out of the live windows here and only here.
// Only the user's close (its WM_DESTROY) may end the run loop.
void win32_edge_engine::forget_main_window(bool may_end_run_loop) noexcept {
  main_window = nullptr;
  call_without_throwing([&] { release_window_ref(!may_end_run_loop); });
}

void win32_edge_engine::fit_widget_to_main_window() {
  if (!widget_window) return;
  RECT rect{};
  if (GetClientRect(GetParent(widget_window), &rect)) {
    MoveWindow(widget_window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               TRUE);
  }
}

}  // namespace webview::detail
