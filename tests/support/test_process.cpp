#include "tests/support/test_process.h"

#include <iterator>
#include <thread>

namespace quendari_test {

std::wstring this_executable_folder() {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

child_process::child_process(const std::wstring& command_line,
                             const std::vector<std::wstring>& environment) {
  for (const auto& entry : environment) {
    const auto equals = entry.find(L'=');
    SetEnvironmentVariableW(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str());
  }
  std::wstring mutable_line = command_line;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info_)) {
    info_ = PROCESS_INFORMATION{};
  }
  for (const auto& entry : environment) {
    SetEnvironmentVariableW(entry.substr(0, entry.find(L'=')).c_str(), nullptr);
  }
}

child_process::~child_process() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

DWORD child_process::wait(std::chrono::milliseconds timeout) {
  if (!info_.hProcess) return STILL_ACTIVE;
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::vector<HWND> windows_of(DWORD process_id) {
  struct search {
    DWORD process_id;
    std::vector<HWND> found;
  } state{process_id, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* state = reinterpret_cast<search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == state->process_id) state->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&state));
  return state.found;
}

std::wstring class_of(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

std::wstring text_of(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  return text;
}

HWND wait_for_window(const std::function<HWND()>& found, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (HWND window = found()) return window;
    if (std::chrono::steady_clock::now() > deadline) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::wstring read_text_file(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
    bytes.append(chunk, read);
  CloseHandle(file);
  if (bytes.empty()) return {};
  std::wstring text(bytes.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                         text.data(), static_cast<int>(text.size()));
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

HWND message_box_of(DWORD process_id, const std::wstring& caption) {
  for (HWND window : windows_of(process_id)) {
    if (class_of(window) == L"#32770" && text_of(window) == caption && IsWindowVisible(window)) {
      return window;
    }
  }
  return nullptr;
}

std::wstring message_box_text(HWND box) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, static_cast<int>(std::size(text)));
  return text;
}

bool write_text_file(const std::wstring& path, const std::string& text) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

}  // namespace quendari_test
