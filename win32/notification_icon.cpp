#include "win32/notification_icon.h"

#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "engine/text_fit.h"
#include "util/diagnostic_log.h"

namespace webview::detail {
namespace {

constexpr UINT icon_id = 1;

}  // namespace

notification_icon::notification_icon(HWND window, UINT callback_message, HICON icon,
                                     std::wstring tooltip)
    : window(window), callback_message(callback_message), icon(icon), tooltip(std::move(tooltip)) {
  added = add();
}

notification_icon::~notification_icon() {
  if (!added) return;
  NOTIFYICONDATAW removed = data();
  Shell_NotifyIconW(NIM_DELETE, &removed);
}

void notification_icon::add_again() {
  // A stale entry of the old notification area may linger; deleting first is harmless.
  NOTIFYICONDATAW stale = data();
  Shell_NotifyIconW(NIM_DELETE, &stale);
  added = add();
}

NOTIFYICONDATAW notification_icon::data() const {
  NOTIFYICONDATAW icon_data{};
  icon_data.cbSize = sizeof(icon_data);
  icon_data.hWnd = window;
  icon_data.uID = icon_id;
  return icon_data;
}

bool notification_icon::add() {
  NOTIFYICONDATAW icon_data = data();
  icon_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  icon_data.uCallbackMessage = callback_message;
  icon_data.hIcon = icon;
  std::wcsncpy(icon_data.szTip, tooltip.c_str(), ARRAYSIZE(icon_data.szTip) - 1);
  if (!Shell_NotifyIconW(NIM_ADD, &icon_data)) {
    // No notification area yet (Explorer starting after Quendari at sign-in): TaskbarCreated
    // comes when it is there.
    log_event("notification area icon not added");
    return false;
  }
  icon_data.uVersion = NOTIFYICON_VERSION_4;
  if (!Shell_NotifyIconW(NIM_SETVERSION, &icon_data)) {
    log_event("notification area icon: version 4 refused");
  }
  return true;
}

bool notification_icon::show_balloon(const std::wstring& title, const std::wstring& body,
                                     bool silent) {
  if (!added) return false;
  NOTIFYICONDATAW balloon = data();
  balloon.uFlags = NIF_INFO;
  // NIIF_USER takes hBalloonIcon since Vista (hIcon before): the application's own icon.
  balloon.dwInfoFlags = NIIF_USER | (silent ? NIIF_NOSOUND : 0);
  balloon.hBalloonIcon = icon;
  std::wcscpy(balloon.szInfoTitle, fit_to_field(title, ARRAYSIZE(balloon.szInfoTitle)).c_str());
  std::wcscpy(balloon.szInfo, fit_to_field(body, ARRAYSIZE(balloon.szInfo)).c_str());
  return Shell_NotifyIconW(NIM_MODIFY, &balloon) != FALSE;
}

// An empty text takes the balloon down.
void notification_icon::remove_balloon() {
  if (!added) return;
  NOTIFYICONDATAW balloon = data();
  balloon.uFlags = NIF_INFO;
  Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void notification_icon::show_menu(POINT anchor, const std::wstring& open_text, UINT open_command,
                                  const std::wstring& quit_text, UINT quit_command) const {
  const HMENU menu = CreatePopupMenu();
  if (!menu) {
    log_if_failed("CreatePopupMenu", HRESULT_FROM_WIN32(GetLastError()));
    return;
  }
  AppendMenuW(menu, MF_STRING, open_command, open_text.c_str());
  AppendMenuW(menu, MF_STRING, quit_command, quit_text.c_str());
  SetMenuDefaultItem(menu, open_command, FALSE);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(window);
  const UINT alignment = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  TrackPopupMenuEx(menu, alignment | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, anchor.x, anchor.y, window,
                   nullptr);
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

}  // namespace webview::detail
