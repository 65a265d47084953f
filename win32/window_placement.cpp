#include "win32/window_placement.h"

namespace webview::detail {
namespace {

constexpr long coordinate_limit = 1000000;

// Reads one decimal integer (optional '-') at `at`, advancing past it.
std::optional<long> read_integer(std::string_view text, std::size_t& at) {
  const bool negative = at < text.size() && text[at] == '-';
  if (negative) ++at;
  const std::size_t first = at;
  long value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    value = value * 10 + (text[at] - '0');
    if (value > coordinate_limit) return std::nullopt;
    ++at;
  }
  if (at == first) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

std::string format_window_placement(const window_placement_record& record) {
  const RECT& r = record.normal;
  return std::to_string(r.left) + ' ' + std::to_string(r.top) + ' ' + std::to_string(r.right) +
         ' ' + std::to_string(r.bottom) + ' ' + (record.maximized ? '1' : '0') + '\n';
}

std::optional<window_placement_record> parse_window_placement(std::string_view text) {
  if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") {
    text.remove_suffix(2);
  } else if (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
  }
  long values[5] = {};
  std::size_t at = 0;
  for (int field = 0; field < 5; ++field) {
    if (field > 0 && (at >= text.size() || text[at++] != ' ')) return std::nullopt;
    const std::optional<long> value = read_integer(text, at);
    if (!value) return std::nullopt;
    values[field] = *value;
  }
  if (at != text.size() || values[2] <= values[0] || values[3] <= values[1]) return std::nullopt;
  if (values[4] != 0 && values[4] != 1) return std::nullopt;
  window_placement_record record;
  record.normal = RECT{values[0], values[1], values[2], values[3]};
  record.maximized = values[4] == 1;
  return record;
}

}  // namespace webview::detail
