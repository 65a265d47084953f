// Starting with Windows: a value under HKCU\Software\Microsoft\Windows\CurrentVersion\Run whose
// data, `"<executable>" <arguments>`, Windows runs when the user signs in.
#pragma once

#include <string>

namespace webview::detail {

// True when the value `name` exists and its command starts this executable (paths compared
// case-insensitively); another program's value of the same name does not count.
bool starts_at_sign_in(const std::wstring& name);
// Writes or deletes the value; false, logged, when the registry refused.
bool set_start_at_sign_in(const std::wstring& name, const std::wstring& arguments, bool on);

}  // namespace webview::detail
