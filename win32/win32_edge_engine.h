// The Windows engine: a top-level window (or a caller's window), a child window hosting the
// main browser and a message-only window for dispatched tasks. Everything except dispatch_impl
// runs on the thread that constructed the engine.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine_base.h"
#include "engine/settings_text.h"
#include "loader/runtime_discovery.h"
#include "util/com_apartment_guard.h"
#include "util/loaded_library.h"
#include "webview2/webview2_abi.h"
#include "win32/browser_host.h"
#include "win32/notification_icon.h"
#include "win32/taskbar_badge.h"
#include "win32/popup_window.h"
#include "win32/shell_configuration.h"
#include "win32/unread_badge.h"

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
  // Places the main window where it was left (window.txt) or, the first time or when that place
  // is gone, at the first-start size centred on its monitor's work area; shows it when `visible`.
  void place_main_window(bool visible);
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
  void on_page_message(const page_message& message) override;
  void on_page_full_screen(bool on) override;
  void on_browser_replaced() override;
  void on_browser_lost(HRESULT failure) override;
  void open_popup(std::shared_ptr<popup_request> request) override;
  void on_page_title(const std::wstring& title) override;
  void on_page_close_requested() override;
  void on_newer_runtime() override;
  void on_page_notification(page_notification received) override;
  // A balloon of the shown notification was clicked, timed out or closed.
  void on_balloon_event(UINT event);
  // Lets the shown notification go, telling the page it closed when `report_closed`.
  void end_notification(bool report_closed) noexcept;
  // The unread count the page set through the Badging API; nullopt: none, 0: the dot.
  void set_app_badge(std::optional<unsigned> count);
  void close_popups() noexcept;
  bool has_open_popup();

  // What the first page does not wait for: posted once its navigation has been asked for.
  void after_first_navigation();
  void finish_start();
  void set_large_icon();

  // Staying in the notification area and starting with Windows (notification_area.cpp).
  void start_notification_area();
  void load_settings();
  void on_system_command(UINT command);
  void check_system_menu_items(HMENU menu);
  void set_keep_running(bool on);
  void sync_notification_icon();
  void on_notification_icon_event(WPARAM wparam, LPARAM lparam);
  // The user's close: hidden in the notification area when it is kept running.
  void on_close_requested();
  void close_for_real();
  void hide_in_notification_area();
  void show_from_notification_area();
  // Messages registered at run time; false when `message` is none of them.
  bool handle_registered_message(UINT message);

  // A newer runtime taken while nobody is using the window (runtime_update.cpp).
  void attention_changed();
  void schedule_runtime_update();
  void on_runtime_update_timer();

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
  // Hidden in the notification area (closed while kept running, or started at sign-in).
  bool is_hidden = false;
  // How the hidden window is shown again: maximized when it was left so before a start at sign-in.
  int show_command = SW_SHOW;
  std::wstring settings_file_path;
  settings_text settings;
  bool settings_loaded = false;
  // A settings.txt too large to have been read whole is never rewritten.
  bool settings_writable = true;
  bool keep_running = false;
  std::unique_ptr<notification_icon> tray_icon;
  UINT taskbar_created_message = 0;
  UINT show_request = 0;
  std::unique_ptr<taskbar_badge> badge;
  UINT taskbar_button_created = 0;
  // Once the page set a badge itself, its titles no longer do.
  bool page_sets_badge = false;
  std::optional<page_notification> shown_notification;
  std::optional<EventRegistrationToken> notification_close_token;
  bool runtime_update_pending = false;
  // GetTickCount64 when the window was last hidden or minimized; 0 while it is in use.
  std::uint64_t unattended_since = 0;
  COLORREF background = RGB(0xFF, 0xFF, 0xFF);
  LONG saved_style = 0;
  LONG saved_ex_style = 0;
  WINDOWPLACEMENT saved_placement{};
  loaded_library loader_module;
  // The runtime found before the windows were made, until the first browser starts it.
  std::optional<runtime_install> runtime_found;
  bool first_navigation_asked = false;
  // The window's ICON_BIG, for the taskbar and Alt+Tab at any scale.
  unique_icon large_icon;
  std::int32_t dpi = 0;
  bool owns_window = false;
};

}  // namespace webview::detail
