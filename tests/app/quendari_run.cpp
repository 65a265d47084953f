#include "tests/app/quendari_run.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace quendari_test {

quendari_run::quendari_run(const std::string& name, const std::string& scenario,
                           const std::wstring& executable, const std::wstring& arguments,
                           std::vector<std::wstring> environment) {
  const std::wstring folder = this_executable_folder();
  const std::wstring wide_name(name.begin(), name.end());
  log_path_ = folder + L"run_" + wide_name + L".jsonl";
  const std::wstring scenario_path = folder + L"run_" + wide_name + L".scenario";
  DeleteFileW(log_path_.c_str());
  write_text_file(scenario_path, scenario);
  environment.push_back(L"QUENDARI_STANDIN_LOG=" + log_path_);
  environment.push_back(L"QUENDARI_STANDIN_SCENARIO=" + scenario_path);
  process_ = std::make_unique<child_process>(
      L"\"" + (executable.find(L':') == std::wstring::npos ? folder : L"") + executable + L"\" " +
          arguments,
      environment);
}

DWORD quendari_run::wait(std::chrono::milliseconds timeout) { return process_->wait(timeout); }

std::wstring quendari_run::dismiss_dialog(std::chrono::milliseconds timeout) {
  return answer_dialog(IDOK, timeout);
}

std::wstring quendari_run::answer_dialog(int button, std::chrono::milliseconds timeout) {
  const HWND box =
      wait_for_window([&] { return message_box_of(process_->id(), L"Quendari"); }, timeout);
  if (!box) return {};
  const std::wstring text = message_box_text(box);
  SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
  return text;
}

HWND quendari_run::main_window(std::chrono::milliseconds timeout) {
  return wait_for_window(
      [&]() -> HWND {
        for (HWND window : windows_of(process_->id())) {
          if (class_of(window) == L"webview" && IsWindowVisible(window)) return window;
        }
        return nullptr;
      },
      timeout);
}

HWND quendari_run::any_main_window() const {
  for (HWND window : windows_of(process_->id())) {
    if (class_of(window) == L"webview") return window;
  }
  return nullptr;
}

std::wstring quendari_user_data_folder(const std::wstring& file_name) {
  PWSTR roaming = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) {
    folder = std::wstring(roaming) + L"\\" + file_name;
  }
  CoTaskMemFree(roaming);
  return folder;
}

}  // namespace quendari_test
