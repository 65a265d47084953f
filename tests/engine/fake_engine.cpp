#include "tests/engine/fake_engine.h"

namespace webview::detail {

void user_script_impl_deleter::operator()(user_script_impl* impl) const noexcept { delete impl; }

}  // namespace webview::detail
