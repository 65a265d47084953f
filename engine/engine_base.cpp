#include "engine/engine_base.h"

#include <utility>

namespace webview::detail {

std::atomic<std::uint32_t> engine_base::live_windows{0};

engine_base::~engine_base() {
  user_scripts.clear();
  bindings.clear();
}

user_script& engine_base::add_user_script(const std::string& code) {
  user_scripts.push_back(add_user_script_impl(code));
  return user_scripts.back();
}

user_script* engine_base::replace_user_script(const user_script& old_script,
                                              const std::string& new_code) {
  remove_all_user_scripts_impl(user_scripts);
  user_script* replaced = nullptr;
  for (auto& stored : user_scripts) {
    const bool is_old = are_user_scripts_equal_impl(stored, old_script);
    stored = add_user_script_impl(is_old ? new_code : stored.get_code());
    if (is_old) replaced = &stored;
  }
  return replaced;
}

void engine_base::add_window_ref() { live_windows.fetch_add(1); }

void engine_base::release_window_ref(bool skip_termination) {
  std::uint32_t count = live_windows.load();
  // A failed exchange reloads `count`, so a concurrent change is retried rather than lost.
  while (count != 0 && !live_windows.compare_exchange_weak(count, count - 1)) {
  }
  const bool still_open = count > 1;
  if (still_open || skip_termination) return;
  terminate_impl();
}

std::uint32_t engine_base::live_window_count() noexcept { return live_windows.load(); }

}  // namespace webview::detail
