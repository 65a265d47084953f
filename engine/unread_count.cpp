#include "engine/unread_count.h"

#include <cstddef>

namespace webview::detail {
namespace {

constexpr std::size_t max_digits = 4;  // up to 9999

bool is_ascii_digit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

// Not std::to_wstring, which formats through the C library's wide printf.
std::wstring decimal_text(unsigned count) {
  const std::string digits = std::to_string(count);
  return std::wstring(digits.begin(), digits.end());
}

}  // namespace

std::optional<unsigned> unread_count_from_title(std::wstring_view title) {
  if (title.empty() || (title[0] != L'(' && title[0] != L'[')) return std::nullopt;
  const wchar_t closing = title[0] == L'(' ? L')' : L']';
  std::size_t at = 1;
  // A leading zero is refused: "(0)" is no count, and "(007)" reads as a name rather than one.
  if (at >= title.size() || !is_ascii_digit(title[at]) || title[at] == L'0') return std::nullopt;
  unsigned count = 0;
  for (; at < title.size() && is_ascii_digit(title[at]); ++at) {
    if (at > max_digits) return std::nullopt;
    count = count * 10 + static_cast<unsigned>(title[at] - L'0');
  }
  if (at < title.size() && title[at] == L'+') ++at;
  if (at >= title.size() || title[at] != closing) return std::nullopt;
  return count;
}

std::wstring badge_text(unsigned count) {
  if (count == 0) return {};
  if (count > 99) return L"99+";
  return decimal_text(count);
}

std::wstring badge_description(unsigned count) {
  if (count == 0) return L"Unread";
  return decimal_text(count) + L" unread";
}

}  // namespace webview::detail
