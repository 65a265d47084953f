#include "engine/text_fit.h"

namespace webview::detail {

std::wstring fit_to_field(std::wstring_view text, std::size_t capacity) {
  if (capacity < 2) return {};
  if (text.size() < capacity) return std::wstring(text);
  std::size_t kept = capacity - 2;
  // A high surrogate at the cut would be left without its pair.
  if (kept > 0 && text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF) --kept;
  return std::wstring(text.substr(0, kept)) + L'\u2026';
}

}  // namespace webview::detail
