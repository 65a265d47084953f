// The browser's user agent with the application's token. Pure; callable on any thread.
#pragma once

#include <string>

namespace webview::detail {

// `user_agent` unchanged when it already carries "QuendariApp/" (any version, case-sensitive);
// otherwise with " QuendariApp/1" appended, or exactly "QuendariApp/1" when it is empty.
std::wstring marked_user_agent(const std::wstring& user_agent);

}  // namespace webview::detail
