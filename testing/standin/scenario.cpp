#include "testing/standin/scenario.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

#include "testing/standin/json_text.h"
#include "testing/standin/runtime_update.h"
#include "testing/standin/settings.h"
#include "util/kernel_handle.h"

namespace standin {

const wchar_t* const default_user_agent =
    L"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    L"Chrome/120.0.0.0 Safari/537.36 Edg/120.0.2210.91";

namespace {

constexpr HRESULT stall_code = static_cast<HRESULT>(0x8007139F);
constexpr unsigned longest_delay_ms = 24 * 60 * 60 * 1000;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Reads blank-separated words from one line; `rest` gives the remainder as one argument.
class line_reader {
 public:
  explicit line_reader(std::string_view line) : remaining(trim(line)) {}

  std::string_view word() {
    std::size_t end = 0;
    while (end < remaining.size() && !is_blank(remaining[end])) ++end;
    const std::string_view result = remaining.substr(0, end);
    remaining = trim(remaining.substr(end));
    return result;
  }
  std::string_view rest() { return std::exchange(remaining, std::string_view()); }
  bool done() const { return remaining.empty(); }

 private:
  std::string_view remaining;
};

// A parse failure inside one line; caught per line and recorded as a scenario_error.
struct line_error {
  std::string reason;
};

void expect_end(line_reader& reader) {
  if (!reader.done()) throw line_error{"unexpected text after the directive"};
}

HRESULT parse_hresult(std::string_view text) {
  std::uint32_t value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  std::from_chars_result result{};
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    result = std::from_chars(first + 2, last, value, 16);
  } else if (!text.empty() && text[0] == '-') {
    std::int32_t negative = 0;
    result = std::from_chars(first, last, negative, 10);
    value = static_cast<std::uint32_t>(negative);
  } else {
    result = std::from_chars(first, last, value, 10);
  }
  if (text.empty() || result.ec != std::errc() || result.ptr != last) {
    throw line_error{"expected an HRESULT (0x80004005 or a decimal number), got '" +
                     std::string(text) + "'"};
  }
  return static_cast<HRESULT>(value);
}

unsigned parse_delay(std::string_view text) {
  unsigned value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      value > longest_delay_ms) {
    throw line_error{"expected a delay in milliseconds (0 to 86400000), got '" + std::string(text) +
                     "'"};
  }
  return value;
}

double parse_zoom(std::string_view text) {
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      !std::isfinite(value) || value <= 0) {
    throw line_error{"expected a positive zoom factor, got '" + std::string(text) + "'"};
  }
  return value;
}

// A window feature in CSS pixels (window.open gives none below 0).
UINT32 parse_pixels(std::string_view text) {
  std::uint32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    throw line_error{"expected CSS pixels (0 or more), got '" + std::string(text) + "'"};
  }
  return value;
}

int parse_http_status(std::string_view text) {
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      value < 100 || value > 599) {
    throw line_error{"expected an HTTP status (100 to 599), got '" + std::string(text) + "'"};
  }
  return value;
}

// A text argument: the rest of the line as written, or one JSON string literal when it starts
// with a double quote (for empty text, escapes and unpaired surrogates).
std::wstring parse_text(std::string_view text) {
  const auto wide = widen_utf8(text);
  if (!wide) throw line_error{"text is not valid UTF-8"};
  if (wide->empty() || wide->front() != L'"') return *wide;
  auto decoded = decode_json_string_literal(*wide);
  if (!decoded) throw line_error{"malformed JSON string literal"};
  return *decoded;
}

// A value written as one of `names` or as a non-negative number (newer runtimes report values
// past the named ones).
template <typename Value, std::size_t count>
Value parse_named_value(std::string_view text,
                        const std::pair<std::string_view, Value> (&names)[count],
                        const char* what) {
  for (const auto& [name, value] : names) {
    if (text == name) return value;
  }
  std::int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      value < 0) {
    throw line_error{std::string("unknown ") + what + " '" + std::string(text) + "'"};
  }
  return static_cast<Value>(value);
}

COREWEBVIEW2_PERMISSION_KIND parse_permission_kind(std::string_view text) {
  static const std::pair<std::string_view, COREWEBVIEW2_PERMISSION_KIND> names[] = {
      {"unknown", COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION},
      {"microphone", COREWEBVIEW2_PERMISSION_KIND_MICROPHONE},
      {"camera", COREWEBVIEW2_PERMISSION_KIND_CAMERA},
      {"geolocation", COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION},
      {"notifications", COREWEBVIEW2_PERMISSION_KIND_NOTIFICATIONS},
      {"other-sensors", COREWEBVIEW2_PERMISSION_KIND_OTHER_SENSORS},
      {"clipboard-read", COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ},
  };
  return parse_named_value(text, names, "permission kind");
}

COREWEBVIEW2_PROCESS_FAILED_KIND parse_failed_kind(std::string_view text) {
  static const std::pair<std::string_view, COREWEBVIEW2_PROCESS_FAILED_KIND> names[] = {
      {"browser-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED},
      {"render-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED},
      {"render-unresponsive", COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE},
      {"frame-render-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_FRAME_RENDER_PROCESS_EXITED},
      {"utility-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_UTILITY_PROCESS_EXITED},
      {"sandbox-helper-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_SANDBOX_HELPER_PROCESS_EXITED},
      {"gpu-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_GPU_PROCESS_EXITED},
      {"ppapi-plugin-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_PPAPI_PLUGIN_PROCESS_EXITED},
      {"ppapi-broker-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_PPAPI_BROKER_PROCESS_EXITED},
      {"unknown-exited", COREWEBVIEW2_PROCESS_FAILED_KIND_UNKNOWN_PROCESS_EXITED},
  };
  return parse_named_value(text, names, "process failure kind");
}

COREWEBVIEW2_WEB_ERROR_STATUS parse_web_error_status(std::string_view text) {
  static const std::pair<std::string_view, COREWEBVIEW2_WEB_ERROR_STATUS> names[] = {
      {"unknown", COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN},
      {"certificate-common-name-is-incorrect",
       COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_COMMON_NAME_IS_INCORRECT},
      {"certificate-expired", COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_EXPIRED},
      {"client-certificate-contains-errors",
       COREWEBVIEW2_WEB_ERROR_STATUS_CLIENT_CERTIFICATE_CONTAINS_ERRORS},
      {"certificate-revoked", COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_REVOKED},
      {"certificate-is-invalid", COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_IS_INVALID},
      {"server-unreachable", COREWEBVIEW2_WEB_ERROR_STATUS_SERVER_UNREACHABLE},
      {"timeout", COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT},
      {"error-http-invalid-server-response",
       COREWEBVIEW2_WEB_ERROR_STATUS_ERROR_HTTP_INVALID_SERVER_RESPONSE},
      {"connection-aborted", COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED},
      {"connection-reset", COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_RESET},
      {"disconnected", COREWEBVIEW2_WEB_ERROR_STATUS_DISCONNECTED},
      {"cannot-connect", COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT},
      {"host-name-not-resolved", COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED},
      {"operation-canceled", COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED},
      {"redirect-failed", COREWEBVIEW2_WEB_ERROR_STATUS_REDIRECT_FAILED},
      {"unexpected-error", COREWEBVIEW2_WEB_ERROR_STATUS_UNEXPECTED_ERROR},
      {"valid-authentication-credentials-required",
       COREWEBVIEW2_WEB_ERROR_STATUS_VALID_AUTHENTICATION_CREDENTIALS_REQUIRED},
      {"valid-proxy-authentication-required",
       COREWEBVIEW2_WEB_ERROR_STATUS_VALID_PROXY_AUTHENTICATION_REQUIRED},
  };
  return parse_named_value(text, names, "web error status");
}

page_action parse_action(line_reader& reader) {
  page_action action;
  std::string_view name = reader.word();
  if (name == "first") {
    action.oldest = true;
    name = reader.word();
  }
  if (name == "message") {
    std::string_view form = reader.word();
    if (form == "from") {
      action.sender = parse_text(reader.word());
      form = reader.word();
    }
    if (form == "string") {
      action.kind = action_kind::message_string;
      action.text = parse_text(reader.rest());
    } else if (form == "json") {
      action.kind = action_kind::message_json;
      const auto wide = widen_utf8(reader.rest());
      if (!wide || wide->empty()) throw line_error{"message json needs JSON text"};
      action.text = *wide;
      // A JSON string posted by the page reads back as a string, as with the real runtime.
      action.is_string = decode_json_string_literal(*wide).has_value();
    } else {
      throw line_error{"expected 'message [from <uri>] string|json <text>'"};
    }
  } else if (name == "zoom") {
    action.kind = action_kind::zoom;
    action.zoom = parse_zoom(reader.word());
    expect_end(reader);
  } else if (name == "fullscreen") {
    action.kind = action_kind::fullscreen;
    const std::string_view state = reader.word();
    if (state != "on" && state != "off") throw line_error{"expected 'fullscreen on|off'"};
    action.on = state == "on";
    expect_end(reader);
  } else if (name == "newwindow") {
    action.kind = action_kind::new_window;
    const std::string_view initiator = reader.word();
    if (initiator != "user" && initiator != "script") {
      throw line_error{"expected 'newwindow user|script <uri>'"};
    }
    action.on = initiator == "user";
    // Window features before the URI: `ahead` reads on, `reader` keeps what was taken.
    for (line_reader ahead = reader;; reader = ahead) {
      const std::string_view feature = ahead.word();
      if (feature != "size" && feature != "at") break;
      const UINT32 x = parse_pixels(ahead.word());
      const UINT32 y = parse_pixels(ahead.word());
      if (feature == "size") {
        action.features.has_size = true;
        action.features.width = x;
        action.features.height = y;
      } else {
        action.features.has_position = true;
        action.features.left = x;
        action.features.top = y;
      }
    }
    action.text = parse_text(reader.rest());
  } else if (name == "permission") {
    action.kind = action_kind::permission;
    action.permission_kind = parse_permission_kind(reader.word());
    action.text = parse_text(reader.rest());
  } else if (name == "processfailed") {
    action.kind = action_kind::process_failed;
    action.failed_kind = parse_failed_kind(reader.word());
    expect_end(reader);
  } else if (name == "go") {
    action.kind = action_kind::go;
    action.text = parse_text(reader.rest());
    if (action.text.empty()) throw line_error{"expected 'go <uri>'"};
  } else if (name == "title") {
    action.kind = action_kind::title;
    action.text = parse_text(reader.rest());
  } else if (name == "notification") {
    action.kind = action_kind::notification;
    std::string_view origin = reader.word();
    action.on = origin == "silent";
    if (action.on) origin = reader.word();
    if (origin.empty()) throw line_error{"expected 'notification [silent] <origin> <title>'"};
    action.sender = parse_text(origin);
    // The title runs to the first `|`, the body follows it. A title written as a JSON string
    // literal may hold `|`: the separator is looked for after its closing quote.
    const std::string_view rest = reader.rest();
    std::size_t after = 0;
    if (!rest.empty() && rest.front() == '"') {
      for (after = 1; after < rest.size() && rest[after] != '"'; ++after) {
        after += rest[after] == '\\';
      }
    }
    const std::size_t bar = rest.find('|', after);
    action.text = parse_text(trim(rest.substr(0, bar)));
    if (bar != std::string_view::npos) action.body = parse_text(trim(rest.substr(bar + 1)));
  } else if (name == "notificationclose") {
    action.kind = action_kind::notification_close;
    expect_end(reader);
  } else if (name == "newversion") {
    action.kind = action_kind::new_version;
    action.text = parse_text(reader.word());
    if (!is_version_name(action.text)) throw line_error{"expected 'newversion <dotted numbers>'"};
    expect_end(reader);
  } else if (name == "windowclose") {
    action.kind = action_kind::window_close;
    expect_end(reader);
  } else if (name == "close" || name == "quit" || name == "screenshot-ready") {
    action.kind = name == "close"  ? action_kind::close
                  : name == "quit" ? action_kind::quit
                                   : action_kind::screenshot_ready;
    expect_end(reader);
  } else {
    throw line_error{"unknown action '" + std::string(name) + "'"};
  }
  return action;
}

// Outcomes shared by starts, controllers and scripts, plus the words of each kind.
step parse_step(line_reader& reader, bool is_start, bool is_controller) {
  const std::string_view word = reader.word();
  step result;
  if (word == "ok") {
    result.outcome = step_outcome::succeed;
  } else if (word == "refuse" || word == "fail") {
    result.outcome = word == "refuse" ? step_outcome::refuse : step_outcome::fail;
    result.code = parse_hresult(reader.word());
  } else if ((is_start || is_controller) && word == "abort") {
    result = {step_outcome::fail, E_ABORT};
  } else if (is_start && word == "stall") {
    result = {step_outcome::refuse, stall_code};
  } else if (is_controller && word == "stall") {
    result = {step_outcome::fail, stall_code};
  } else if (is_start && word == "later-quit") {
    result.outcome = step_outcome::later_quit;
  } else if (is_controller && word == "nowebview") {
    result.outcome = step_outcome::no_webview;
  } else if (is_controller && word == "nullwebview") {
    result.outcome = step_outcome::null_webview;
  } else if (is_controller && word == "hold") {
    result.outcome = step_outcome::hold;
  } else if (!is_start && !is_controller && word == "never") {
    result.outcome = step_outcome::never;
  } else {
    throw line_error{"unknown outcome '" + std::string(word) + "'"};
  }
  expect_end(reader);
  return result;
}

void parse_line(std::string_view line, scenario& plan) {
  line_reader reader(line);
  const std::string_view directive = reader.word();
  if (directive == "start") {
    plan.starts.push_back(parse_step(reader, true, false));
  } else if (directive == "controller") {
    plan.controllers.push_back(parse_step(reader, false, true));
  } else if (directive == "script") {
    plan.scripts.push_back(parse_step(reader, false, false));
  } else if (directive == "navigation") {
    const std::string_view word = reader.word();
    navigation_step planned;
    if (word == "fail") {
      planned.success = false;
      planned.status = parse_web_error_status(reader.word());
      planned.http_status = 0;  // no HTTP answer came
    } else if (word == "http") {
      // A 4xx or 5xx answer ends in an error page but comes with the status UNKNOWN.
      planned.http_status = parse_http_status(reader.word());
      planned.success = planned.http_status < 400;
    } else if (word != "ok") {
      throw line_error{
          "expected 'navigation ok', 'navigation fail <status>' or 'navigation http <code>'"};
    }
    expect_end(reader);
    plan.navigations.push_back(planned);
  } else if (directive == "deliver") {
    const std::string_view when = reader.word();
    if (when != "inside" && when != "later") throw line_error{"expected 'deliver inside|later'"};
    plan.deliver_inside = when == "inside";
    expect_end(reader);
  } else if (directive == "settings") {
    if (reader.word() != "fail") throw line_error{"expected 'settings fail <method> <hresult>'"};
    const std::string method(reader.word());
    if (!is_settings_method(method)) throw line_error{"unknown settings method '" + method + "'"};
    plan.settings_failures[method] = parse_hresult(reader.word());
    expect_end(reader);
  } else if (directive == "useragent") {
    plan.user_agent = parse_text(reader.rest());
  } else if (directive == "nosettings2") {
    plan.settings2_available = false;
    expect_end(reader);
  } else if (directive == "nocontroller2") {
    plan.controller2_available = false;
    expect_end(reader);
  } else if (directive == "notifications") {
    plan.notifications_available = true;
    expect_end(reader);
  } else if (directive == "noenvironment5") {
    plan.environment5_available = false;
    expect_end(reader);
  } else if (directive == "release") {
    const std::string_view when = reader.word();
    plan.release_ms = when == "never" ? std::nullopt : std::optional<unsigned>(parse_delay(when));
    expect_end(reader);
  } else if (directive == "nonavigationargs2") {
    plan.navigation_args2_available = false;
    expect_end(reader);
  } else if (directive == "after-start" || directive == "after-navigate") {
    timed_action timed;
    timed.delay_ms = parse_delay(reader.word());
    timed.action = parse_action(reader);
    if (directive == "after-start") {
      // Before the first navigation there is no page: only process-wide actions make sense.
      if (timed.action.oldest || (timed.action.kind != action_kind::quit &&
                                  timed.action.kind != action_kind::screenshot_ready &&
                                  timed.action.kind != action_kind::new_version)) {
        throw line_error{"after-start allows only 'quit', 'screenshot-ready' and 'newversion'"};
      }
      plan.after_start.push_back(timed);
    } else {
      plan.after_navigate.push_back(timed);
    }
  } else {
    throw line_error{"unknown directive '" + std::string(directive) + "'"};
  }
}

}  // namespace

const char* outcome_name(step_outcome outcome) {
  switch (outcome) {
    case step_outcome::succeed:
      return "ok";
    case step_outcome::refuse:
      return "refuse";
    case step_outcome::fail:
      return "fail";
    case step_outcome::later_quit:
      return "later-quit";
    case step_outcome::no_webview:
      return "nowebview";
    case step_outcome::null_webview:
      return "nullwebview";
    case step_outcome::hold:
      return "hold";
    case step_outcome::never:
      return "never";
  }
  return "?";
}

const char* action_name(action_kind kind) {
  switch (kind) {
    case action_kind::message_string:
    case action_kind::message_json:
      return "message";
    case action_kind::zoom:
      return "zoom";
    case action_kind::fullscreen:
      return "fullscreen";
    case action_kind::new_window:
      return "newwindow";
    case action_kind::permission:
      return "permission";
    case action_kind::close:
      return "close";
    case action_kind::quit:
      return "quit";
    case action_kind::screenshot_ready:
      return "screenshot-ready";
    case action_kind::process_failed:
      return "processfailed";
    case action_kind::go:
      return "go";
    case action_kind::window_close:
      return "windowclose";
    case action_kind::title:
      return "title";
    case action_kind::notification:
      return "notification";
    case action_kind::notification_close:
      return "notificationclose";
    case action_kind::new_version:
      return "newversion";
  }
  return "?";
}

step step_at(const std::vector<step>& steps, std::size_t index) {
  return index < steps.size() ? steps[index] : step{};
}

navigation_step navigation_at(const std::vector<navigation_step>& steps, std::size_t index) {
  return index < steps.size() ? steps[index] : navigation_step{};
}

scenario parse_scenario(std::string_view text) {
  scenario plan;
  plan.user_agent = default_user_agent;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  unsigned number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::string_view content = trim(line);
    if (content.empty() || content.front() == '#') continue;
    try {
      parse_line(content, plan);
    } catch (const line_error& error) {
      plan.errors.push_back({number, std::string(content), error.reason});
    }
  }
  return plan;
}

scenario load_scenario(const std::wstring& path) {
  const webview::detail::kernel_handle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string text;
  bool readable = file.is_open();
  while (readable) {
    char buffer[4096];
    DWORD read = 0;
    readable = ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) != FALSE;
    if (readable && read == 0) break;
    text.append(buffer, read);
  }
  if (!readable) {
    scenario plan;
    plan.user_agent = default_user_agent;
    plan.errors.push_back({0, "", "cannot read the scenario file"});
    return plan;
  }
  return parse_scenario(text);
}

}  // namespace standin
