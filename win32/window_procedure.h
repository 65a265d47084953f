// The one window procedure of every engine window. The owner's pointer travels in
// CreateWindowExW's creation parameter and lives in GWLP_USERDATA from WM_NCCREATE to
// WM_DESTROY; every message in between, those two included, goes to the owner's flat message
// switch `handle`. Outside that span, and for a window whose owner has let go of it, messages go
// to DefWindowProcW. No exception crosses into the system (0 is returned instead).
#pragma once

#include <windows.h>

#include "util/exception_barrier.h"

namespace webview::detail {

template <typename Owner, LRESULT (Owner::*handle)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return call_without_throwing<LRESULT>(0, [&]() -> LRESULT {
    Owner* owner = nullptr;
    if (message == WM_NCCREATE) {
      owner = static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    } else {
      owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (owner == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_DESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return (owner->*handle)(hwnd, message, wparam, lparam);
  });
}

}  // namespace webview::detail
