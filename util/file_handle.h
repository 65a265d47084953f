// Owner of one Win32 file handle, closed with CloseHandle in the destructor. Move-only.
#pragma once

#include <windows.h>

#include <utility>

namespace webview::detail {

class file_handle {
 public:
  file_handle() noexcept = default;
  // Takes over `handle`, which may be INVALID_HANDLE_VALUE (what CreateFileW returns on failure).
  explicit file_handle(HANDLE handle) noexcept : handle_(handle) {}
  ~file_handle() { close(); }
  file_handle(const file_handle&) = delete;
  file_handle& operator=(const file_handle&) = delete;
  file_handle(file_handle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  file_handle& operator=(file_handle&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }

  bool is_open() const noexcept { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const noexcept { return handle_; }
  // Closes the file now; false when it was open and CloseHandle failed.
  bool close() noexcept {
    if (!is_open()) return true;
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace webview::detail
