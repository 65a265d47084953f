#include <utility>

#include "engine/bridge_script.h"
#include "loader/environment_creation.h"
#include "util/diagnostic_log.h"
#include "util/module_path.h"
#include "util/text_encoding.h"
#include "webview2/user_data_folder.h"
#include "win32/browser_failure_message.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {

void win32_edge_engine::embed(bool debug) {
  browser_host_options options;
  options.parent = widget_window;
  options.dev_tools = debug;
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
  std::wstring app_data;
  if (!roaming_app_data_folder(app_data)) {
    return error_detail{error_unspecified, "SHGetKnownFolderPath failed"};
  }
  user_data_folder = join_path(app_data, file_name_part(executable_path()));
  zoom_file_path = join_path(user_data_folder, L"zoom.txt");
  window_file_path = join_path(user_data_folder, L"window.txt");
  log_event("data folder: " + utf16_to_utf8(user_data_folder));
  return {};
}

HRESULT win32_edge_engine::create_environment(
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  return detail::create_environment(loader_module, user_data_folder.c_str(), handler);
}

void win32_edge_engine::post_task(std::function<void()> task) {
  const noresult posted = dispatch_impl(std::move(task));
  if (posted.has_error()) log_event("a browser task was dropped: " + posted.error().message);
}

void win32_edge_engine::on_page_message(const std::string& message) { on_message(message); }

void win32_edge_engine::on_page_full_screen(bool on) { set_fullscreen(on); }

// The bridge first, then the application's scripts, as at the first start.
void win32_edge_engine::on_browser_replaced() {
  for (auto& script : user_scripts) script = add_user_script_impl(script.get_code());
}

void win32_edge_engine::on_browser_lost(HRESULT failure) {
  show_browser_failure(main_window, configuration.window_title, failure);
  if (owns_window && main_window) DestroyWindow(main_window);
}

}  // namespace webview::detail
