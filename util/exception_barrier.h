// The barrier at every entry from outside (window procedures, COM methods, dispatched tasks):
// no exception may cross into the system's code, which cannot unwind C++ frames. What it stops
// goes to the diagnostic log.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "util/diagnostic_log.h"

namespace webview::detail {

inline void log_stopped_exception() noexcept {
  try {
    throw;
  } catch (const std::exception& stopped) {
    try {
      log_event(std::string("exception stopped at the barrier: ") + stopped.what());
    } catch (...) {
      log_event("exception stopped at the barrier");
    }
  } catch (...) {
    log_event("exception stopped at the barrier");
  }
}

template <typename Result, typename Body>
Result call_without_throwing(Result on_exception, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    log_stopped_exception();
    return on_exception;
  }
}

template <typename Body>
void call_without_throwing(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    log_stopped_exception();
  }
}

}  // namespace webview::detail
