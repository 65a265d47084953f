// A web view event that carries nothing but its occurrence (the document's title changed, the page
// asked to close its window), passed on as a call. Owned by the web view it is registered with.
#pragma once

#include <functional>
#include <utility>

#include "webview2/com_callback.h"

namespace webview::detail {

template <typename Interface, const IID& interface_id>
class signal_watch final : public com_callback<Interface, interface_id> {
 public:
  explicit signal_watch(std::function<void(ICoreWebView2*)> on_signal)
      : on_signal(std::move(on_signal)) {}

 private:
  void invoke(ICoreWebView2* sender, IUnknown*) override { on_signal(sender); }

  std::function<void(ICoreWebView2*)> on_signal;
};

using title_watch = signal_watch<ICoreWebView2DocumentTitleChangedEventHandler,
                                 IID_ICoreWebView2DocumentTitleChangedEventHandler>;
using close_watch = signal_watch<ICoreWebView2WindowCloseRequestedEventHandler,
                                 IID_ICoreWebView2WindowCloseRequestedEventHandler>;

}  // namespace webview::detail
