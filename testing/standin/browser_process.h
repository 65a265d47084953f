// One environment's browser process, shared by the environment and everything created from it.
// When it exits (page action `processfailed browser-exited`), every method of those objects
// fails from then on and their browser windows go away. It also ends normally when the last of
// its controllers is closed. Either way it keeps its user-data folder for the scenario's release
// delay, then the environment hears BrowserProcessExited. UI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "testing/standin/browser_window.h"
#include "testing/standin/process_shared.h"
#include "testing/standin/ui_thread_queue.h"
#include "webview2/webview2_abi.h"

namespace standin {

class environment_object;

// HRESULT_FROM_WIN32(ERROR_INVALID_STATE): what every method of a dead object returns.
constexpr HRESULT browser_gone = static_cast<HRESULT>(0x8007139F);

class browser_process {
 public:
  browser_process(std::shared_ptr<ui_thread_queue> queue, std::wstring user_data_folder)
      : folder(std::move(user_data_folder)), queue(std::move(queue)) {
    add_running_browser(folder);
  }
  ~browser_process() {
    if (running) remove_running_browser(folder);
  }
  browser_process(const browser_process&) = delete;
  browser_process& operator=(const browser_process&) = delete;

  bool exited() const noexcept { return gone; }

  void add_window(const std::shared_ptr<browser_window>& window) {
    std::vector<std::weak_ptr<browser_window>> alive;
    for (auto& known : windows) {
      if (!known.expired()) alive.push_back(std::move(known));
    }
    alive.push_back(window);
    windows = std::move(alive);
  }

  // Browser process exited: all associated controls are closed and need to be recreated.
  void exit() {
    gone = true;
    for (const auto& known : windows) {
      if (const auto window = known.lock()) window->destroy();
    }
    windows.clear();
    end(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_FAILED);
  }

  void controller_opened() noexcept {
    ++open_controllers;
    // After a normal shutdown, a new controller brings the browser process back.
    if (gone) return;
    ending = false;
    if (!std::exchange(running, true)) add_running_browser(folder);
  }
  // Closing all associated WebViews shuts the browser process down.
  void controller_closed() {
    if (--open_controllers == 0) end(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_NORMAL);
  }

  const std::wstring folder;  // as the creation was given it; empty for the default folder
  // The environment that hears BrowserProcessExited; null once it is gone.
  environment_object* environment = nullptr;

 private:
  // Holds the folder for the release delay, then releases it and raises the event
  // (environment.cpp).
  void end(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind);

  std::shared_ptr<ui_thread_queue> queue;
  bool gone = false;
  bool ending = false;
  // Listed among the process's running browsers (from creation until it ends).
  bool running = true;
  int open_controllers = 0;
  // BrowserProcessId, made up: no such process exists, but each browser process has its own.
  UINT32 number = static_cast<UINT32>(20000 + 4 * ++shared().browser_processes);
  std::vector<std::weak_ptr<browser_window>> windows;
};

}  // namespace standin
