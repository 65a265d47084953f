// A window of Quendari's own for a page's window.open (a sign-in popup): an owned top-level window
// above the main window, holding one browser on the main browser's environment, which the opener
// keeps its link to. It follows its page's title and window.close(); the user can close it.
// UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "webview2/popup_request.h"
#include "win32/browser_host.h"
#include "win32/shell_configuration.h"

namespace webview::detail {

class popup_window : public std::enable_shared_from_this<popup_window>, private browser_host_owner {
 public:
  // `opener` is the main window's owner, which takes the popup's page messages, tasks and further
  // popups; `environment` is the main browser's. Held in a shared_ptr: tasks it posts find it
  // through a weak one.
  popup_window(browser_host_owner& opener, const shell_configuration& configuration,
               HWND main_window, ICoreWebView2Environment* environment,
               browser_host_options options);
  ~popup_window();
  popup_window(const popup_window&) = delete;
  popup_window& operator=(const popup_window&) = delete;

  // Makes the window and its browser with `scripts` registered, answers the request with it and
  // shows it. False, with everything made closed again and the request answered with nothing
  // (the page's window.open gives null), when any step fails.
  bool open(popup_request& request, const std::vector<std::wstring>& scripts);
  void close() noexcept;
  bool is_open() const noexcept { return window != nullptr; }

 private:
  // The client size the features ask for (CSS pixels at `dpi`), 500 x 700 without one, and where
  // it goes: the features' position kept on a monitor, or centred over the main window; never
  // larger than the monitor's work area.
  void place(const window_features& features);

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

  LRESULT handle_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  browser_host_owner& opener;
  const shell_configuration& configuration;
  HWND main_window;
  com_ptr<ICoreWebView2Environment> environment;
  COLORREF background;
  HWND window = nullptr;
  std::int32_t dpi = 96;
  bool is_minimized = false;
  std::unique_ptr<browser_host> browser;
  browser_host_options browser_options;
};

}  // namespace webview::detail
