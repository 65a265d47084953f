#include <algorithm>
#include <optional>

#include "util/diagnostic_log.h"
#include "util/text_encoding.h"
#include "webview2/small_file.h"
#include "win32/window_placement.h"
#include "win32/dpi.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

constexpr LONG resizable_bits = WS_THICKFRAME | WS_MAXIMIZEBOX;

template <typename T>
result<T> present_or_invalid_state(T value) {
  if (!value) return error_detail{error_invalid_state, ""};
  return value;
}

// rcNormalPosition is in workspace coordinates, whose origin is the primary monitor's work area;
// they differ from screen coordinates when the taskbar is at the top or left.
RECT workspace_to_screen(RECT rect) {
  MONITORINFO primary{};
  primary.cbSize = sizeof(primary);
  if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary)) {
    OffsetRect(&rect, primary.rcWork.left - primary.rcMonitor.left,
               primary.rcWork.top - primary.rcMonitor.top);
  }
  return rect;
}

}  // namespace

result<HWND> win32_edge_engine::window_impl() { return present_or_invalid_state(main_window); }

result<HWND> win32_edge_engine::widget_impl() { return present_or_invalid_state(widget_window); }

result<ICoreWebView2Controller*> win32_edge_engine::browser_controller_impl() {
  return present_or_invalid_state(main_browser ? main_browser->controller() : nullptr);
}

noresult win32_edge_engine::set_title_impl(const std::string& title) {
  SetWindowTextW(main_window, utf8_to_utf16(title).c_str());
  return {};
}

noresult win32_edge_engine::set_size_impl(std::int32_t width, std::int32_t height, size_hint hint) {
  LONG style = GetWindowLongW(main_window, GWL_STYLE);
  style &= ~resizable_bits;
  if (hint != size_hint::fixed) style |= resizable_bits;
  SetWindowLongW(main_window, GWL_STYLE, style);

  if (hint == size_hint::minimum) {
    min_size = window_size{width, height};
  } else if (hint == size_hint::maximum) {
    max_size = window_size{width, height};
  } else {
    dpi = window_dpi_or_default(main_window);
    const SIZE size = frame_size_for_client(main_window, scale_by_dpi(width, dpi, 96),
                                            scale_by_dpi(height, dpi, 96), dpi);
    SetWindowPos(main_window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  return {};
}

void win32_edge_engine::place_main_window(bool visible) {
  const std::optional<std::string> text = read_small_file(window_file_path, 128);
  const std::optional<window_placement_record> saved =
      text ? parse_window_placement(*text) : std::nullopt;
  const RECT on_screen = saved ? workspace_to_screen(saved->normal) : RECT{};
  const bool on_a_monitor = saved && MonitorFromRect(&on_screen, MONITOR_DEFAULTTONULL);
  if (on_a_monitor) {
    log_event("placement restored from window.txt");
    // One call places and shows it, so a maximized window keeps its normal rectangle.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    placement.showCmd = !visible ? SW_HIDE : saved->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (!visible && saved->maximized) show_command = SW_SHOWMAXIMIZED;
    placement.rcNormalPosition = saved->normal;
    SetWindowPlacement(main_window, &placement);
    dpi = window_dpi_or_default(main_window);
    return;
  }
  log_event(!text    ? "placement: first start"
            : !saved ? "placement reset: window.txt holds no placement"
                     : "placement reset: the saved place is on no monitor");
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(main_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  SIZE size = frame_size_for_client(
      main_window, scale_by_dpi(configuration.first_start_client_size.width, dpi, 96),
      scale_by_dpi(configuration.first_start_client_size.height, dpi, 96), dpi);
  // A small screen (1366x768, or 1920x1080 at 125 %) gets the whole work area instead.
  size.cx = std::min<LONG>(size.cx, work.right - work.left);
  size.cy = std::min<LONG>(size.cy, work.bottom - work.top);
  SetWindowPos(main_window, nullptr, work.left + (work.right - work.left - size.cx) / 2,
               work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : 0));
}

// Saved as the user left it: a minimized window as it would be restored, a full-screen one as it
// was before full-screen.
void win32_edge_engine::save_window_placement() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (is_fullscreen) {
    placement = saved_placement;
  } else if (!main_window || !GetWindowPlacement(main_window, &placement)) {
    return;
  }
  window_placement_record record;
  record.normal = placement.rcNormalPosition;
  record.maximized =
      placement.showCmd == SW_SHOWMAXIMIZED ||
      (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
  if (!replace_small_file(window_file_path, format_window_placement(record))) {
    log_event("window.txt could not be saved");
  }
}

}  // namespace webview::detail
