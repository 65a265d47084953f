// Counts what still runs the stand-in's code: objects handed out, queued work and timers,
// windows and window subclasses. DllCanUnloadNow answers S_OK only when nothing is counted.
#pragma once

namespace standin {

// One count for as long as the holder lives; a member of every such object.
class module_use {
 public:
  module_use() noexcept;
  module_use(const module_use&) noexcept;
  module_use& operator=(const module_use&) noexcept { return *this; }
  ~module_use() noexcept;

  static long current() noexcept;
};

}  // namespace standin
