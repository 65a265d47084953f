#include "win32/window_background.h"

namespace webview::detail {

COLORREF theme_background(bool dark) noexcept {
  return dark ? RGB(0x20, 0x20, 0x20) : RGB(0xFF, 0xFF, 0xFF);
}

COREWEBVIEW2_COLOR browser_background(COLORREF colour) noexcept {
  return COREWEBVIEW2_COLOR{0xFF, GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

void paint_background(HWND window, HDC dc, COLORREF colour) noexcept {
  RECT area{};
  if (!dc || !GetClientRect(window, &area)) return;
  SetDCBrushColor(dc, colour);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace webview::detail
