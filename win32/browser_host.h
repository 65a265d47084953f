// One WebView2 browser in one parent window: its controller, web view and callback objects, their
// event registrations, the page policy, and what it does when the browser's processes fail.
// Everything runs on the UI thread of the window that holds it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "util/com_ptr.h"
#include "webview2/browser_exit_watch.h"
#include "webview2/navigation_watch.h"
#include "webview2/notification_watch.h"
#include "webview2/popup_request.h"
#include "webview2/process_failed_watch.h"
#include "webview2/webview2_abi.h"
#include "win32/message_wait.h"
#include "win32/recovery_policy.h"
#include "win32/shell_configuration.h"

namespace webview::detail {

class webview2_com_handler;
class browser_host;
struct browser_host_link;

// A string message a page posted: its text, the URI of the document that posted it, and the
// browser to answer it in, whose `host` is null once that browser closed.
struct page_message {
  std::string text;
  std::wstring source;
  std::shared_ptr<browser_host_link> from;
};

// What a browser host asks of the window that holds it. The holder outlives the host.
class browser_host_owner {
 public:
  // Starts one environment creation that completes through `handler`, with the loader's
  // contract: non-negative when a completion follows.
  virtual HRESULT create_environment(
      ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) = 0;
  // Runs `task` on the UI thread after the current event has returned.
  virtual void post_task(std::function<void()> task) = 0;
  virtual void on_page_message(const page_message& message) = 0;
  virtual void on_page_full_screen(bool on) = 0;
  // A new browser replaced one that failed: whatever the holder had registered on the old one
  // (document-start scripts) is registered again, before the page is navigated.
  virtual void on_browser_replaced() = 0;
  // The browser failed and could not be brought back; `failure` is the start's HRESULT, or S_OK
  // for a popup's browser, which is never brought back.
  virtual void on_browser_lost(HRESULT failure) = 0;
  // The page asked for a popup of the application's own (from the run loop).
  virtual void open_popup(std::shared_ptr<popup_request> request) = 0;
  // The page's title changed.
  virtual void on_page_title(const std::wstring& title) = 0;
  // A popup's page ran window.close().
  virtual void on_page_close_requested() = 0;
  // A newer runtime was installed, or the page showed a notification; only the main browser
  // hears these.
  virtual void on_newer_runtime() {}
  virtual void on_page_notification(page_notification) {}

 protected:
  ~browser_host_owner() = default;
};

struct browser_host_options {
  HWND parent = nullptr;
  bool dev_tools = false;
  // Moves the keyboard focus into the browser when it is shown.
  bool takes_focus = true;
  // The page's zoom is kept in this file; empty: not kept.
  std::wstring zoom_file_path;
  COLORREF background = RGB(0xFF, 0xFF, 0xFF);
  // A popup's browser follows its page's title and window.close(), keeps the runtime's page for
  // a failed navigation and is not brought back when its browser process exits.
  bool is_popup = false;
  // The sign-in pages a sized window.open shows in a popup of the application's own.
  std::vector<std::wstring> signin_hosts;
};

// What the browser's callbacks hold instead of the host: they may run after it closed (a late
// completion of an older browser) and then find `host` null.
struct browser_host_link {
  browser_host* host = nullptr;
};

class browser_host {
 public:
  browser_host(browser_host_owner& owner, const shell_configuration& configuration,
               browser_host_options options);
  ~browser_host();
  browser_host(const browser_host&) = delete;
  browser_host& operator=(const browser_host&) = delete;

  // Creates the environment, the controller and the web view in the parent window and
  // configures them, waiting in the message loop (at most 30 seconds). The browser is not shown
  // yet. Failures: error_canceled when the parent went or a quit was asked for first, otherwise
  // the failing HRESULT as the platform code.
  noresult start();
  // Starts the browser again on the newest runtime, where its page was, once the old browser has
  // let go of the user-data folder. Not counted as a recovery.
  void restart_on_newer_runtime();
  // Fits the browser to its parent and makes it visible.
  void show();
  // Removes every event registration, closes the controller and releases every browser object.
  // Safe to call again; a later start() begins from nothing.
  void close() noexcept;

  ICoreWebView2Controller* controller() const noexcept { return controller_.get(); }
  ICoreWebView2* webview() const noexcept { return webview_.get(); }
  // The environment the browser runs on, which its popups share.
  ICoreWebView2Environment* environment() const noexcept { return environment_.get(); }

  noresult navigate(const std::wstring& uri);
  noresult navigate_to_string(const std::wstring& html);
  noresult execute_script(const std::wstring& script);
  // The browser's id for the registered script; empty when registration failed.
  std::wstring add_script(const std::wstring& code);
  void remove_script(const std::wstring& id);

  void fit_to_parent();
  // Hidden, the browser throttles the page.
  void set_visible(bool visible);
  void move_focus();
  void parent_moved();
  void set_background(COLORREF colour);
  // The zoom, saved where it is kept.
  void save_zoom() noexcept;

 private:
  struct registration {
    const char* remove_call;
    EventRegistrationToken token;
    std::function<HRESULT(EventRegistrationToken)> remove;
  };

  noresult create_browser();
  noresult configure();
  // The page's title, a popup's window.close(), the main browser's runtime updates and
  // notifications.
  void register_page_events();
  // Registers `watcher` with `add` and keeps the token for close(); a failure is logged.
  template <typename Watcher, typename Add, typename Remove>
  void register_event(const char* add_call, const char* remove_call, com_ptr<Watcher> watcher,
                      Add add, Remove remove);
  // Waits in the message loop until `done`, the browser fails, the parent goes, a quit request
  // or 30 seconds.
  wait_outcome wait_for_browser(const std::function<bool()>& done);
  void apply_background();

  // Recovery: what the browser reports while running, and what the host does about it.
  void on_process_failed(const process_failure& failure);
  void on_navigation_starting(UINT64 navigation_id);
  void on_navigation_completed(const navigation_outcome& outcome);
  void recreate();
  // Closes this browser and starts the next, waiting for the old one's exit first when
  // `wait_first`, else only when a start fails; shown, scripts registered again. False, the
  // holder told, when none could be started.
  bool replace_browser(bool wait_first);
  std::string browser_version() const;
  // A popup's browser is not brought back: its holder closes it.
  void give_up();
  void reload_page();
  void ask_about_unresponsive_page();
  void show_unreachable_page(const unreachable_page_request& request);
  std::wstring resume_uri() const;
  std::wstring retry_uri_for(const std::wstring& uri) const;
  // Runs `action` on this host later from the run loop, unless the host has gone by then.
  void post(void (browser_host::*action)());

  browser_host_owner& owner;
  const shell_configuration& configuration;
  browser_host_options options;
  // A new link for each browser started; close() cuts the old one.
  std::shared_ptr<browser_host_link> link;
  // Released by close() in the order handler, web view, controller, environment.
  com_ptr<webview2_com_handler> handler;
  com_ptr<ICoreWebView2> webview_;
  com_ptr<ICoreWebView2Controller> controller_;
  com_ptr<ICoreWebView2Environment> environment_;
  // Hears the main browser's environment end, from its start on: a re-creation may wait for it.
  std::unique_ptr<environment_exit> environment_exit_;
  std::vector<registration> registrations;
  // Set when the browser process is gone, until the next start: every wait ends at once.
  bool browser_failed = false;
  int wait_depth = 0;
  action_budget recreations{3, 5 * 60 * 1000};
  action_budget reloads{3, 5 * 60 * 1000};
  hang_tracker hang;
  // The built-in page's own navigation, told by its id, never counts as the app's: asked for
  // until it starts, then known by the id it started with.
  bool own_page_requested = false;
  std::optional<UINT64> own_page_id;
  int consecutive_failures = 0;
  std::wstring last_good_uri;
};

}  // namespace webview::detail
