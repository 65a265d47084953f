// An engine whose platform operations only record that they were called, for testing the
// platform-neutral logic of engine_base.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/engine_base.h"

namespace webview::detail {

class user_script_impl {
 public:
  explicit user_script_impl(std::string id) : id(std::move(id)) {}
  std::string id;
};

class fake_engine : public engine_base {
 public:
  std::vector<std::string> calls;
  std::vector<std::function<void()>> dispatched;
  int next_script_id = 0;
  bool fail_next_registration = false;

  noresult navigate_impl(const std::string&) override { return record("navigate"); }
  result<HWND> window_impl() override { return error_detail{error_invalid_state, ""}; }
  result<HWND> widget_impl() override { return error_detail{error_invalid_state, ""}; }
  result<ICoreWebView2Controller*> browser_controller_impl() override {
    return error_detail{error_invalid_state, ""};
  }
  noresult run_impl() override { return record("run"); }
  noresult terminate_impl() override { return record("terminate"); }
  noresult dispatch_impl(std::function<void()> task) override {
    dispatched.push_back(std::move(task));
    return record("dispatch");
  }
  noresult set_title_impl(const std::string&) override { return record("set_title"); }
  noresult set_size_impl(std::int32_t, std::int32_t, size_hint) override {
    return record("set_size");
  }
  noresult set_html_impl(const std::string&) override { return record("set_html"); }
  noresult eval_impl(const std::string&) override { return record("eval"); }
  user_script add_user_script_impl(const std::string& code) override {
    record("register " + code);
    if (fail_next_registration) {
      fail_next_registration = false;
      throw exception(error_unspecified, "registration failed");
    }
    return user_script(
        code, user_script_impl_ptr(new user_script_impl("id" + std::to_string(++next_script_id))));
  }
  void remove_all_user_scripts_impl(const std::list<user_script>& scripts) override {
    for (const auto& script : scripts) record("unregister " + script.get_impl()->id);
  }
  bool are_user_scripts_equal_impl(const user_script& first, const user_script& second) override {
    return first.get_impl()->id == second.get_impl()->id;
  }

  void bind(const std::string& name, binding entry) { bindings[name] = std::move(entry); }
  const std::list<user_script>& scripts() const { return user_scripts; }

  void run_dispatched() {
    auto tasks = std::move(dispatched);
    dispatched.clear();
    for (auto& task : tasks) task();
  }

 private:
  noresult record(std::string call) {
    calls.push_back(std::move(call));
    return {};
  }
};

}  // namespace webview::detail
