// When the engine brings a failed page back by itself and when it asks or gives up: pure
// bookkeeping over millisecond timestamps (GetTickCount64 on the UI thread).
#pragma once

#include <cstdint>
#include <deque>

namespace webview::detail {

// At most `limit` actions of one kind in any `window_ms`; past that the engine stops looping.
class action_budget {
 public:
  action_budget(unsigned limit, std::uint64_t window_ms) : limit(limit), window_ms(window_ms) {}

  // True, and the action counted, when fewer than `limit` were taken in the window before now.
  bool try_take(std::uint64_t now_ms);

 private:
  unsigned limit;
  std::uint64_t window_ms;
  std::deque<std::uint64_t> taken;
};

// One hang of the page, which the runtime reports again and again while it lasts (about every
// 15 seconds). The user is asked once, at the second report of a hang.
class hang_tracker {
 public:
  // A report at `now_ms`; true exactly when the user should be asked now. A report more than
  // `gap_ms` after the previous one starts a new hang.
  bool report(std::uint64_t now_ms);
  // The page works again (a navigation completed): the next report starts a new hang.
  void end() { reports = 0; }
  // Whether a hang is still going on at `now_ms`: a question posted earlier is dropped if not.
  bool ongoing(std::uint64_t now_ms) const;

  static constexpr std::uint64_t gap_ms = 30 * 1000;

 private:
  unsigned reports = 0;
  bool asked = false;
  std::uint64_t last_report_ms = 0;
};

}  // namespace webview::detail
