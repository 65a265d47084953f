// The scenario's timed actions: what the page or the user does at a given time after the first
// start or a web view's first navigation. Timers run on the thread of the given queue, from its
// message dispatch; a timed page action holds its web view alive until it has run.
#pragma once

#include <vector>

#include "testing/standin/scenario.h"
#include "testing/standin/ui_thread_queue.h"

namespace standin {

class core_webview;

// Each armed action takes a reference of its own to `view`.
void arm_page_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue,
                      core_webview& view);

// Actions that need no page (quit, screenshot-ready), armed by the first environment start.
void arm_process_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue);

}  // namespace standin
