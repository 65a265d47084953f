#include "webview2/user_script_impl.h"

namespace webview::detail {

void user_script_impl_deleter::operator()(user_script_impl* impl) const noexcept { delete impl; }

}  // namespace webview::detail
