// An event that carries nothing but its occurrence (the document's title changed, the page asked
// to close its window, a newer runtime was installed), passed on as a call. Owned by the object
// it is registered with, its `Sender`.
#pragma once

#include <functional>
#include <utility>

#include "webview2/com_callback.h"

namespace webview::detail {

template <typename Interface, const IID& interface_id, typename Sender = ICoreWebView2>
class signal_watch final : public com_callback<Interface, interface_id> {
 public:
  explicit signal_watch(std::function<void(Sender*)> on_signal) : on_signal(std::move(on_signal)) {}

 private:
  void invoke(Sender* sender, IUnknown*) override { on_signal(sender); }

  std::function<void(Sender*)> on_signal;
};

using title_watch = signal_watch<ICoreWebView2DocumentTitleChangedEventHandler,
                                 IID_ICoreWebView2DocumentTitleChangedEventHandler>;
using close_watch = signal_watch<ICoreWebView2WindowCloseRequestedEventHandler,
                                 IID_ICoreWebView2WindowCloseRequestedEventHandler>;
using new_version_watch =
    signal_watch<ICoreWebView2NewBrowserVersionAvailableEventHandler,
                 IID_ICoreWebView2NewBrowserVersionAvailableEventHandler, ICoreWebView2Environment>;

}  // namespace webview::detail
