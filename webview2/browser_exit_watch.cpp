#include "webview2/browser_exit_watch.h"

#include "util/diagnostic_log.h"

namespace webview::detail {

environment_exit::environment_exit(ICoreWebView2Environment* given) {
  if (!given ||
      FAILED(given->QueryInterface(IID_ICoreWebView2Environment5,
                                   reinterpret_cast<void**>(environment.put()))) ||
      !environment) {
    return;
  }
  const auto watch = com_ptr<browser_exit_watch>::adopt(
      new browser_exit_watch([exited = exited] { *exited = true; }));
  if (!log_if_failed("add_BrowserProcessExited",
                     environment->add_BrowserProcessExited(watch.get(), &token))) {
    environment.reset();
  }
}

environment_exit::~environment_exit() {
  if (environment) {
    log_if_failed("remove_BrowserProcessExited", environment->remove_BrowserProcessExited(token));
  }
}

}  // namespace webview::detail
