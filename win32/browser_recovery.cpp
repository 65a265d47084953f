#include <chrono>
#include <memory>
#include <string>

#include "util/diagnostic_log.h"
#include "util/task_memory_string.h"
#include "util/text_encoding.h"
#include "webview2/browser_exit_watch.h"
#include "webview2/page_policy.h"
#include "win32/browser_host.h"

namespace webview::detail {
namespace {

std::uint64_t now_ms() { return GetTickCount64(); }

const char* kind_name(COREWEBVIEW2_PROCESS_FAILED_KIND kind) {
  switch (kind) {
    case COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED:
      return "browser process exited";
    case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED:
      return "render process exited";
    case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE:
      return "render process unresponsive";
    default:
      return "helper process exited";
  }
}

void log_process_failure(const process_failure& failure, const char* action) {
  std::string line = "process failure: " + std::string(kind_name(failure.kind)) + " (kind " +
                     std::to_string(failure.kind);
  if (failure.detailed) {
    line += ", reason " + std::to_string(failure.reason) + ", exit code " +
            std::to_string(failure.exit_code);
  }
  log_event(line + "); " + action);
}

unreachable_page_request page_stopped(std::wstring retry_uri) {
  unreachable_page_request request;
  request.cause = unreachable_cause::page_stopped;
  request.retry_url = utf16_to_utf8(retry_uri);
  return request;
}

}  // namespace

void browser_host::post(void (browser_host::*action)()) {
  owner.post_task([shared_link = link, action] {
    if (shared_link->host) (shared_link->host->*action)();
  });
}

// What the runtime documents for each kind: a dead browser process takes every browser object
// with it, a dead render process is reloaded, a hang is the user's call, and the runtime recovers
// every other process (kinds it may add later included) by itself.
void browser_host::on_process_failed(const process_failure& failure) {
  switch (failure.kind) {
    case COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED:
      log_process_failure(failure,
                          options.is_popup ? "closing the popup" : "re-creating the browser");
      browser_failed = true;
      // From the run loop: never inside the event, nor inside a wait for the dead browser.
      post(options.is_popup ? &browser_host::give_up : &browser_host::recreate);
      return;
    case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED:
      log_process_failure(failure, "reloading the page");
      reload_page();
      return;
    case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE: {
      // A modal box must not run inside a browser event: it is asked from a posted task.
      const bool ask = hang.report(now_ms());
      log_process_failure(failure, ask ? "asking the user" : "waiting");
      if (ask) post(&browser_host::ask_about_unresponsive_page);
      return;
    }
    default:
      log_process_failure(failure, "left to the runtime");
      return;
  }
}

void browser_host::recreate() {
  if (wait_depth > 0) {
    // A wait for the dead browser ends at once; start again after it.
    post(&browser_host::recreate);
    return;
  }
  if (!IsWindow(options.parent)) return;
  const bool within_budget = recreations.try_take(now_ms());
  const std::wstring resume = resume_uri();
  if (!replace_browser(false)) return;
  if (within_budget) {
    navigate(resume);
  } else {
    log_event("re-creation budget spent: built-in page shown");
    show_unreachable_page(page_stopped(resume));
  }
}

void browser_host::restart_on_newer_runtime() {
  if (wait_depth > 0) {
    post(&browser_host::restart_on_newer_runtime);
    return;
  }
  if (!IsWindow(options.parent)) return;
  const std::string old_version = browser_version();
  const std::wstring resume = resume_uri();
  if (!replace_browser(true)) return;
  log_event("runtime updated: " + old_version + " -> " + browser_version());
  navigate(resume);
}

// As Microsoft's sample does it: the old controller is closed and its environment kept, to hear
// when its processes have let go of the user-data folder, which the next browser needs.
bool browser_host::replace_browser(bool wait_first) {
  const std::unique_ptr<environment_exit> old_browser = std::move(environment_exit_);
  close();
  const HWND parent = options.parent;
  const auto wait_for_old_browser = [&] {
    pump_messages_until([&] { return old_browser->has_exited() || !IsWindow(parent); },
                        std::chrono::seconds(10));
  };
  const bool can_wait = old_browser && old_browser->is_heard();
  if (wait_first && can_wait) wait_for_old_browser();
  noresult started = start();
  if (!wait_first && started.has_error() && started.error().code != error_canceled && can_wait) {
    log_event("browser re-creation failed (" + hresult_text(started.error().platform_code) +
              "); waiting for the old browser to let go of its folder");
    wait_for_old_browser();
    close();
    started = start();
  }
  if (started.has_error()) {
    if (started.error().code == error_canceled) return false;
    log_event("browser re-creation failed (" + hresult_text(started.error().platform_code) + ")");
    owner.on_browser_lost(started.error().platform_code);
    return false;
  }
  owner.on_browser_replaced();
  show();
  return true;
}

std::string browser_host::browser_version() const {
  task_memory_string version;
  if (!environment_ ||
      !log_if_failed("get_BrowserVersionString",
                     environment_->get_BrowserVersionString(version.put())) ||
      !version.get()) {
    return "unknown";
  }
  return utf16_to_utf8(version.get());
}

void browser_host::give_up() { owner.on_browser_lost(S_OK); }

void browser_host::reload_page() {
  if (!webview_) return;
  if (reloads.try_take(now_ms())) {
    log_if_failed("Reload", webview_->Reload());
  } else if (options.is_popup) {
    log_event("reload budget spent in a popup: its page is left as it is");
  } else {
    log_event("reload budget spent: built-in page shown");
    show_unreachable_page(page_stopped(resume_uri()));
  }
}

void browser_host::ask_about_unresponsive_page() {
  if (!webview_ || !hang.ongoing(now_ms())) return;
  const int answer =
      MessageBoxW(GetAncestor(options.parent, GA_ROOT),
                  L"The page is not responding.\n\nReload it now? Choose No to keep waiting.",
                  configuration.window_title.c_str(), MB_YESNO | MB_ICONWARNING);
  log_event(answer == IDYES ? "unresponsive page: the user chose to reload"
                            : "unresponsive page: the user chose to wait");
  if (answer != IDYES) return;
  hang.end();
  reload_page();
}

void browser_host::on_navigation_starting(UINT64 navigation_id) {
  if (!own_page_requested) return;
  own_page_requested = false;
  own_page_id = navigation_id;
}

void browser_host::on_navigation_completed(const navigation_outcome& outcome) {
  if (own_page_id && outcome.navigation_id == *own_page_id) {
    own_page_id.reset();
    return;
  }
  if (outcome.succeeded) {
    consecutive_failures = 0;
    hang.end();
    if (has_origin(outcome.uri, configuration.start_url)) last_good_uri = outcome.uri;
    return;
  }
  const std::string failure = "navigation failed: " + scheme_and_host(outcome.uri) + " web error " +
                              std::to_string(outcome.error) + ", http " +
                              std::to_string(outcome.http_status);
  // The server answered, the page stopped itself, a login, proxy or certificate prompt is in
  // front of the user, or another navigation replaced this one: the runtime's page stays.
  if (options.is_popup ||
      !means_app_unreachable(outcome.succeeded, outcome.http_status, outcome.error)) {
    log_event(failure + "; the runtime's page kept");
    return;
  }
  ++consecutive_failures;
  log_event(failure + "; built-in page shown, attempt " + std::to_string(consecutive_failures));
  unreachable_page_request request;
  request.web_error_status = outcome.error;
  request.consecutive_failures = consecutive_failures;
  request.retry_url = utf16_to_utf8(retry_uri_for(outcome.uri));
  show_unreachable_page(request);
}

void browser_host::show_unreachable_page(const unreachable_page_request& request) {
  if (!webview_) return;
  const std::string page = configuration.compose_unreachable_page(request);
  own_page_requested = true;
  own_page_id.reset();
  if (navigate_to_string(utf8_to_utf16(page)).has_error()) own_page_requested = false;
}

std::wstring browser_host::resume_uri() const {
  return last_good_uri.empty() ? configuration.start_url : last_good_uri;
}

// Only the app's own pages are retried, and none longer than a page's script may safely carry.
std::wstring browser_host::retry_uri_for(const std::wstring& uri) const {
  constexpr std::size_t longest_retry_uri = 2048;
  return has_origin(uri, configuration.start_url) && uri.size() <= longest_retry_uri
             ? uri
             : configuration.start_url;
}

}  // namespace webview::detail
