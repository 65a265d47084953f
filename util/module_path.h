// The running executable's location, of any length.
#pragma once

#include <string>

namespace webview::detail {

// The executable's full path; empty on failure.
std::wstring executable_path();

}  // namespace webview::detail
