#include "util/exception_barrier.h"
#include "win32/dpi.h"
#include "win32/title_bar_theme.h"
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
      sync_title_bar_theme(hwnd);
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case WM_DESTROY:
      forget_main_window(true);
      return 0;
    case WM_SIZE:
      fit_widget_to_main_window();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && controller) {
        controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SETTINGCHANGE:
      if (lparam && lstrcmpW(reinterpret_cast<LPCWSTR>(lparam), L"ImmersiveColorSet") == 0) {
        sync_title_bar_theme(main_window);
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
    case WM_DPICHANGED: {
      const std::int32_t new_dpi = HIWORD(wparam);
      // The suggested rectangle in lparam is not used: the window keeps its top-left corner and
      // its client area keeps its size in 96-DPI units.
      RECT rect{};
      GetClientRect(main_window, &rect);
      const SIZE size =
          frame_size_for_client(main_window, scale_by_dpi(rect.right - rect.left, new_dpi, dpi),
                                scale_by_dpi(rect.bottom - rect.top, new_dpi, dpi), new_dpi);
      SetWindowPos(main_window, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      dpi = new_dpi;
      return 0;
    }
    case WM_GETDPISCALEDSIZE: {
      const auto new_dpi = static_cast<std::int32_t>(wparam);
      RECT rect{};
      GetClientRect(main_window, &rect);
      auto* size = reinterpret_cast<SIZE*>(lparam);
      size->cx = scale_by_dpi(rect.right - rect.left, new_dpi, dpi);
      size->cy = scale_by_dpi(rect.bottom - rect.top, new_dpi, dpi);
      return TRUE;
    }
    default:
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
    case WM_SIZE:
      fit_controller_to_widget();
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
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
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

void win32_edge_engine::fit_controller_to_widget() {
  if (!widget_window || !controller) return;
  RECT rect{};
  if (GetClientRect(widget_window, &rect)) controller->put_Bounds(rect);
}

}  // namespace webview::detail
