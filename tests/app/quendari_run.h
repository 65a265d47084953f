// One run of Quendari.exe against the stand-in runtime, with a scenario and a call log of its own.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/standin_log.h"
#include "tests/support/test_process.h"

namespace quendari_test {

class quendari_run {
 public:
  // Starts `executable` (Quendari.exe or a copy; a name in the test's folder or a full path)
  // with `scenario` (the stand-in's scenario text), its command-line `arguments` and
  // `environment` variables (NAME=value).
  quendari_run(const std::string& name, const std::string& scenario,
               const std::wstring& executable = L"Quendari.exe",
               const std::wstring& arguments = L"", std::vector<std::wstring> environment = {});

  DWORD wait(std::chrono::milliseconds timeout = std::chrono::seconds(60));
  // Waits for the failure dialog, checks nothing, dismisses it; empty text when none appeared.
  std::wstring dismiss_dialog(std::chrono::milliseconds timeout = std::chrono::seconds(30));
  // Waits for a message box, answers it with `button` (IDOK, IDYES, IDNO); empty text when none
  // appeared.
  std::wstring answer_dialog(int button,
                             std::chrono::milliseconds timeout = std::chrono::seconds(30));
  HWND main_window(std::chrono::milliseconds timeout = std::chrono::seconds(30));
  // The main window, also while hidden; null when it does not exist (yet).
  HWND any_main_window() const;
  // Whether the process is still running.
  bool running() { return process_->wait(std::chrono::milliseconds(0)) == STILL_ACTIVE; }
  std::vector<logged_call> calls() const { return read_standin_log(log_path_); }
  DWORD id() const { return process_->id(); }

 private:
  std::wstring log_path_;
  std::unique_ptr<child_process> process_;
};

// Where this user's executable of that file name keeps its browser profile and zoom.txt.
std::wstring quendari_user_data_folder(const std::wstring& file_name = L"Quendari.exe");

}  // namespace quendari_test
