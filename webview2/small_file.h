// The small text files Quendari keeps beside the browser profile (zoom.txt, window.txt): read
// whole, replaced whole. Paths of any length. UI thread only; failures are reported, never thrown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace webview::detail {

// The file's first `limit` bytes; nothing when it is missing, unreadable or `path` is empty.
std::optional<std::string> read_small_file(const std::wstring& path, std::size_t limit);

// Replaces the file's content with `text`: written to "<path>.tmp" first and then moved over the
// file, so an interrupted save leaves the old content, never an empty or partial file. The folder
// is never created. False when nothing was replaced.
bool replace_small_file(const std::wstring& path, std::string_view text);

}  // namespace webview::detail
