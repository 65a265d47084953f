// The page's calls through the message bridge: only documents of the application's own origin may
// call, a name without a native function is refused at once, and the unread badge is answered
// here. Every call the page makes is settled.
#include <algorithm>
#include <climits>
#include <optional>
#include <string_view>

#include "engine/bridge_script.h"
#include "engine/json.h"
#include "util/diagnostic_log.h"
#include "util/text_encoding.h"
#include "webview2/page_policy.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

void answer(const page_message& message, const std::string& script) {
  if (message.from && message.from->host) {
    message.from->host->execute_script(utf8_to_utf16(script));
  }
}

// The badge a setAppBadge call's arguments ask for: [] the dot, [0] none, [n] the count; nothing
// for anything else.
std::optional<std::optional<unsigned>> requested_badge(const std::string& params) {
  std::string count = json_get(params, "", 0);
  if (count.empty()) {
    if (params.find_first_not_of("[] ") != std::string::npos) return std::nullopt;
    return std::optional<unsigned>(0);
  }
  if (count.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  unsigned long long value = 0;
  for (const char digit : count) {
    value = std::min<unsigned long long>(value * 10 + (digit - '0'), UINT_MAX);
  }
  if (value == 0) return std::optional<unsigned>();
  return std::optional<unsigned>(static_cast<unsigned>(value));
}

}  // namespace

void win32_edge_engine::on_page_message(const page_message& message) {
  static constexpr std::string_view keys[] = {"id", "method", "params"};
  std::string members[3];
  json_get_members(message.text, keys, members, 3);
  const std::string& id = members[0];
  const std::string& method = members[1];
  const std::string& params = members[2];
  // Not a call: nothing to answer.
  if (id.empty()) return;
  if (!has_origin(message.source, configuration.start_url)) {
    log_event("page call refused from " + scheme_and_host(message.source));
    answer(message, compose_call_failed_script(
                        id, "\"" + method + "\" cannot be called from this document"));
    return;
  }
  if (!configuration.app_badge_function.empty() && method == configuration.app_badge_function) {
    post_task([this, message, id, params] {
      const auto badge = requested_badge(params);
      if (!badge) {
        answer(message, compose_call_failed_script(id, "The badge takes a count from 0 up"));
        return;
      }
      set_app_badge(*badge);
      answer(message, compose_call_fulfilled_script(id));
    });
    return;
  }
  if (bindings.find(method) != bindings.end()) {
    on_message(message.text);
    return;
  }
  answer(message, compose_call_failed_script(id, "No native function \"" + method + "\""));
}

}  // namespace webview::detail
