// Owner of one successful CoInitializeEx on the calling thread, paid back with CoUninitialize.
// Must be destroyed on the thread that created it.
#pragma once

#include <windows.h>

namespace webview::detail {

class com_apartment_guard {
 public:
  com_apartment_guard() noexcept = default;
  // Throws webview::exception: error_invalid_state when the thread already uses another
  // concurrency model, error_unspecified for any other failure.
  explicit com_apartment_guard(DWORD flags);
  ~com_apartment_guard();
  com_apartment_guard(const com_apartment_guard&) = delete;
  com_apartment_guard& operator=(const com_apartment_guard&) = delete;
  com_apartment_guard(com_apartment_guard&& other) noexcept;
  com_apartment_guard& operator=(com_apartment_guard&& other) noexcept;

  bool is_initialized() const noexcept { return initialized_; }

 private:
  bool initialized_ = false;
};

}  // namespace webview::detail
