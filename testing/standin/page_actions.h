// The scenario's timed actions: what the page or the user does at a given time after the first
// start or the first navigation of the process. Timers run on the thread of the given queue, from
// its message dispatch; when its time comes, a page action applies to the most recently created
// web view of that thread that is still live (with `first`, the earliest created one), and is
// skipped (and logged) when there is none.
#pragma once

#include <vector>

#include "testing/standin/scenario.h"
#include "testing/standin/ui_thread_queue.h"

namespace standin {

// The after-navigate actions; only the first call of the process arms them.
void arm_navigation_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue);

// Actions that need no page (quit, screenshot-ready), armed by the first environment start.
void arm_process_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue);

}  // namespace standin
