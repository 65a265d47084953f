// Quendari's icon in the notification area, there from construction to destruction. With
// NOTIFYICON_VERSION_4 its events reach `window` as `callback_message`: LOWORD(lParam) is the
// event (NIN_SELECT, NIN_KEYSELECT, WM_CONTEXTMENU, ...), wParam the anchor point. UI thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace webview::detail {

class notification_icon {
 public:
  notification_icon(HWND window, UINT callback_message, HICON icon, std::wstring tooltip);
  ~notification_icon();
  notification_icon(const notification_icon&) = delete;
  notification_icon& operator=(const notification_icon&) = delete;

  // Adds the icon again after Explorer restarted (the registered "TaskbarCreated" message):
  // the new notification area knows nothing of it.
  void add_again();

  // Shows a balloon (a toast on Windows 10 and 11) with `title` and `body`, cut to fit, in the
  // icon's own image; its end or a click comes back as NIN_BALLOONTIMEOUT, NIN_BALLOONHIDE or
  // NIN_BALLOONUSERCLICK. False when the icon is not in the notification area.
  bool show_balloon(const std::wstring& title, const std::wstring& body, bool silent);
  void remove_balloon();

  // The menu of the icon at `anchor`: each entry a command id and its text, the first the
  // default. The chosen entry's WM_COMMAND reaches the window.
  void show_menu(POINT anchor, const std::wstring& open_text, UINT open_command,
                 const std::wstring& quit_text, UINT quit_command) const;

 private:
  NOTIFYICONDATAW data() const;
  bool add();

  HWND window;
  UINT callback_message;
  HICON icon;
  std::wstring tooltip;
  bool added = false;
};

}  // namespace webview::detail
