// What the user is told when the browser component cannot be started.
#pragma once

#include <windows.h>

#include <string>

namespace webview::detail {

// The message naming `failure` in upper-case hex and the way forward.
std::wstring browser_failure_message(HRESULT failure);

// Shows that message in a modal error box owned by `owner` (may be null). A failure without an
// HRESULT of its own (0) is named E_FAIL.
void show_browser_failure(HWND owner, HRESULT failure);

}  // namespace webview::detail
