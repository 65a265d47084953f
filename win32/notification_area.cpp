// Keeping the application running in the notification area when its window is closed, and
// starting it with Windows: two choices in the window's system menu.
#include <windowsx.h>

#include "util/diagnostic_log.h"
#include "webview2/small_file.h"
#include "webview2/user_data_folder.h"
#include "win32/notification_area.h"
#include "win32/sign_in_start.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

constexpr std::size_t longest_settings_file = 64 * 1024;

constexpr wchar_t keep_running_text[] = L"Keep running in the notification area";
constexpr wchar_t sign_in_text[] = L"Start with Windows";

}  // namespace

void win32_edge_engine::start_notification_area() {
  if (!main_window) return;
  taskbar_created_message = RegisterWindowMessageW(L"TaskbarCreated");
  load_settings();
  const HMENU menu = GetSystemMenu(main_window, FALSE);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, keep_running_command, keep_running_text);
  AppendMenuW(menu, MF_STRING, start_with_windows_command, sign_in_text);
  sync_notification_icon();
}

// Once, when first needed: a choice the user makes while the browser starts comes first.
void win32_edge_engine::load_settings() {
  if (settings_loaded) return;
  settings_loaded = true;
  const std::optional<std::string> text =
      read_small_file(settings_file_path, longest_settings_file + 1);
  if (text && text->size() > longest_settings_file) {
    log_event("settings.txt is too large: defaults used, the file left as it is");
    settings_writable = false;
  } else if (text) {
    settings = settings_text(*text);
  }
  keep_running = is_on(settings.value("keep_running"));
}

void win32_edge_engine::check_system_menu_items(HMENU menu) {
  load_settings();
  CheckMenuItem(menu, keep_running_command, MF_BYCOMMAND | (keep_running ? MF_CHECKED : 0));
  // Read each time: the user may remove the value elsewhere (Task Manager, another tool).
  CheckMenuItem(
      menu, start_with_windows_command,
      MF_BYCOMMAND | (starts_at_sign_in(configuration.sign_in_value_name) ? MF_CHECKED : 0));
}

void win32_edge_engine::on_system_command(UINT command) {
  load_settings();
  if (command == keep_running_command) {
    set_keep_running(!keep_running);
  } else {
    const bool on = !starts_at_sign_in(configuration.sign_in_value_name);
    if (set_start_at_sign_in(configuration.sign_in_value_name, L"--background", on)) {
      log_event(on ? "starts with Windows" : "no longer starts with Windows");
    }
  }
}

void win32_edge_engine::set_keep_running(bool on) {
  keep_running = on;
  settings.set("keep_running", on ? "1" : "0");
  if (!settings_writable || !replace_small_file(settings_file_path, settings.text())) {
    log_event("settings.txt could not be saved");
  }
  log_event(on ? "keeps running in the notification area" : "closes with its window");
  sync_notification_icon();
}

// The icon is there while the choice is on, while the window is hidden whatever the choice (a
// start at sign-in: otherwise nothing would lead back to the window), and while it shows a
// notification.
void win32_edge_engine::sync_notification_icon() {
  const bool wanted = main_window && (keep_running || is_hidden || shown_notification);
  if (!wanted) {
    tray_icon.reset();
    return;
  }
  if (tray_icon) return;
  const auto icon = static_cast<HICON>(LoadImageW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(configuration.icon_resource), IMAGE_ICON,
      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
  tray_icon = std::make_unique<notification_icon>(main_window, notification_icon_message, icon,
                                                  configuration.window_title);
}

void win32_edge_engine::on_notification_icon_event(WPARAM wparam, LPARAM lparam) {
  switch (LOWORD(lparam)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
      show_from_notification_area();
      return;
    case NIN_BALLOONUSERCLICK:
    case NIN_BALLOONTIMEOUT:
    case NIN_BALLOONHIDE:
      on_balloon_event(LOWORD(lparam));
      return;
    case WM_CONTEXTMENU:
      if (tray_icon) {
        tray_icon->show_menu(POINT{GET_X_LPARAM(wparam), GET_Y_LPARAM(wparam)},
                             L"Open " + configuration.window_title, open_command,
                             L"Quit " + configuration.window_title, quit_command);
      }
      return;
    default:
      return;
  }
}

void win32_edge_engine::on_close_requested() {
  load_settings();
  if (keep_running && !is_hidden) {
    hide_in_notification_area();
  } else if (!keep_running) {
    close_for_real();
  }
}

void win32_edge_engine::close_for_real() {
  if (!is_hidden) save_window_placement();
  close_popups();
  DestroyWindow(main_window);
}

// Placement saved as on close, popups closed; the page keeps running, throttled, to receive its
// messages and notifications.
void win32_edge_engine::hide_in_notification_area() {
  if (is_fullscreen) set_fullscreen(false);
  save_window_placement();
  close_popups();
  if (main_browser) main_browser->set_visible(false);
  ShowWindow(main_window, SW_HIDE);
  is_hidden = true;
  log_event("hidden in the notification area");
  sync_notification_icon();
  attention_changed();
}

void win32_edge_engine::show_from_notification_area() {
  if (!main_window) return;
  if (is_hidden) {
    is_hidden = false;
    ShowWindow(main_window, show_command);
    show_command = SW_SHOW;
    log_event("shown from the notification area");
  }
  if (IsIconic(main_window)) ShowWindow(main_window, SW_RESTORE);
  if (main_browser && !is_minimized) main_browser->set_visible(true);
  SetForegroundWindow(main_window);
  sync_notification_icon();
  attention_changed();
}

bool win32_edge_engine::handle_registered_message(UINT message) {
  if (message == 0) return false;
  if (message == show_request) {
    show_from_notification_area();
  } else if (message == taskbar_created_message) {
    if (tray_icon) tray_icon->add_again();
  } else if (message == taskbar_button_created) {
    if (badge) badge->on_taskbar_button_created();
  } else {
    return false;
  }
  return true;
}

}  // namespace webview::detail
