// Cutting text to a fixed-size field (a notification balloon's title or body).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace webview::detail {

// `text` when it has fewer than `capacity` UTF-16 units (room for the terminator), else its start
// with "…" in the last place, never split inside a surrogate pair. Empty for capacity below 2.
std::wstring fit_to_field(std::wstring_view text, std::size_t capacity);

}  // namespace webview::detail
