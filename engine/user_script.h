// One document-start script: its code and the platform engine's record of its registration.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace webview::detail {

// Defined by the platform engine; the core only owns it.
class user_script_impl;
struct user_script_impl_deleter {
  void operator()(user_script_impl* impl) const noexcept;
};
using user_script_impl_ptr = std::unique_ptr<user_script_impl, user_script_impl_deleter>;

class user_script {
 public:
  user_script(std::string code, user_script_impl_ptr impl)
      : code_(std::move(code)), impl_(std::move(impl)) {}
  user_script(const user_script&) = delete;
  user_script& operator=(const user_script&) = delete;
  user_script(user_script&&) noexcept = default;
  user_script& operator=(user_script&&) noexcept = default;

  const std::string& get_code() const noexcept { return code_; }
  user_script_impl* get_impl() noexcept { return impl_.get(); }
  const user_script_impl* get_impl() const noexcept { return impl_.get(); }

 private:
  std::string code_;
  user_script_impl_ptr impl_;
};

}  // namespace webview::detail
