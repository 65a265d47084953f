#include "util/text_encoding.h"
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

}  // namespace

result<HWND> win32_edge_engine::window_impl() { return present_or_invalid_state(main_window); }

result<HWND> win32_edge_engine::widget_impl() { return present_or_invalid_state(widget_window); }

result<ICoreWebView2Controller*> win32_edge_engine::browser_controller_impl() {
  return present_or_invalid_state(controller.get());
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

}  // namespace webview::detail
