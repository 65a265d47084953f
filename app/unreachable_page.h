// The built-in page shown in place of the web application when it cannot be reached or its page
// keeps crashing. The engine shows it with NavigateToString, so it has no origin of its own and
// loads nothing from the network; everything here is plain text composition.
#pragma once

#include <string>
#include <string_view>

namespace quendari {

enum class unreachable_reason { offline, cannot_reach_host, page_stopped };

// The reason for a failed top-level navigation's WebView2 WebErrorStatus value: DISCONNECTED (11)
// and HOST_NAME_NOT_RESOLVED (13) mean offline, every other value (known or not)
// cannot_reach_host. Never returns page_stopped, which comes from process failures instead.
unreachable_reason reason_for_web_error(int web_error_status);

// The page's one plain line, not yet HTML-escaped:
//   offline            "You're offline."
//   cannot_reach_host  "Quendari can't reach <host>." with `host` as given, or
//                      "Quendari can't reach the server." when `host` is empty
//   page_stopped       "The page stopped working."
// A value outside the enumeration gets the cannot_reach_host line.
std::string unreachable_line(unreachable_reason reason, std::string_view host);

// Seconds before the next automatic retry after `failures` consecutive failed attempts (1 = the
// first failure): 5, 10, 20, 40, then 60 for every later failure. Values below 1 count as the
// first failure.
int retry_delay_seconds(int failures);

// The whole page, UTF-8 HTML, with only inline <style> and <script> and a Content-Security-Policy
// meta that forbids every network load. It shows the app name, `line` (HTML-escaped) and one
// control, a Retry <button> that has focus at load (Tab keeps it there) and goes to `retry_url`
// with location.replace. It follows prefers-color-scheme: #FFFFFF with dark text or #202020 with
// light text.
//
// With `retry_seconds` > 0 the page also retries by itself: at once when the window's `online`
// event fires, and when a countdown from `retry_seconds` ("Retrying in 5 s", updated each second in
// an aria-live region) reaches 0. With `retry_seconds` <= 0 there is no countdown and the `online`
// event does nothing: only the button retries.
//
// `retry_url` comes from the failed page, so the script treats it as data: it is embedded as a
// string literal with <, >, &, U+2028 and U+2029 escaped, never in HTML, and only an absolute
// http: or https: URL is ever navigated to; for anything else (javascript:, data:, relative,
// unparsable) Retry does nothing and no countdown is shown. Invalid UTF-8 in `line` or `retry_url`
// is replaced with U+FFFD (one per maximal invalid subsequence, as browsers decode it).
std::string compose_unreachable_page(std::string_view line, std::string_view retry_url,
                                     int retry_seconds);

}  // namespace quendari
