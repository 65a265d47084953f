#include "app/configuration.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/deployment.h"
#include "app/page_marks.h"
#include "app/unreachable_page.h"

namespace quendari {
namespace {

using webview::detail::unreachable_cause;
using webview::detail::unreachable_page_request;

std::string compose_page(const unreachable_page_request& request) {
  if (request.cause == unreachable_cause::page_stopped) {
    return compose_unreachable_page(unreachable_line(unreachable_reason::page_stopped, app_host),
                                    request.retry_url, 0);
  }
  return compose_unreachable_page(
      unreachable_line(reason_for_web_error(request.web_error_status), app_host), request.retry_url,
      retry_delay_seconds(request.consecutive_failures));
}

std::vector<std::wstring> words(std::wstring_view text) {
  std::vector<std::wstring> found;
  std::size_t start = 0;
  while ((start = text.find_first_not_of(L' ', start)) != std::wstring_view::npos) {
    const std::size_t end = std::min(text.find(L' ', start), text.size());
    found.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return found;
}

// QUENDARI_UPDATE_IDLE_SECONDS, a test's shorter wait before a newer runtime is taken.
std::chrono::seconds update_idle_time() {
  const char* text = std::getenv("QUENDARI_UPDATE_IDLE_SECONDS");
  char* end = nullptr;
  const long seconds = text ? std::strtol(text, &end, 10) : -1;
  if (!text || end == text || *end != '\0' || seconds < 0) return std::chrono::minutes(10);
  return std::chrono::seconds(seconds);
}

}  // namespace

webview::detail::shell_configuration configuration(bool in_background) {
  webview::detail::shell_configuration values;
  values.start_url = start_url_utf16;
  values.window_title = product_name;
  values.window_class = window_class;
  values.taskbar_identity = app_id;
  values.first_start_client_size = {first_start_client_width, first_start_client_height};
  values.signin_hosts = words(signin_hosts);
  values.icon_resource = icon_resource;
  values.app_badge_function = app_badge_function;
  values.starts_in_background = in_background;
  values.sign_in_value_name = product_name;
  values.update_idle_time = update_idle_time();
  values.compose_unreachable_page = compose_page;
  return values;
}

}  // namespace quendari
