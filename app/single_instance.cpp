#include "app/single_instance.h"

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
  // Asynchronous: a first instance that hangs cannot hold this one.
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  SetForegroundWindow(window);
  return true;
}

}  // namespace quendari
