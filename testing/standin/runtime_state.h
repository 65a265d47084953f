// What the stand-in keeps for the whole process: the log, the scenario (both named by
// environment variables, read once on first use), the counters that pick each call's scenario
// step, and one delivery queue per thread. Each module of the stand-in in the process has its
// own, sharing the counters. Safe to use from any thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "testing/standin/call_log.h"
#include "testing/standin/process_shared.h"
#include "testing/standin/scenario.h"
#include "testing/standin/ui_thread_queue.h"

namespace standin {

extern const wchar_t* const log_variable;       // QUENDARI_STANDIN_LOG
extern const wchar_t* const scenario_variable;  // QUENDARI_STANDIN_SCENARIO

// The host process's variable `name`; empty when it is not set.
std::wstring environment_variable(const wchar_t* name);

class runtime_state {
 public:
  static runtime_state& get();
  // The state if get() already made it, else null; makes nothing, so DllMain may call it.
  static runtime_state* existing() noexcept;
  ~runtime_state();

  call_log& log() { return calls; }
  const scenario& plan() const { return played; }

  // Counted for the whole process, across the stand-in's modules (process_shared.h).
  std::size_t next_start_index() { return shared().starts++; }
  std::size_t next_controller_index() { return shared().controllers++; }
  std::size_t next_script_index() { return shared().scripts++; }
  std::size_t next_navigation_index() { return shared().navigations++; }
  std::uint64_t next_navigation_id() { return ++shared().navigation_ids; }
  std::int64_t next_webview_id() { return ++shared().webviews; }

  // The calling thread's queue, created on first use; null when it cannot be created.
  std::shared_ptr<ui_thread_queue> queue_for_current_thread();

 private:
  runtime_state();

  call_log calls;
  scenario played;
  std::mutex queues_lock;
  // Weak: a queue lives as long as the objects that deliver through it.
  std::map<DWORD, std::weak_ptr<ui_thread_queue>> queues;
};

// Writes one call line: interface, method, args, result. Returns `result`.
HRESULT log_call(const char* interface_name, const char* method, const log_fields& args,
                 HRESULT result);
void log_note(const char* note, const log_fields& args);

}  // namespace standin
