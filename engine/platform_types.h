// The two platform types that the engine's operations name. On Windows they are the real ones;
// elsewhere they are opaque, so the engine core builds and is tested natively as the same code.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
struct HWND__;
typedef HWND__* HWND;
#endif

struct ICoreWebView2Controller;
