#include "util/text_encoding.h"

#include <windows.h>

#include <climits>

namespace webview::detail {

std::wstring utf8_to_utf16(const std::string& text) {
  // The Win32 calls take int counts; a longer input would be cut short silently.
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::wstring result(static_cast<size_t>(units), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, result.data(),
                          units) <= 0) {
    return {};
  }
  return result;
}

std::string utf16_to_utf8(const std::wstring& text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr,
                                        0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string result(static_cast<size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, result.data(), bytes,
                          nullptr, nullptr) <= 0) {
    return {};
  }
  return result;
}

}  // namespace webview::detail
