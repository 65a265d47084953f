// A newer WebView2 runtime is taken only by a new browser, which replaces the page the user has in
// front of them: it waits until the window has been hidden or minimized for a while with no popup
// open, so that nobody loses anything by it.
#include <algorithm>

#include "util/diagnostic_log.h"
#include "win32/notification_area.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

// A popup open at that moment may be a sign-in in progress: look again a minute later.
constexpr std::uint64_t popup_retry_ms = 60 * 1000;

std::uint64_t milliseconds(std::chrono::seconds time) {
  return static_cast<std::uint64_t>(time.count()) * 1000;
}

}  // namespace

void win32_edge_engine::on_newer_runtime() {
  if (runtime_update_pending) return;
  runtime_update_pending = true;
  log_event("a newer runtime is installed: taken when the window is left alone");
  schedule_runtime_update();
}

void win32_edge_engine::attention_changed() {
  if (!is_hidden && !is_minimized) {
    unattended_since = 0;
  } else if (unattended_since == 0) {
    unattended_since = GetTickCount64();
  }
  schedule_runtime_update();
}

void win32_edge_engine::schedule_runtime_update() {
  if (!message_window) return;
  if (!runtime_update_pending || unattended_since == 0) {
    KillTimer(message_window, runtime_update_timer);
    return;
  }
  const std::uint64_t idle_ms = milliseconds(configuration.update_idle_time);
  const std::uint64_t elapsed = GetTickCount64() - unattended_since;
  const std::uint64_t wait = elapsed >= idle_ms ? 0 : idle_ms - elapsed;
  if (!SetTimer(message_window, runtime_update_timer,
                static_cast<UINT>(std::min<std::uint64_t>(wait, USER_TIMER_MAXIMUM)), nullptr)) {
    log_if_failed("SetTimer", HRESULT_FROM_WIN32(GetLastError()));
  }
}

void win32_edge_engine::on_runtime_update_timer() {
  KillTimer(message_window, runtime_update_timer);
  if (!runtime_update_pending || unattended_since == 0 || !main_browser) return;
  if (GetTickCount64() - unattended_since < milliseconds(configuration.update_idle_time)) {
    schedule_runtime_update();
    return;
  }
  if (has_open_popup()) {
    SetTimer(message_window, runtime_update_timer, popup_retry_ms, nullptr);
    return;
  }
  runtime_update_pending = false;
  main_browser->restart_on_newer_runtime();
  // The user may have come back while the old browser was let go.
  if (main_browser) main_browser->set_visible(!is_hidden && !is_minimized);
}

}  // namespace webview::detail
