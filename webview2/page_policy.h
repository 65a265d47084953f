// The page policy's pure decisions: which permission kinds are granted, whether a URI belongs to
// the trusted origin, and which URIs may be handed to the shell. Pure; callable on any thread.
#pragma once

#include <string>

#include "webview2/webview2_abi.h"

namespace webview::detail {

// Microphone, camera, geolocation, notifications and clipboard read.
bool is_granted_permission_kind(COREWEBVIEW2_PERMISSION_KIND kind) noexcept;

// True when `uri` and `trusted_url` are both URLs with an authority ("scheme://host...") and
// share scheme, host and port. Scheme and host compare ASCII case-insensitively, user information
// is ignored, and an absent port is the scheme's default (80 for http, 443 for https). Text
// without a host, or with a port that is not a number up to 65535, belongs to no origin.
bool has_origin(const std::wstring& uri, const std::wstring& trusted_url);

// True only for http, https and mailto URIs (scheme case-insensitive) free of spaces, quotes and
// control characters, which could otherwise split the command line that the shell builds for the
// URI's handler. Everything else (paths, file:, javascript:, other protocol handlers, empty) is
// refused.
bool may_open_externally(const std::wstring& uri);

}  // namespace webview::detail
