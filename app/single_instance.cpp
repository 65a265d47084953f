#include "app/single_instance.h"

#include "win32/show_request.h"

namespace quendari {

instance_lock::instance_lock(const std::wstring& name) noexcept
    : mutex_(CreateMutexW(nullptr, FALSE, name.c_str())),
      first_(!mutex_.is_open() || GetLastError() != ERROR_ALREADY_EXISTS) {}

bool bring_first_instance_forward(const wchar_t* window_class, const wchar_t* title,
                                  std::chrono::milliseconds patience) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(patience.count());
  HWND window = nullptr;
  // The first instance may itself be starting: its window comes a moment later.
  while (!(window = FindWindowW(window_class, title)) && GetTickCount64() < deadline) {
    Sleep(50);
  }
  if (!window) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  // This start was the user's action, so it may hand the foreground on.
  AllowSetForegroundWindow(process);
  // Posted: a first instance that hangs cannot hold this one. It shows the window itself, also
  // from the notification area, where this process could not reach its browser.
  return PostMessageW(window, webview::detail::show_request_message(window_class), 0, 0) != FALSE;
}

}  // namespace quendari
