#include "testing/standin/ui_thread_queue.h"

#include "util/exception_barrier.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr UINT run_task_message = WM_APP + 1;
constexpr wchar_t class_name[] = L"quendari_standin_queue";

HINSTANCE this_module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}

}  // namespace

std::shared_ptr<ui_thread_queue> ui_thread_queue::create() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &ui_thread_queue::window_procedure;
  window_class.hInstance = this_module();
  window_class.lpszClassName = class_name;
  // A second registration fails with ERROR_CLASS_ALREADY_EXISTS, which is fine.
  RegisterClassExW(&window_class);
  const HWND window = CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      window_class.hInstance, nullptr);
  if (!window) return nullptr;
  auto queue = std::make_shared<ui_thread_queue>(window);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(queue.get()));
  return queue;
}

ui_thread_queue::~ui_thread_queue() noexcept {
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  // Fails while other threads' queues still use the class, which is fine.
  UnregisterClassW(class_name, this_module());
}

void ui_thread_queue::keep_alive_while_busy() {
  if (!busy_self) busy_self = shared_from_this();
}

void ui_thread_queue::release_when_idle() {
  if (pending.empty() && timers.empty()) busy_self.reset();
}

void ui_thread_queue::post(task work) {
  pending.push_back(std::move(work));
  keep_alive_while_busy();
  PostMessageW(window, run_task_message, 0, 0);
}

void ui_thread_queue::post_after(unsigned delay_ms, task work) {
  const UINT_PTR id = next_timer_id++;
  timers.emplace(id, std::move(work));
  keep_alive_while_busy();
  if (!SetTimer(window, id, delay_ms, nullptr)) {
    timers.erase(id);
    release_when_idle();
  }
}

void ui_thread_queue::run_next() {
  if (pending.empty()) return;
  // The task may release the last owner of this queue; keep it alive until the task is gone.
  const auto keep_alive = shared_from_this();
  task work = std::move(pending.front());
  pending.pop_front();
  call_without_throwing(work);
  release_when_idle();
}

void ui_thread_queue::run_timer(UINT_PTR id) {
  KillTimer(window, id);
  const auto found = timers.find(id);
  if (found == timers.end()) return;
  const auto keep_alive = shared_from_this();
  task work = std::move(found->second);
  timers.erase(found);
  call_without_throwing(work);
  release_when_idle();
}

LRESULT CALLBACK ui_thread_queue::window_procedure(HWND window, UINT message, WPARAM wparam,
                                                   LPARAM lparam) {
  return call_without_throwing(LRESULT{0}, [&]() -> LRESULT {
    auto* queue = reinterpret_cast<ui_thread_queue*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case run_task_message:
        if (queue) queue->run_next();
        return 0;
      case WM_TIMER:
        if (queue) queue->run_timer(wparam);
        return 0;
      default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
  });
}

}  // namespace standin
