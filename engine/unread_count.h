// The unread count the taskbar badge shows: read from the page title, and the badge's text and
// accessible description for it. Pure and platform-neutral; callable on any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace webview::detail {

// The count a title announces at its very start: "(n)" or "[n]", n from 1 to 9999 in ASCII
// digits without a leading zero, optionally followed by '+' inside the brackets ("(12+) Inbox"
// is 12). Anything may follow the closing bracket. Any other title (a leading blank, a sign,
// mismatched brackets, "(0)", "(007)") announces nothing.
std::optional<unsigned> unread_count_from_title(std::wstring_view title);

// The digits drawn on the badge: empty for 0 (the dot), the number up to 99, "99+" above.
std::wstring badge_text(unsigned count);

// What the badge says to assistive technology: "<count> unread" with the whole number ("150
// unread"), "Unread" for the dot (0).
std::wstring badge_description(unsigned count);

}  // namespace webview::detail
