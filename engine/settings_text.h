// The choices kept in "settings.txt" beside zoom.txt: one `name=value` per line (LF or CR LF),
// UTF-8, no quoting. A rewrite keeps every line it did not change, names this version does not
// know and lines it cannot read included, so that an older or newer version loses nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace webview::detail {

class settings_text {
 public:
  settings_text() = default;
  explicit settings_text(std::string_view text);

  // The value of the last line for `name`; nothing when there is none.
  std::optional<std::string> value(std::string_view name) const;
  // `name` takes `value` on its first line (later lines for it are dropped), or a new last line.
  void set(std::string_view name, std::string_view value);
  // The text to store: the lines, each ended by LF.
  std::string text() const;

 private:
  std::vector<std::string> lines;
};

// "1" is on, anything else (missing, "0", "yes", " 1") is off.
bool is_on(const std::optional<std::string>& value);

}  // namespace webview::detail
