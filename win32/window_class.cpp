#include "win32/window_class.h"

#include "util/diagnostic_log.h"

namespace webview::detail {

void register_window_class(const wchar_t* name, WNDPROC procedure, HINSTANCE module, HICON icon,
                           HICON small_icon) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = module;
  window_class.hIcon = icon;
  window_class.hIconSm = small_icon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = name;
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    log_if_failed("RegisterClassExW", HRESULT_FROM_WIN32(GetLastError()));
  }
}

}  // namespace webview::detail
