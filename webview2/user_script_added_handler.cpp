#include "webview2/user_script_added_handler.h"

#include <utility>

namespace webview::detail {

webview2_user_script_added_handler::webview2_user_script_added_handler(
    script_added_type script_added)
    : script_added(std::move(script_added)) {}

void webview2_user_script_added_handler::invoke(HRESULT error_code, LPCWSTR id) {
  script_added(error_code, id);
}

}  // namespace webview::detail
