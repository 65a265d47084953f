#include "webview2/fullscreen_watch.h"

#include <utility>

#include "util/diagnostic_log.h"

namespace webview::detail {

LONG fullscreen_style(LONG saved_style) noexcept {
  constexpr ULONG cleared = WS_OVERLAPPEDWINDOW | WS_POPUP;
  const ULONG style = (static_cast<ULONG>(saved_style) & ~cleared) | WS_POPUP;
  return static_cast<LONG>(style);
}

fs_watch::fs_watch(std::function<void(bool)> set_fullscreen)
    : set_fullscreen(std::move(set_fullscreen)) {}

void fs_watch::invoke(ICoreWebView2* sender, IUnknown*) {
  BOOL contains = FALSE;
  // Unreadable, it counts as "no full-screen element": the window goes back to normal.
  if (sender != nullptr) {
    log_if_failed("get_ContainsFullScreenElement",
                  sender->get_ContainsFullScreenElement(&contains));
  }
  if (set_fullscreen) set_fullscreen(contains == TRUE);
}

}  // namespace webview::detail
