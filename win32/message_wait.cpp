#include "win32/message_wait.h"

#include <windows.h>

namespace webview::detail {

wait_outcome pump_messages_until(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    MSG msg{};
    while (!done() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return wait_outcome::quit_requested;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return wait_outcome::done;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return wait_outcome::timed_out;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

}  // namespace webview::detail
