// Hears that an environment's browser processes are gone and have released everything, the
// user-data folder included (ICoreWebView2Environment5's BrowserProcessExited). Owned by the
// environment it is registered with.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "util/com_ptr.h"
#include "webview2/com_callback.h"

namespace webview::detail {

class browser_exit_watch final
    : public com_callback<ICoreWebView2BrowserProcessExitedEventHandler,
                          IID_ICoreWebView2BrowserProcessExitedEventHandler> {
 public:
  explicit browser_exit_watch(std::function<void()> on_exit) : on_exit(std::move(on_exit)) {}

 private:
  void invoke(ICoreWebView2Environment*, ICoreWebView2BrowserProcessExitedEventArgs*) override {
    on_exit();
  }

  std::function<void()> on_exit;
};

// One registration of a browser_exit_watch on an environment, on runtimes that have
// ICoreWebView2Environment5 (1.0.992 and later), removed when this goes. It keeps the
// environment, so that the event still comes after the browser objects are closed.
class environment_exit {
 public:
  explicit environment_exit(ICoreWebView2Environment* environment);
  ~environment_exit();
  environment_exit(const environment_exit&) = delete;
  environment_exit& operator=(const environment_exit&) = delete;

  // False on runtimes without the event (or when registering it failed).
  bool is_heard() const noexcept { return static_cast<bool>(environment); }
  bool has_exited() const noexcept { return *exited; }

 private:
  com_ptr<ICoreWebView2Environment5> environment;
  EventRegistrationToken token{};
  std::shared_ptr<bool> exited = std::make_shared<bool>(false);
};

}  // namespace webview::detail
