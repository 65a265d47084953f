// How another process of the application asks the running one to show its main window, hidden
// in the notification area, minimized or behind others: a message registered under the window
// class's name, posted to the main window.
#pragma once

#include <windows.h>

#include <string>

namespace webview::detail {

inline UINT show_request_message(const std::wstring& window_class) {
  return RegisterWindowMessageW((window_class + L".show").c_str());
}

}  // namespace webview::detail
