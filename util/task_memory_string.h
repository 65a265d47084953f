// Owner of one string that COM hands out in task memory, freed with CoTaskMemFree. Move-only.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace webview::detail {

class task_memory_string {
 public:
  task_memory_string() noexcept = default;
  ~task_memory_string() { CoTaskMemFree(text); }
  task_memory_string(const task_memory_string&) = delete;
  task_memory_string& operator=(const task_memory_string&) = delete;
  task_memory_string(task_memory_string&& other) noexcept
      : text(std::exchange(other.text, nullptr)) {}
  task_memory_string& operator=(task_memory_string&& other) noexcept {
    if (this != &other) {
      CoTaskMemFree(text);
      text = std::exchange(other.text, nullptr);
    }
    return *this;
  }

  // For out-parameters: frees what is held and hands out the slot to fill.
  LPWSTR* put() noexcept {
    CoTaskMemFree(std::exchange(text, nullptr));
    return &text;
  }
  const wchar_t* get() const noexcept { return text; }

 private:
  LPWSTR text = nullptr;
};

}  // namespace webview::detail
