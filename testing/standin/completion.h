// Delivering one completion to the handler that the application gave with its call.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

#include "testing/standin/runtime_state.h"
#include "testing/standin/ui_thread_queue.h"
#include "util/com_ptr.h"

namespace standin {

using webview::detail::com_ptr;

// Calls handler->Invoke(invoke_args...), between a "completion" line and an "outcome" line that
// records the handler's result.
template <typename Handler, typename... InvokeArgs>
void complete(const char* name, const com_ptr<Handler>& handler, const log_fields& args,
              InvokeArgs... invoke_args) {
  call_log& log = runtime_state::get().log();
  log.write(log_fields().utf8("completion", name).object("args", args));
  const HRESULT result = handler->Invoke(invoke_args...);
  log.write(log_fields()
                .utf8("outcome", name)
                .object("args", log_fields().hresults("results", {result})));
}

// Runs `work` now when the scenario delivers inside the call, else from the thread's message
// dispatch. `work` holds the references it needs (handler, created object) until it has run.
template <typename Work>
void deliver(const std::shared_ptr<ui_thread_queue>& queue, Work work) {
  if (runtime_state::get().plan().deliver_inside) {
    work();
  } else {
    queue->post(std::move(work));
  }
}

}  // namespace standin
