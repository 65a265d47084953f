// Test helpers: a fresh folder under the temporary folder, removed with its contents at the end,
// and the folder of the running test executable.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>

namespace quendari_test {

inline std::filesystem::path executable_folder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return std::filesystem::path(std::wstring(path, length)).parent_path();
}

class scratch_folder {
 public:
  explicit scratch_folder(const std::wstring& name) {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            (L"quendari-" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~scratch_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  scratch_folder(const scratch_folder&) = delete;
  scratch_folder& operator=(const scratch_folder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace quendari_test
