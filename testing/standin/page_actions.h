// The scenario's timed actions: what the page or the user does at a given time after the first
// start or the first navigation of the process. Timers run on the thread of the given queue, from
// its message dispatch; when its time comes, a page action applies to the most recently created
// web view of that thread that is still live (with `first`, the earliest created one), of any
// module of the stand-in, and is skipped (and logged) when there is none.
#pragma once

#include <vector>

#include "testing/standin/process_shared.h"
#include "testing/standin/scenario.h"
#include "testing/standin/ui_thread_queue.h"

namespace standin {

// The after-navigate actions; only the first call of the process arms them, in whichever module
// of the stand-in it comes.
void arm_navigation_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue);

// Actions that need no page (quit, screenshot-ready, newversion), armed by the first
// environment start.
void arm_process_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue);

// What this module offers the stand-in's other modules in the process.
const module_entry& this_module_entry();

}  // namespace standin
