#include "testing/standin/page_actions.h"

#include "testing/standin/controller.h"
#include "testing/standin/core_webview.h"
#include "testing/standin/environment.h"
#include "testing/standin/json_text.h"
#include "testing/standin/runtime_state.h"
#include "testing/standin/runtime_update.h"

namespace standin {
namespace {

// The processor time the host process has used so far. A process can read its own; Wine gives
// no times for another process, so a test cannot measure the host from outside.
std::int64_t process_cpu_ms() {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return (ticks(kernel) + ticks(user)) / 10000;
}

void run_process_action(const page_action& action) {
  if (action.kind == action_kind::quit) {
    log_note("quit", log_fields());
    PostQuitMessage(0);
  } else if (action.kind == action_kind::new_version) {
    install_runtime(action.text);
  } else {
    log_note("screenshot-ready", log_fields());
  }
}

void send_message(core_webview& view, const page_action& action) {
  if (action.kind == action_kind::message_string) {
    // json_string escapes unpaired surrogates, so its UTF-8 is always valid and widens.
    view.receive_web_message(widen_utf8(json_string(action.text)).value_or(L""), true, action.text,
                             action.sender);
  } else {
    view.receive_web_message(action.text, action.is_string,
                             decode_json_string_literal(action.text).value_or(L""), action.sender);
  }
}

void run_page_action(core_webview& view, const page_action& action) {
  switch (action.kind) {
    case action_kind::message_string:
    case action_kind::message_json:
      send_message(view, action);
      break;
    case action_kind::zoom:
      if (controller_object* owner = view.controller()) {
        owner->change_zoom_by_user(action.zoom);
      } else {
        log_note("zoom skipped: the controller is gone", log_fields());
      }
      break;
    case action_kind::fullscreen:
      view.change_full_screen(action.on);
      break;
    case action_kind::new_window:
      view.request_new_window(action.text, action.on, action.features);
      break;
    case action_kind::window_close:
      view.request_window_close();
      break;
    case action_kind::title:
      view.change_title(action.text);
      break;
    case action_kind::permission:
      view.request_permission(action.permission_kind, action.text);
      break;
    case action_kind::close: {
      const HWND top_level = GetAncestor(view.page().parent(), GA_ROOT);
      log_note("close", log_fields()
                            .integer("window", reinterpret_cast<INT_PTR>(top_level))
                            .integer("cpuMs", process_cpu_ms()));
      PostMessageW(top_level, WM_CLOSE, 0, 0);
      break;
    }
    case action_kind::screenshot_ready:
      if (const HWND window = view.page().handle()) UpdateWindow(window);
      run_process_action(action);
      break;
    case action_kind::quit:
      run_process_action(action);
      break;
    case action_kind::process_failed:
      view.fail_process(action.failed_kind);
      break;
    case action_kind::go:
      view.follow_link(action.text);
      break;
    case action_kind::notification:
      view.receive_notification(action);
      break;
    case action_kind::notification_close:
      view.close_notification();
      break;
    case action_kind::new_version:
      run_process_action(action);
      break;
  }
}

std::int64_t live_webview(bool oldest) {
  const com_ptr<core_webview> view = core_webview::live(oldest);
  return view ? view->id() : 0;
}

void run_action_here(std::size_t index) {
  const std::vector<timed_action>& actions = runtime_state::get().plan().after_navigate;
  if (index >= actions.size()) return;
  if (const com_ptr<core_webview> view = core_webview::live(actions[index].action.oldest)) {
    run_page_action(*view.get(), actions[index].action);
  }
}

// The web view may belong to another module of the stand-in (the runtime loaded after an update):
// the action runs in the module of the newest (or oldest) live web view of any.
void run_timed_action(std::size_t index) {
  const page_action& action = runtime_state::get().plan().after_navigate[index].action;
  if (action.kind == action_kind::quit || action.kind == action_kind::new_version) {
    run_process_action(action);
    return;
  }
  const module_entry* holder = nullptr;
  std::int64_t chosen = 0;
  for (const auto& slot : shared().modules) {
    const module_entry* entry = slot.load();
    const std::int64_t found = entry ? entry->live_webview(action.oldest) : 0;
    if (found != 0 && (chosen == 0 || (action.oldest ? found < chosen : found > chosen))) {
      chosen = found;
      holder = entry;
    }
  }
  if (holder) {
    holder->run_action(index);
  } else if (action.kind == action_kind::screenshot_ready) {
    run_process_action(action);
  } else {
    log_note("action skipped: no live web view",
             log_fields().utf8("action", action_name(action.kind)));
  }
}

}  // namespace

const module_entry& this_module_entry() {
  static const module_entry entry{&live_webview, &run_action_here, &announce_new_version};
  return entry;
}

void arm_navigation_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue) {
  if (shared().navigation_actions_armed.exchange(true)) return;
  for (std::size_t index = 0; index < actions.size(); ++index) {
    queue.post_after(actions[index].delay_ms, [index] { run_timed_action(index); });
  }
}

void arm_process_actions(const std::vector<timed_action>& actions, ui_thread_queue& queue) {
  for (const timed_action& timed : actions) {
    queue.post_after(timed.delay_ms, [action = timed.action] { run_process_action(action); });
  }
}

}  // namespace standin
