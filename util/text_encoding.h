// Strict UTF-8 <-> UTF-16 conversion: text that is invalid in its source encoding converts to an
// empty string, never to replacement characters, and so does input of 2^31 units or more.
// Pure; callable on any thread.
#pragma once

#include <string>

namespace webview::detail {

std::wstring utf8_to_utf16(const std::string& text);
std::string utf16_to_utf8(const std::wstring& text);

}  // namespace webview::detail
