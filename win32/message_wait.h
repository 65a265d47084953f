// Waiting on the UI thread for something that arrives through its messages (a browser
// completion), without polling: the thread sleeps in the message loop between messages.
#pragma once

#include <chrono>
#include <functional>

namespace webview::detail {

enum class wait_outcome { done, quit_requested, timed_out };

// Dispatches the thread's messages until `done()` is true (checked before the first wait and after
// every message), WM_QUIT arrives (handed back with PostQuitMessage for the loop outside) or
// `timeout` has passed. Must run on a thread with a message queue.
wait_outcome pump_messages_until(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout);

}  // namespace webview::detail
