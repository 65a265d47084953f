// One Quendari per user session. The first start holds a named mutex in the session's Local
// namespace, named after the taskbar identity; a later start finds it, brings the first
// instance's window to the front and ends without touching the browser profile.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "util/kernel_handle.h"

namespace quendari {

// Owner of the instance mutex, held for the process's life.
class instance_lock {
 public:
  explicit instance_lock(const std::wstring& name) noexcept;
  instance_lock(const instance_lock&) = delete;
  instance_lock& operator=(const instance_lock&) = delete;

  // False when another process of this session created the mutex first. A mutex that cannot be
  // created at all counts as first: better two windows than none.
  bool is_first() const noexcept { return first_; }

 private:
  webview::detail::kernel_handle mutex_;
  bool first_ = true;
};

// Waits up to `patience` for the first instance's main window (of `window_class`, titled `title`)
// and asks it to come to the front, shown and restored. Never blocks on a first instance that
// does not answer. False when no such window appeared.
bool bring_first_instance_forward(const wchar_t* window_class, const wchar_t* title,
                                  std::chrono::milliseconds patience);

}  // namespace quendari
