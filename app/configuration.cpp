#include "app/configuration.h"

#include "app/deployment.h"
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

}  // namespace

webview::detail::shell_configuration configuration() {
  webview::detail::shell_configuration values;
  values.start_url = start_url_utf16;
  values.window_title = product_name;
  values.window_class = window_class;
  values.taskbar_identity = app_id;
  values.first_start_client_size = {first_start_client_width, first_start_client_height};
  values.compose_unreachable_page = compose_page;
  return values;
}

}  // namespace quendari
