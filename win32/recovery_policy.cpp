#include "win32/recovery_policy.h"

namespace webview::detail {

bool action_budget::try_take(std::uint64_t now_ms) {
  while (!taken.empty() && now_ms - taken.front() >= window_ms) taken.pop_front();
  if (taken.size() >= limit) return false;
  taken.push_back(now_ms);
  return true;
}

bool hang_tracker::report(std::uint64_t now_ms) {
  if (reports == 0 || now_ms - last_report_ms > gap_ms) {
    reports = 0;
    asked = false;
  }
  ++reports;
  last_report_ms = now_ms;
  if (reports < 2 || asked) return false;
  asked = true;
  return true;
}

bool hang_tracker::ongoing(std::uint64_t now_ms) const {
  return reports > 0 && now_ms - last_report_ms <= gap_ms;
}

}  // namespace webview::detail
