// Owner of one Win32 file handle, closed in the destructor.
#pragma once

#include <windows.h>

namespace webview::detail::standin {

class file_handle {
 public:
  explicit file_handle(HANDLE handle) noexcept : handle(handle) {}
  file_handle(const file_handle&) = delete;
  file_handle& operator=(const file_handle&) = delete;
  ~file_handle() noexcept {
    if (is_open()) CloseHandle(handle);
  }

  bool is_open() const noexcept { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
  HANDLE get() const noexcept { return handle; }

 private:
  HANDLE handle;
};

}  // namespace webview::detail::standin
