// The Windows engine: a top-level window (or a caller's window), a child window hosting the
// main browser and a message-only window for dispatched tasks. Everything except dispatch_impl
// runs on the thread that constructed the engine.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_base.h"
#include "util/com_apartment_guard.h"
#include "util/loaded_library.h"
#include "webview2/webview2_abi.h"
#include "win32/browser_host.h"
#include "win32/popup_window.h"
#include "win32/shell_configuration.h"

namespace webview::detail {

class win32_edge_engine : public engine_base, private browser_host_owner {
 public:
  // Owned mode when `parent_window` is null; otherwise the caller's window, given as an HWND or
  // as a pointer to a variable holding one. Throws webview::exception when the engine cannot
  // come up, leaving no window able to reach it.
  win32_edge_engine(shell_configuration configuration, bool debug, void* parent_window);
  ~win32_edge_engine() override;

  noresult navigate_impl(const std::string& url) override;
  result<HWND> window_impl() override;
  result<HWND> widget_impl() override;
  result<ICoreWebView2Controller*> browser_controller_impl() override;
  noresult run_impl() override;
  noresult terminate_impl() override;
  noresult dispatch_impl(std::function<void()> task) override;
  noresult set_title_impl(const std::string& title) override;
  noresult set_size_impl(std::int32_t width, std::int32_t height, size_hint hint) override;
  noresult set_html_impl(const std::string& html) override;
  noresult eval_impl(const std::string& js) override;
  user_script add_user_script_impl(const std::string& code) override;
  void remove_all_user_scripts_impl(const std::list<user_script>& scripts) override;
  bool are_user_scripts_equal_impl(const user_script& first, const user_script& second) override;

  // Returns once every task dispatched before the call has run.
  void deplete_run_loop_event_queue();
  void set_fullscreen(bool on);

 private:
  // The main browser in the widget window, with the bridge script, shown.
  void embed(bool debug);
  // The browser profile's folder and the files Quendari keeps beside it.
  noresult locate_user_data();
  // Shows the main window for the first time where it was left (window.txt) or, the first time
  // or when that place is gone, at the first-start size centred on its monitor's work area.
  void show_main_window();
  void save_window_placement();
  void fit_widget_to_main_window();
  void follow_theme();
  void create_windows_and_embed(bool debug, void* parent_window);
  void tear_down(bool run_queued_tasks) noexcept;
  void destroy_windows() noexcept;
  void forget_main_window(bool may_end_run_loop) noexcept;
  void discard_queued_tasks() noexcept;
  static void run_dispatched_task(LPARAM task) noexcept;

  HRESULT create_environment(
      ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) override;
  void post_task(std::function<void()> task) override;
  void on_page_message(const std::string& message) override;
  void on_page_full_screen(bool on) override;
  void on_browser_replaced() override;
  void on_browser_lost(HRESULT failure) override;
  void open_popup(std::shared_ptr<popup_request> request) override;
  void on_page_title(const std::wstring& title) override;
  void on_page_close_requested() override;
  void close_popups() noexcept;

  LRESULT handle_main_window_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_widget_window_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message_window_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  const shell_configuration configuration;
  com_apartment_guard com_apartment;
  HWND main_window = nullptr;
  HWND widget_window = nullptr;
  HWND message_window = nullptr;
  window_size min_size;
  window_size max_size;
  std::unique_ptr<browser_host> main_browser;
  // At most four open at once; closed ones are dropped when the next one opens.
  std::vector<std::shared_ptr<popup_window>> popups;
  bool dev_tools = false;
  std::wstring user_data_folder;
  std::wstring zoom_file_path;
  std::wstring window_file_path;
  bool is_fullscreen = false;
  bool is_minimized = false;
  COLORREF background = RGB(0xFF, 0xFF, 0xFF);
  LONG saved_style = 0;
  LONG saved_ex_style = 0;
  WINDOWPLACEMENT saved_placement{};
  loaded_library loader_module;
  std::int32_t dpi = 0;
  bool owns_window = false;
};

}  // namespace webview::detail
