// DPI awareness and per-window DPI, through functions looked up at run time in system DLLs so
// that older Windows versions get the documented fallbacks.
#pragma once

#include <windows.h>

#include <cstdint>

namespace webview::detail {

// Per-monitor (V2 where the OS has it) awareness for the process; false when nothing applied.
bool make_process_dpi_aware();
// The window's DPI, or 96 when the system cannot tell.
std::int32_t window_dpi_or_default(HWND window);
// Sign of (running Windows version - major.minor.build); 0 when the version cannot be read.
std::int32_t compare_os_version(std::uint32_t major, std::uint32_t minor, std::uint32_t build);
// Non-client DPI scaling for windows of per-monitor (V1) awareness, which lack it.
void enable_caption_dpi_scaling(HWND window);
// The outer window size for a client size at `dpi`, with the window's current style.
SIZE frame_size_for_client(HWND window, std::int32_t width, std::int32_t height, std::int32_t dpi);
// WM_GETDPISCALEDSIZE's answer: `pending`, the whole size Windows is about to give the window at
// `old_dpi` (not necessarily its current size), with the frame taken off at `old_dpi`, the client
// area scaled to `new_dpi` and the frame put back at `new_dpi`.
SIZE dpi_scaled_window_size(HWND window, SIZE pending, std::int32_t old_dpi, std::int32_t new_dpi);
// The same arithmetic, given the frame (the window's size for a 0 x 0 client) at each DPI. A
// pending size smaller than the frame has an empty client area.
SIZE rescale_window_size(SIZE pending, SIZE old_frame, SIZE new_frame, std::int32_t old_dpi,
                         std::int32_t new_dpi);
// WM_DPICHANGED's suggestion taken: it keeps the window under the cursor and stops it flipping
// between monitors, and was computed from the size WM_GETDPISCALEDSIZE gave. Null: nothing.
void take_suggested_rectangle(HWND window, const RECT* suggested);
// The small icon's size at the window's DPI, as the caption draws it; at the system DPI's size on
// Windows before 10 1607, which has no per-DPI metrics.
SIZE small_icon_size(HWND window);
// value * new_dpi / old_dpi, truncating toward zero; unscaled when old_dpi is 0.
std::int32_t scale_by_dpi(std::int32_t value, std::int32_t new_dpi, std::int32_t old_dpi);

}  // namespace webview::detail
