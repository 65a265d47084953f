// One environment's browser process, shared by the environment and everything created from it.
// When it exits (page action `processfailed browser-exited`), every method of those objects
// fails from then on and their browser windows go away. UI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "testing/standin/browser_window.h"

namespace standin {

// HRESULT_FROM_WIN32(ERROR_INVALID_STATE): what every method of a dead object returns.
constexpr HRESULT browser_gone = static_cast<HRESULT>(0x8007139F);

class browser_process {
 public:
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
  void exit() noexcept {
    gone = true;
    for (const auto& known : windows) {
      if (const auto window = known.lock()) window->destroy();
    }
    windows.clear();
  }

 private:
  bool gone = false;
  std::vector<std::weak_ptr<browser_window>> windows;
};

}  // namespace standin
