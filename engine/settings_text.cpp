#include "engine/settings_text.h"

#include <algorithm>

namespace webview::detail {
namespace {

// The name of a `name=value` line; nothing for a line without '='.
std::optional<std::string_view> name_of(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return line.substr(0, equals);
}

}  // namespace

settings_text::settings_text(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.emplace_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

std::optional<std::string> settings_text::value(std::string_view name) const {
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (name_of(*line) == name) return line->substr(name.size() + 1);
  }
  return std::nullopt;
}

void settings_text::set(std::string_view name, std::string_view value) {
  const std::string line = std::string(name) + '=' + std::string(value);
  auto first = std::find_if(lines.begin(), lines.end(),
                            [&](const std::string& each) { return name_of(each) == name; });
  if (first == lines.end()) {
    lines.push_back(line);
    return;
  }
  *first = line;
  lines.erase(std::remove_if(first + 1, lines.end(),
                             [&](const std::string& each) { return name_of(each) == name; }),
              lines.end());
}

std::string settings_text::text() const {
  std::string joined;
  for (const std::string& line : lines) joined += line + '\n';
  return joined;
}

bool is_on(const std::optional<std::string>& value) { return value && *value == "1"; }

}  // namespace webview::detail
