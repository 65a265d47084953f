// A page's window.open that Quendari answers with a window of its own: the request's arguments
// and its deferral, kept past the event so that the window and its browser can be made from the
// run loop. The request is decided when the deferral completes: by complete(), after the new web
// view was set, or otherwise when the object goes, with nothing set (window.open gives null).
#pragma once

#include <windows.h>

#include <string>

#include "util/com_ptr.h"
#include "webview2/webview2_abi.h"

namespace webview::detail {

// What window.open asked for, in the page's CSS pixels.
struct window_features {
  bool has_size = false;
  UINT32 width = 0;
  UINT32 height = 0;
  bool has_position = false;
  UINT32 left = 0;
  UINT32 top = 0;
};

// The request's features; none (and logged) when they cannot be read.
window_features read_window_features(ICoreWebView2NewWindowRequestedEventArgs* args);

class popup_request {
 public:
  popup_request(com_ptr<ICoreWebView2NewWindowRequestedEventArgs> args,
                com_ptr<ICoreWebView2Deferral> deferral, window_features features,
                std::string where);
  ~popup_request();
  popup_request(const popup_request&) = delete;
  popup_request& operator=(const popup_request&) = delete;

  const window_features& features() const noexcept { return features_; }
  // Scheme and host of the requested page, for the log.
  const std::string& where() const noexcept { return where_; }
  // Hands `webview` to the opener as its new window; false (and logged) when the runtime refuses.
  bool set_new_window(ICoreWebView2* webview);
  void complete() noexcept;

 private:
  com_ptr<ICoreWebView2NewWindowRequestedEventArgs> args;
  com_ptr<ICoreWebView2Deferral> deferral;
  window_features features_;
  std::string where_;
};

}  // namespace webview::detail
