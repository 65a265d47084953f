#include <utility>

#include "app/deployment.h"
#include "app/unreachable_page.h"
#include "util/text_encoding.h"
#include "webview2/com_handler.h"
#include "webview2/page_policy.h"
#include "win32/browser_failure_message.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

std::uint64_t now_ms() { return GetTickCount64(); }

std::string page_stopped_line() {
  return quendari::unreachable_line(quendari::unreachable_reason::page_stopped, quendari::app_host);
}

}  // namespace

// What the runtime documents for each kind: a dead browser process takes every browser object
// with it, a dead render process is reloaded, a hang is the user's call, and the runtime recovers
// every other process (kinds it may add later included) by itself.
void win32_edge_engine::on_process_failed(COREWEBVIEW2_PROCESS_FAILED_KIND kind) {
  const std::shared_ptr<engine_link> shared_link = link;
  switch (kind) {
    case COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED:
      browser_failed = true;
      // From the run loop: never inside the event, nor inside a wait for the dead browser.
      dispatch_impl([shared_link] {
        if (shared_link->engine) shared_link->engine->recreate_browser();
      });
      return;
    case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED:
      reload_page();
      return;
    case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE:
      // A modal box must not run inside a browser event: it is asked from a posted task.
      if (hang.report(now_ms())) {
        dispatch_impl([shared_link] {
          if (shared_link->engine) shared_link->engine->ask_about_unresponsive_page();
        });
      }
      return;
    default:
      return;
  }
}

void win32_edge_engine::recreate_browser() {
  if (browser_wait_depth > 0) {
    // A wait for the dead browser ends at once; start again after it.
    const std::shared_ptr<engine_link> shared_link = link;
    dispatch_impl([shared_link] {
      if (shared_link->engine) shared_link->engine->recreate_browser();
    });
    return;
  }
  if (!widget_window) return;
  const bool within_budget = recreations.try_take(now_ms());
  const std::wstring resume = resume_uri();
  com_handler.reset();
  webview.reset();
  controller.reset();
  noresult started = start_browser(widget_window);
  if (!started.has_error()) started = configure_browser();
  if (started.has_error()) {
    if (started.error().code == error_canceled) return;
    show_browser_failure(main_window, started.error().platform_code);
    if (owns_window && main_window) DestroyWindow(main_window);
    return;
  }
  // The bridge first, then the application's scripts, as at the first start.
  for (auto& script : user_scripts) script = add_user_script_impl(script.get_code());
  show_browser();
  if (within_budget) {
    webview->Navigate(resume.c_str());
  } else {
    show_unreachable_page(page_stopped_line(), resume, 0);
  }
}

void win32_edge_engine::reload_page() {
  if (!webview) return;
  if (reloads.try_take(now_ms())) {
    webview->Reload();
  } else {
    show_unreachable_page(page_stopped_line(), resume_uri(), 0);
  }
}

void win32_edge_engine::ask_about_unresponsive_page() {
  if (!webview || !hang.ongoing(now_ms())) return;
  const int answer = MessageBoxW(
      main_window, L"The page is not responding.\n\nReload it now? Choose No to keep waiting.",
      L"Quendari", MB_YESNO | MB_ICONWARNING);
  if (answer != IDYES) return;
  hang.end();
  reload_page();
}

void win32_edge_engine::on_navigation_completed(const navigation_outcome& outcome) {
  if (own_page_pending) {
    own_page_pending = false;
    return;
  }
  if (outcome.succeeded) {
    consecutive_failures = 0;
    hang.end();
    if (has_origin(outcome.uri, quendari::start_url_utf16)) last_good_uri = outcome.uri;
    return;
  }
  // A navigation replaced by another is no failure.
  if (outcome.error == COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED) return;
  ++consecutive_failures;
  const std::wstring retry = has_origin(outcome.uri, quendari::start_url_utf16)
                                 ? outcome.uri
                                 : std::wstring(quendari::start_url_utf16);
  show_unreachable_page(
      quendari::unreachable_line(quendari::reason_for_web_error(outcome.error), quendari::app_host),
      retry, quendari::retry_delay_seconds(consecutive_failures));
}

void win32_edge_engine::show_unreachable_page(const std::string& line,
                                              const std::wstring& retry_uri, int retry_seconds) {
  if (!webview) return;
  const std::string page =
      quendari::compose_unreachable_page(line, utf16_to_utf8(retry_uri), retry_seconds);
  own_page_pending = SUCCEEDED(webview->NavigateToString(utf8_to_utf16(page).c_str()));
}

std::wstring win32_edge_engine::resume_uri() const {
  return last_good_uri.empty() ? std::wstring(quendari::start_url_utf16) : last_good_uri;
}

}  // namespace webview::detail
