#include <memory>
#include <utility>

#include "util/exception_barrier.h"
#include "win32/win32_edge_engine.h"

namespace webview::detail {
namespace {

using task_type = std::function<void()>;

}  // namespace

noresult win32_edge_engine::run_impl() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return {};
}

noresult win32_edge_engine::terminate_impl() {
  PostQuitMessage(0);
  return {};
}

noresult win32_edge_engine::dispatch_impl(std::function<void()> task) {
  // Without the message window a null handle would post to the thread, where nothing frees it.
  if (!message_window) return error_detail{error_invalid_state, "No message window"};
  auto copy = std::make_unique<task_type>(std::move(task));
  // Once posted, the message owns the copy; a copy that could not be posted (a full message
  // queue) is freed here and never runs.
  if (!PostMessageW(message_window, WM_APP, 0, reinterpret_cast<LPARAM>(copy.get()))) {
    return error_detail{error_unspecified, "PostMessageW failed"};
  }
  copy.release();
  return {};
}

// A task that throws is abandoned: the exception must not cross DispatchMessageW.
void win32_edge_engine::run_dispatched_task(LPARAM task) noexcept {
  if (!task) return;
  const std::unique_ptr<task_type> owned(reinterpret_cast<task_type*>(task));
  call_without_throwing([&] {
    if (*owned) (*owned)();
  });
}

void win32_edge_engine::discard_queued_tasks() noexcept {
  if (!message_window) return;
  MSG msg{};
  while (PeekMessageW(&msg, message_window, WM_APP, WM_APP, PM_REMOVE)) {
    delete reinterpret_cast<task_type*>(msg.lParam);
  }
}

void win32_edge_engine::deplete_run_loop_event_queue() {
  bool done = false;
  // A marker that could not be posted (no message window, a full queue) would never arrive.
  if (dispatch_impl([&done] { done = true; }).has_error()) return;
  bool quit_requested = false;
  WPARAM quit_code = 0;
  MSG msg{};
  while (!done) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else if (got == 0) {
      quit_requested = true;
      quit_code = msg.wParam;
    }
  }
  // A quit request consumed here belongs to the loop outside; hand it back.
  if (quit_requested) PostQuitMessage(static_cast<int>(quit_code));
}

}  // namespace webview::detail
