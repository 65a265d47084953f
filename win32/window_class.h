// Registering the engine's window classes.
#pragma once

#include <windows.h>

namespace webview::detail {

// Registers class `name` with the arrow cursor, `icon` and `small_icon` (either may be null). A
// class registered already (a second engine or popup in the process) is simply used; any other
// failure is logged.
void register_window_class(const wchar_t* name, WNDPROC procedure, HINSTANCE module, HICON icon,
                           HICON small_icon = nullptr);

}  // namespace webview::detail
