// The page's zoom factor kept between runs in a small text file ("zoom.txt" in the browser's
// user-data folder): the factor as "%.4f" ASCII text, classic locale, nothing else. Only factors
// from 0.25 to 5.0 are written or read back. All functions run on the UI thread and report
// nothing: every failure leaves the stored factor as it was.
#pragma once

#include <string>

#include "webview2/com_callback.h"

namespace webview::detail {

// The stored factor, or 0 when the file is missing or unreadable or its first 31 bytes do not
// start (after white space) with a number from 0.25 to 5.0. Locale-independent.
double read_zoom_file(const std::wstring& path);

// Replaces the file's content with `factor` when it is within range and `path` is not empty.
// The text goes to "<path>.tmp" first and is then moved over the file, so an interrupted save
// leaves the old content, never an empty or partial file. The folder is never created: a missing
// folder means nothing is written.
void save_zoom(const std::wstring& path, double factor);

// Saves the controller's zoom factor on every change and sets it back on the controller, so that
// a navigation keeps it instead of resetting it. Owned by the controller it is registered with;
// keeps its own copy of the path and nothing else.
class zoom_watch final : public com_callback<ICoreWebView2ZoomFactorChangedEventHandler,
                                             IID_ICoreWebView2ZoomFactorChangedEventHandler> {
 public:
  explicit zoom_watch(std::wstring zoom_path);

 private:
  void invoke(ICoreWebView2Controller* sender, IUnknown* args) override;

  std::wstring zoom_path;
};

}  // namespace webview::detail
