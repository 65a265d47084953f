// The barrier at every entry from outside (window procedures, COM methods, dispatched tasks):
// no exception may cross into the system's code, which cannot unwind C++ frames.
#pragma once

#include <utility>

namespace webview::detail {

template <typename Result, typename Body>
Result call_without_throwing(Result on_exception, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return on_exception;
  }
}

template <typename Body>
void call_without_throwing(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
  }
}

}  // namespace webview::detail
