// The page policy's pure decisions: which permission kinds are granted, whether a URI belongs to
// the trusted origin, and which URIs may be handed to the shell. Pure; callable on any thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "webview2/webview2_abi.h"

namespace webview::detail {

// Microphone, camera, geolocation, notifications and clipboard read.
bool is_granted_permission_kind(COREWEBVIEW2_PERMISSION_KIND kind) noexcept;

// True when `uri` and `trusted_url` are both URLs with an authority ("scheme://host...") and
// share scheme, host and port. Scheme and host compare ASCII case-insensitively, user information
// is ignored, and an absent port is the scheme's default (80 for http, 443 for https). Text
// without a host, or with a port that is not a number up to 65535, belongs to no origin.
bool has_origin(const std::wstring& uri, const std::wstring& trusted_url);

// Whether a completed top-level navigation means the application was not reached: it failed, no
// HTTP answer came (`http_status` 0), and the status says the network failed (server unreachable,
// timeout, invalid response, connection aborted or reset, disconnected, cannot connect, host
// name not resolved). Anything else (any HTTP answer, UNKNOWN as window.stop() and 4xx give, the
// certificate errors, cancelled, redirect failed, unexpected, a login or proxy prompt) leaves the
// runtime's own page in front of the user.
bool means_app_unreachable(bool succeeded, int http_status, COREWEBVIEW2_WEB_ERROR_STATUS error);

struct new_window_request {
  std::wstring uri;
  bool user_initiated = false;
  // window.open with a size or a position (a sign-in library's popup), not a plain link.
  bool sized_or_placed = false;
  // Whether this browser can open popups of its own at all.
  bool popups_available = false;
};

enum class new_window_action { open_popup, open_externally, refuse };

// What becomes of a page's new-window request. Only a user's gesture opens anything. A popup of
// the application's own opens for a URI on `app_url`'s origin, and for a sized or placed
// window.open of about:blank or an https page on one of `signin_hosts` (exact host names, default
// port). Anything else goes to the shell when uri_to_open_externally allows it, or nowhere.
new_window_action decide_new_window(const new_window_request& request, const std::wstring& app_url,
                                    const std::vector<std::wstring>& signin_hosts);

// What the diagnostic log may say of `uri`: "scheme://host[:port]" for a URI with an authority
// (user information dropped), "scheme:" for one without, "(none)" without a scheme. Never the
// path, query or fragment.
std::string scheme_and_host(const std::wstring& uri);

// The longest URI handed to the shell: INTERNET_MAX_URL_LENGTH. Longer ones are refused, a limit
// on what a link may open (the shell's URL handling has failed on longer page-controlled text).
constexpr std::size_t max_external_uri_length = 2083;

// What the shell may open for a page's new-window request, or empty when nothing may be opened.
// Only http, https and mailto URIs (scheme case-insensitive) pass, and only when every code unit
// is printable ASCII (0x21 to 0x7E) other than '"': the browser hands these URIs over in
// canonical ASCII form, and anything else (spaces, quotes, controls, look-alike characters that
// a handler reading an 8-bit code page turns into quotes or blanks) could split the command line
// the shell builds for the URI's handler. A mailto URI with an "attach" or "attachment" field
// (case-insensitive, percent-decoded) is refused: some mail clients attach the local file it
// names. In what passes, a '%' not followed by two hex digits becomes "%25", so that the shell
// cannot expand %NAME% environment references in it (a valid URL has no such '%'). The result
// is at most max_external_uri_length code units; a longer one is refused.
std::wstring uri_to_open_externally(const std::wstring& uri);

}  // namespace webview::detail
