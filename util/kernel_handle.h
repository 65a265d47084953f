// Owner of one Win32 kernel-object handle (a file, a mutex), closed with CloseHandle in the
// destructor. Move-only.
#pragma once

#include <windows.h>

#include <utility>

namespace webview::detail {

class kernel_handle {
 public:
  kernel_handle() noexcept = default;
  // Takes over `handle`, which may be INVALID_HANDLE_VALUE (what CreateFileW returns on failure)
  // or null (what CreateMutexW returns on failure).
  explicit kernel_handle(HANDLE handle) noexcept : handle_(handle) {}
  ~kernel_handle() { close(); }
  kernel_handle(const kernel_handle&) = delete;
  kernel_handle& operator=(const kernel_handle&) = delete;
  kernel_handle(kernel_handle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  kernel_handle& operator=(kernel_handle&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }

  bool is_open() const noexcept { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const noexcept { return handle_; }
  // Closes the handle now; false when it was open and CloseHandle failed.
  bool close() noexcept {
    if (!is_open()) return true;
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace webview::detail
