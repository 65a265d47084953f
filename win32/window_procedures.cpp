#include "util/exception_barrier.h"
#include "win32/dpi.h"
#include "win32/title_bar_theme.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

// The engine pointer lives in GWLP_USERDATA from WM_NCCREATE to WM_DESTROY; null outside it.
win32_edge_engine* attach_engine(HWND hwnd, LPARAM lparam) {
  auto* engine = static_cast<win32_edge_engine*>(
      reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(engine));
  return engine;
}

win32_edge_engine* attached_engine(HWND hwnd) {
  return reinterpret_cast<win32_edge_engine*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void detach_engine(HWND hwnd) { SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); }

}  // namespace

LRESULT CALLBACK win32_edge_engine::main_window_proc(HWND hwnd, UINT message, WPARAM wparam,
                                                     LPARAM lparam) {
  return call_without_throwing<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_NCCREATE) {
      attach_engine(hwnd, lparam)->main_window = hwnd;
      enable_caption_dpi_scaling(hwnd);
      sync_title_bar_theme(hwnd);
      return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    auto* engine = attached_engine(hwnd);
    if (!engine) return DefWindowProcW(hwnd, message, wparam, lparam);
    return engine->handle_main_window_message(hwnd, message, wparam, lparam);
  });
}

LRESULT win32_edge_engine::handle_main_window_message(HWND hwnd, UINT message, WPARAM wparam,
                                                      LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      main_window = nullptr;
      detach_engine(hwnd);
      release_window_ref(false);
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
      const SIZE size = frame_size_for_client(
          main_window, scale_by_dpi(rect.right - rect.left, new_dpi, dpi),
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

LRESULT CALLBACK win32_edge_engine::widget_window_proc(HWND hwnd, UINT message, WPARAM wparam,
                                                       LPARAM lparam) {
  return call_without_throwing<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_NCCREATE) {
      attach_engine(hwnd, lparam)->widget_window = hwnd;
      return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    auto* engine = attached_engine(hwnd);
    if (!engine) return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
      case WM_DESTROY:
        engine->widget_window = nullptr;
        detach_engine(hwnd);
        return 0;
      case WM_SIZE:
        engine->fit_controller_to_widget();
        return 0;
      default:
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
  });
}

LRESULT CALLBACK win32_edge_engine::message_window_proc(HWND hwnd, UINT message, WPARAM wparam,
                                                        LPARAM lparam) {
  return call_without_throwing<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_NCCREATE) {
      attach_engine(hwnd, lparam)->message_window = hwnd;
      return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    auto* engine = attached_engine(hwnd);
    if (!engine) return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
      case WM_DESTROY:
        engine->message_window = nullptr;
        detach_engine(hwnd);
        return 0;
      case WM_APP:
        run_dispatched_task(lparam);
        return 0;
      default:
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
  });
}

void win32_edge_engine::fit_widget_to_main_window() {
  if (!widget_window) return;
  RECT rect{};
  if (GetClientRect(GetParent(widget_window), &rect)) {
    MoveWindow(widget_window, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, TRUE);
  }
}

void win32_edge_engine::fit_controller_to_widget() {
  if (!widget_window || !controller) return;
  RECT rect{};
  if (GetClientRect(widget_window, &rect)) controller->put_Bounds(rect);
}

}  // namespace webview::detail
