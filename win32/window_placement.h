// The main window's placement kept between runs in "window.txt" beside zoom.txt: its normal
// (restored) rectangle as GetWindowPlacement gives it and whether it was maximized, as one line of
// ASCII decimal integers "left top right bottom maximized" (maximized 0 or 1), no locale.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace webview::detail {

struct window_placement_record {
  RECT normal{};
  bool maximized = false;
};

std::string format_window_placement(const window_placement_record& record);
// The record, or nothing for any other text: a missing or extra field, a sign or digit out of
// place, a number beyond +-1,000,000, an empty or inverted rectangle, maximized other than 0 or 1.
// One trailing line end (LF or CR LF) is allowed.
std::optional<window_placement_record> parse_window_placement(std::string_view text);

}  // namespace webview::detail
