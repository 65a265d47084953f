// The diagnostic log a user can send when something went wrong: UTF-8 text, one line per event,
// each line "<UTC time> <event>" with the time as 2026-12-08T09:14:03.120Z. At 1 MiB the file
// becomes "<name>.old.log" beside it (replacing an older one) and a new file begins.
//
// Events name what happened and HRESULTs; callers never pass page content, message texts, typed
// text, or the path or query of a URL. Writing is best effort: a log that cannot be written (no
// folder, no disk, a read-only file) drops the line, and nothing here throws or waits.
// Used from the UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace webview::detail {

constexpr std::uint64_t diagnostic_log_limit = 1024 * 1024;

// Lines go to `path` from now on (its folder is created when missing); until the first call
// they are dropped. `path` ends in ".log".
void start_diagnostic_log(const std::wstring& path);

// Appends one line. Line breaks and other control characters in `event` become spaces.
void log_event(std::string_view event) noexcept;

// "0x80004005": an HRESULT as the failure box and the log name it.
std::string hresult_text(HRESULT code);

// Logs "<call> failed (0x...)" when `code` is a failure. True when it is not.
bool log_if_failed(const char* call, HRESULT code) noexcept;

}  // namespace webview::detail
