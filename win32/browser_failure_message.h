// What the user is told when the browser component cannot be started.
#pragma once

#include <windows.h>

#include <string>

namespace webview::detail {

// The message naming `failure` in upper-case hex and the way forward, for the application
// called `app_name`.
std::wstring browser_failure_message(const std::wstring& app_name, HRESULT failure);

// Shows that message in a modal error box captioned `app_name`, owned by `owner` (may be null).
// A failure without an HRESULT of its own (0) is named E_FAIL.
void show_browser_failure(HWND owner, const std::wstring& app_name, HRESULT failure);

}  // namespace webview::detail
