#include "webview2/popup_request.h"

#include <utility>

#include "util/diagnostic_log.h"

namespace webview::detail {

window_features read_window_features(ICoreWebView2NewWindowRequestedEventArgs* args) {
  window_features wanted;
  com_ptr<ICoreWebView2WindowFeatures> features;
  if (!log_if_failed("get_WindowFeatures", args->get_WindowFeatures(features.put())) || !features) {
    return wanted;
  }
  BOOL has_size = FALSE;
  BOOL has_position = FALSE;
  wanted.has_size = log_if_failed("get_HasSize", features->get_HasSize(&has_size)) && has_size &&
                    log_if_failed("get_Width", features->get_Width(&wanted.width)) &&
                    log_if_failed("get_Height", features->get_Height(&wanted.height));
  wanted.has_position =
      log_if_failed("get_HasPosition", features->get_HasPosition(&has_position)) && has_position &&
      log_if_failed("get_Left", features->get_Left(&wanted.left)) &&
      log_if_failed("get_Top", features->get_Top(&wanted.top));
  return wanted;
}

popup_request::popup_request(com_ptr<ICoreWebView2NewWindowRequestedEventArgs> args,
                             com_ptr<ICoreWebView2Deferral> deferral, window_features features,
                             std::string where)
    : args(std::move(args)),
      deferral(std::move(deferral)),
      features_(features),
      where_(std::move(where)) {}

popup_request::~popup_request() { complete(); }

bool popup_request::set_new_window(ICoreWebView2* webview) {
  return args && log_if_failed("put_NewWindow", args->put_NewWindow(webview));
}

void popup_request::complete() noexcept {
  if (deferral) log_if_failed("Complete", deferral->Complete());
  deferral.reset();
  args.reset();
}

}  // namespace webview::detail
