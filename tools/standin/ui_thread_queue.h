// Delivery on the thread that started the work: a hidden message-only window created on that
// thread, whose window procedure runs queued tasks. Tasks therefore run only from inside that
// thread's message dispatch, in the order posted (timed tasks when their timer fires), never
// inside the call that posts them. Create, post and destroy on the owning thread only.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace webview::detail::standin {

class ui_thread_queue : public std::enable_shared_from_this<ui_thread_queue> {
 public:
  using task = std::function<void()>;

  // Null when the window cannot be created.
  static std::shared_ptr<ui_thread_queue> create();

  explicit ui_thread_queue(HWND window) noexcept : window(window) {}
  ui_thread_queue(const ui_thread_queue&) = delete;
  ui_thread_queue& operator=(const ui_thread_queue&) = delete;
  // Destroys the window; tasks that never ran are dropped (releasing what they hold).
  ~ui_thread_queue() noexcept;

  void post(task work);
  void post_after(unsigned delay_ms, task work);

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void run_next();
  void run_timer(UINT_PTR id);
  void keep_alive_while_busy();
  void release_when_idle();

  HWND window;
  std::deque<task> pending;
  std::map<UINT_PTR, task> timers;
  UINT_PTR next_timer_id = 1;
  // Set while tasks or timers are pending: the posting objects may all be gone by then.
  std::shared_ptr<ui_thread_queue> busy_self;
};

}  // namespace webview::detail::standin
