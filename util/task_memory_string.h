// Owner of one string that COM hands out in task memory, freed with CoTaskMemFree.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace webview::detail {

class task_memory_string {
 public:
  task_memory_string() noexcept = default;
  ~task_memory_string() { CoTaskMemFree(text); }
  task_memory_string(const task_memory_string&) = delete;
  task_memory_string& operator=(const task_memory_string&) = delete;

  // For out-parameters; call it once, on an empty owner.
  LPWSTR* put() noexcept { return &text; }
  const wchar_t* get() const noexcept { return text; }

 private:
  LPWSTR text = nullptr;
};

}  // namespace webview::detail
