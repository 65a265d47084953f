// Running the application under test as a child process and watching its windows.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace quendari_test {

// The folder holding the running test executable, with a trailing backslash.
std::wstring this_executable_folder();

class child_process {
 public:
  // Starts `command_line` with `environment` entries ("NAME=value") added to this process's.
  explicit child_process(const std::wstring& command_line,
                         const std::vector<std::wstring>& environment = {});
  ~child_process();
  child_process(const child_process&) = delete;
  child_process& operator=(const child_process&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  // The exit code, or STILL_ACTIVE when it did not end within `timeout`.
  DWORD wait(std::chrono::milliseconds timeout);

 private:
  PROCESS_INFORMATION info_{};
};

// Top-level windows of a process, visible or not.
std::vector<HWND> windows_of(DWORD process_id);
std::wstring class_of(HWND window);
std::wstring text_of(HWND window);
// Polls `found` every 50 ms until it yields a window or `timeout` passes.
HWND wait_for_window(const std::function<HWND()>& found, std::chrono::milliseconds timeout);
std::wstring read_text_file(const std::wstring& path);
// The visible message box (class "#32770") with the given caption owned by a process.
HWND message_box_of(DWORD process_id, const std::wstring& caption);
// The text of a message box.
std::wstring message_box_text(HWND box);
// Writes UTF-8 text, replacing the file.
bool write_text_file(const std::wstring& path, const std::string& text);

}  // namespace quendari_test
