// Quendari as the engine is told it: the start URL, names, first-start size and the built-in
// page, from the deployment values fixed when the build is configured.
#pragma once

#include "win32/shell_configuration.h"

namespace quendari {

// `in_background`: started by Windows at sign-in.
webview::detail::shell_configuration configuration(bool in_background);

}  // namespace quendari
