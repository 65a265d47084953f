#include <algorithm>
#include <string>
#include <utility>

#include "engine/bridge_script.h"
#include "loader/environment_creation.h"
#include "util/diagnostic_log.h"
#include "util/number_text.h"
#include "util/text_encoding.h"
#include "webview2/user_data_folder.h"
#include "webview2/user_script_impl.h"
#include "win32/browser_failure_message.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

constexpr std::size_t max_popups = 4;

}  // namespace

void win32_edge_engine::embed(bool debug) {
  dev_tools = debug;
  browser_host_options options;
  options.parent = widget_window;
  options.dev_tools = debug;
  options.signin_hosts = configuration.signin_hosts;
  options.takes_focus = owns_window;
  options.zoom_file_path = zoom_file_path;
  options.background = background;
  browser_host_owner& owner = *this;
  main_browser = std::make_unique<browser_host>(owner, configuration, std::move(options));
  main_browser->start().throw_if_error();
  add_user_script(compose_bootstrap_script(webview2_post_function));
  main_browser->show();
}

noresult win32_edge_engine::locate_user_data() {
  user_data_folder = application_data_folder();
  if (user_data_folder.empty()) {
    return error_detail{error_unspecified, "SHGetKnownFolderPath failed"};
  }
  zoom_file_path = join_path(user_data_folder, L"zoom.txt");
  window_file_path = join_path(user_data_folder, L"window.txt");
  settings_file_path = join_path(user_data_folder, L"settings.txt");
  log_event("data folder: " + utf16_to_utf8(user_data_folder));
  return {};
}

HRESULT win32_edge_engine::create_environment(
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  // The browser's very first frame: the API's colour comes too late for it and can still leave a
  // white flash, which the runtime's variable, read when the environment is made, avoids.
  std::wstring colour = L"FF";
  append_hex(colour, GetRValue(background), 2);
  append_hex(colour, GetGValue(background), 2);
  append_hex(colour, GetBValue(background), 2);
  if (!SetEnvironmentVariableW(L"WEBVIEW2_DEFAULT_BACKGROUND_COLOR", colour.c_str())) {
    log_if_failed("SetEnvironmentVariableW", HRESULT_FROM_WIN32(GetLastError()));
  }
  // The search made before the windows serves the first browser only: one made later (after a
  // failure, or for a newer runtime) searches again.
  const std::optional<runtime_install> found = std::exchange(runtime_found, std::nullopt);
  return detail::create_environment(loader_module, user_data_folder.c_str(), handler,
                                    found ? &*found : nullptr);
}

void win32_edge_engine::post_task(std::function<void()> task) {
  const noresult posted = dispatch_impl(std::move(task));
  if (posted.has_error()) log_event("a browser task was dropped: " + posted.error().message);
}

void win32_edge_engine::on_page_full_screen(bool on) { set_fullscreen(on); }

// The bridge first, then the application's scripts, as at the first start.
void win32_edge_engine::on_browser_replaced() {
  for (auto& script : user_scripts) script = add_user_script_impl(script.get_code());
}

void win32_edge_engine::on_browser_lost(HRESULT failure) {
  show_browser_failure(main_window, configuration.window_title, failure);
  if (owns_window && main_window) DestroyWindow(main_window);
}

void win32_edge_engine::open_popup(std::shared_ptr<popup_request> request) {
  popups.erase(std::remove_if(popups.begin(), popups.end(),
                              [](const auto& popup) { return !popup->is_open(); }),
               popups.end());
  if (popups.size() >= max_popups) {
    log_event("popup refused, " + std::to_string(max_popups) +
              " open already: " + request->where());
    return;
  }
  if (!main_window || !main_browser || !main_browser->environment()) {
    log_event("popup refused, no browser to open it beside: " + request->where());
    return;
  }
  browser_host_options options;
  options.dev_tools = dev_tools;
  options.background = background;
  options.is_popup = true;
  options.signin_hosts = configuration.signin_hosts;
  browser_host_owner& owner = *this;
  auto popup = std::make_shared<popup_window>(owner, configuration, main_window,
                                              main_browser->environment(), std::move(options));
  // The application's scripts (the bridge, the page marks) run in its popups too.
  std::vector<std::wstring> scripts;
  for (const auto& script : user_scripts) scripts.push_back(script.get_impl()->code_utf16);
  // Counted while it opens: the browser's start runs the message loop, where the next request
  // may already be waiting.
  popups.push_back(popup);
  if (!popup->open(*request, scripts)) popups.erase(std::find(popups.begin(), popups.end(), popup));
}

// Only popups follow their page's window.close().
void win32_edge_engine::on_page_close_requested() {}

bool win32_edge_engine::has_open_popup() {
  return std::any_of(popups.begin(), popups.end(),
                     [](const auto& popup) { return popup->is_open(); });
}

void win32_edge_engine::close_popups() noexcept {
  for (const auto& popup : popups) popup->close();
  popups.clear();
}

}  // namespace webview::detail
