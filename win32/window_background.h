// The colour behind the page: the app theme's window background, painted by the engine's windows
// and shown by the browser before and between pages, so that a dark window never flashes white.
#pragma once

#include <windows.h>

#include "webview2/webview2_abi.h"

namespace webview::detail {

// #202020 for the dark app theme, #FFFFFF for the light one.
COLORREF theme_background(bool dark) noexcept;
// The same colour, opaque, as the browser takes it.
COREWEBVIEW2_COLOR browser_background(COLORREF colour) noexcept;
// Fills the window's client area in `dc` with `colour`.
void paint_background(HWND window, HDC dc, COLORREF colour) noexcept;

}  // namespace webview::detail
