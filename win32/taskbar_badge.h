// The taskbar button's unread badge: an overlay icon showing the unread count, put back when
// Explorer restarts and redrawn when the window's DPI changes. UI thread only, with COM
// initialised single-threaded on it.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <optional>

#include "util/com_ptr.h"
#include "win32/unread_badge.h"

namespace webview::detail {

// The registered message ("TaskbarButtonCreated") the window receives once its taskbar button
// exists, and again after Explorer restarts; 0 when it cannot be registered.
UINT taskbar_button_created_message() noexcept;

class taskbar_badge {
 public:
  // Touches nothing yet: the taskbar is only reachable once the button exists.
  explicit taskbar_badge(HWND window) noexcept;
  // Releases the taskbar object and the icon; the overlay goes with the window.
  ~taskbar_badge();
  taskbar_badge(const taskbar_badge&) = delete;
  taskbar_badge& operator=(const taskbar_badge&) = delete;

  // For taskbar_button_created_message(): creates the taskbar object on the first call and
  // shows the current badge (a new button, as after an Explorer restart, has none).
  void on_taskbar_button_created();
  // Shows `count` (0: the dot) or, for nullopt, no badge; before the button exists, only
  // remembers it. A badge that cannot be drawn is taken off; failures are logged.
  void show(std::optional<unsigned> count);
  // Redraws the badge at the small-icon size of the window's new DPI.
  void dpi_changed();

 private:
  void apply();

  HWND window_;
  com_ptr<ITaskbarList3> taskbar_;
  std::optional<unsigned> count_;
  // The overlay shown, kept while the taskbar may still read it.
  unique_icon icon_;
};

}  // namespace webview::detail
