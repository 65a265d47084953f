// The abstract engine: the fixed, ordered list of operations every platform engine offers, and
// the platform-neutral state behind some of them. All text is UTF-8.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>

#include "engine/errors.h"
#include "engine/platform_types.h"
#include "engine/user_script.h"

namespace webview::detail {

enum class size_hint : std::int32_t { plain = 0, minimum = 1, maximum = 2, fixed = 3 };

struct binding {
  std::function<void(std::string id, std::string params, void* context)> callback;
  void* context = nullptr;
};

// All operations except dispatch_impl and the live-window count run on the UI thread.
class engine_base {
 public:
  engine_base() = default;
  engine_base(const engine_base&) = delete;
  engine_base& operator=(const engine_base&) = delete;

  // The order of these virtual operations is the engine's dispatch table and is fixed.
  virtual ~engine_base();
  virtual noresult navigate_impl(const std::string& url) = 0;
  virtual result<HWND> window_impl() = 0;
  virtual result<HWND> widget_impl() = 0;
  virtual result<ICoreWebView2Controller*> browser_controller_impl() = 0;
  virtual noresult run_impl() = 0;
  virtual noresult terminate_impl() = 0;
  // The only operation another thread may call; queues `task` to run later on the UI thread.
  virtual noresult dispatch_impl(std::function<void()> task) = 0;
  virtual noresult set_title_impl(const std::string& title) = 0;
  virtual noresult set_size_impl(std::int32_t width, std::int32_t height, size_hint hint) = 0;
  virtual noresult set_html_impl(const std::string& html) = 0;
  virtual noresult eval_impl(const std::string& js) = 0;
  // Registers the script with the browser, then stores it; the reference stays valid for the
  // engine's life. If registration throws, the list is unchanged.
  virtual user_script& add_user_script(const std::string& code);
  virtual user_script add_user_script_impl(const std::string& code) = 0;
  virtual void remove_all_user_scripts_impl(const std::list<user_script>& scripts) = 0;
  virtual bool are_user_scripts_equal_impl(const user_script& first, const user_script& second) = 0;
  // Re-registers every script in list order, `old_script`'s with `new_code`; returns the last
  // stored script that matched `old_script`, or null.
  virtual user_script* replace_user_script(const user_script& old_script,
                                           const std::string& new_code);
  // Decodes a call message from the page and defers a bound callback through dispatch_impl.
  virtual void on_message(const std::string& message);
  virtual void add_window_ref();
  // Ends the run loop when the last engine-owned window of the process is gone, unless
  // `skip_termination` is set.
  virtual void release_window_ref(bool skip_termination);

  // The process-wide number of live engine-owned main windows.
  static std::uint32_t live_window_count() noexcept;

 protected:
  std::map<std::string, binding> bindings;
  std::list<user_script> user_scripts;

 private:
  static std::atomic<std::uint32_t> live_windows;
};

}  // namespace webview::detail
