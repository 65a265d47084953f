// The Windows engine: a top-level window (or a caller's window), a child window hosting a
// WebView2 browser and a message-only window for dispatched tasks. Everything except
// dispatch_impl runs on the thread that constructed the engine.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/engine_base.h"
#include "util/com_apartment_guard.h"
#include "util/com_ptr.h"
#include "util/loaded_library.h"
#include "webview2/navigation_watch.h"
#include "webview2/webview2_abi.h"
#include "win32/message_wait.h"
#include "win32/recovery_policy.h"

namespace webview::detail {

class webview2_com_handler;
class win32_edge_engine;

// What browser callbacks hold instead of the engine: they may run after the engine is gone (a
// completion that arrives after a failed construction), and then find `engine` null.
struct engine_link {
  win32_edge_engine* engine = nullptr;
};

struct window_size {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class win32_edge_engine : public engine_base {
 public:
  // Owned mode when `parent_window` is null; otherwise the caller's window, given as an HWND or
  // as a pointer to a variable holding one. Throws webview::exception when the engine cannot
  // come up, leaving no window able to reach it.
  win32_edge_engine(bool debug, void* parent_window);
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
  noresult embed(HWND widget, bool debug, std::function<void(std::string)> on_message);
  // The browser profile's folder and the files Quendari keeps beside it.
  noresult locate_user_data();
  // Shows the main window for the first time where it was left (window.txt) or, the first time
  // or when that place is gone, at the first-start size centred on its monitor's work area.
  void show_main_window();
  void save_window_placement();
  // Creates the environment, the controller and the web view in `widget`, waiting for them.
  noresult start_browser(HWND widget);
  // Settings, user agent, zoom and every watcher, on a browser start_browser delivered.
  noresult configure_browser();
  void show_browser();
  // Waits in the message loop until `done`, the browser fails, the widget goes, a quit request
  // or 30 seconds.
  wait_outcome wait_for_browser(const std::function<bool()>& done);
  void install_bridge_script(std::string_view post_function);

  // Recovery: what the browser reports while running, and what the engine does about it.
  void on_process_failed(COREWEBVIEW2_PROCESS_FAILED_KIND kind);
  void on_navigation_completed(const navigation_outcome& outcome);
  void recreate_browser();
  void reload_page();
  void ask_about_unresponsive_page();
  void show_unreachable_page(const std::string& line, const std::wstring& retry_uri,
                             int retry_seconds);
  std::wstring resume_uri() const;
  void fit_controller_to_widget();
  void fit_widget_to_main_window();
  void follow_theme();
  // The browser shows `background` before and between pages, where the runtime can.
  void apply_browser_background();
  void create_windows_and_embed(bool debug, void* parent_window);
  void tear_down(bool run_queued_tasks) noexcept;
  void save_zoom_factor() noexcept;
  void destroy_windows() noexcept;
  void forget_main_window(bool may_end_run_loop) noexcept;
  void discard_queued_tasks() noexcept;
  static void run_dispatched_task(LPARAM task) noexcept;

  LRESULT handle_main_window_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_widget_window_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message_window_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  com_apartment_guard com_apartment;
  HWND main_window = nullptr;
  HWND widget_window = nullptr;
  HWND message_window = nullptr;
  window_size min_size;
  window_size max_size;
  // Released by tear_down in the order handler, web view, controller.
  com_ptr<ICoreWebView2> webview;
  com_ptr<ICoreWebView2Controller> controller;
  com_ptr<webview2_com_handler> com_handler;
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
  std::shared_ptr<engine_link> link = std::make_shared<engine_link>();

  bool dev_tools = false;
  std::wstring user_data_folder;
  std::function<void(std::string)> message_callback;
  // Each start of the browser is a generation; callbacks of an older one are dropped.
  unsigned browser_generation = 0;
  // Set when the browser process is gone, until the next start: every wait ends at once.
  bool browser_failed = false;
  int browser_wait_depth = 0;
  action_budget recreations{3, 5 * 60 * 1000};
  action_budget reloads{3, 5 * 60 * 1000};
  hang_tracker hang;
  // The next NavigationCompleted is the built-in page's own and never counts as a failure.
  bool own_page_pending = false;
  int consecutive_failures = 0;
  std::wstring last_good_uri;
};

}  // namespace webview::detail
