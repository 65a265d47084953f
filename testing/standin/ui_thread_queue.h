// Delivery on the thread that started the work: a hidden message-only window created on that
// thread, whose window procedure runs queued tasks. Tasks therefore run only from inside that
// thread's message dispatch, in the order posted (timed tasks when their timer fires), never
// inside the call that posts them. Create, post and destroy on the owning thread only.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <type_traits>
#include <utility>

#include "testing/standin/module_use.h"

namespace standin {

class ui_thread_queue : public std::enable_shared_from_this<ui_thread_queue> {
 public:
  // A queued callable. Move-only, unlike std::function, so that a task can own COM references
  // (com_ptr), which cannot be copied.
  class task {
   public:
    template <typename Work, typename = std::enable_if_t<!std::is_same_v<std::decay_t<Work>, task>>>
    task(Work work) : body(std::make_unique<holder<Work>>(std::move(work))) {}

    void operator()() { body->run(); }

   private:
    struct runnable {
      virtual ~runnable() = default;
      virtual void run() = 0;
    };
    template <typename Work>
    struct holder final : runnable {
      explicit holder(Work work) : work(std::move(work)) {}
      void run() override { work(); }
      Work work;
    };

    std::unique_ptr<runnable> body;
  };

  // Null when the window cannot be created.
  static std::shared_ptr<ui_thread_queue> create();

  explicit ui_thread_queue(HWND window) noexcept : window(window) {}
  ui_thread_queue(const ui_thread_queue&) = delete;
  ui_thread_queue& operator=(const ui_thread_queue&) = delete;
  // Destroys the window (and its class with the last one: the DLL may be unloaded next); tasks
  // that never ran are dropped (releasing what they hold).
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
  module_use in_use;
};

}  // namespace standin
