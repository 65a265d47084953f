#include "win32/sign_in_start.h"

#include <windows.h>

#include "util/diagnostic_log.h"
#include "util/module_path.h"
#include "util/reg_key.h"

namespace webview::detail {
namespace {

constexpr wchar_t run_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program a command line starts: the quoted first word, or everything up to the first blank.
std::wstring program_of(std::wstring command) {
  while (!command.empty() && command.back() == L'\0') command.pop_back();
  if (!command.empty() && command.front() == L'"') {
    const std::size_t closing = command.find(L'"', 1);
    return closing == std::wstring::npos ? std::wstring() : command.substr(1, closing - 1);
  }
  return command.substr(0, command.find(L' '));
}

}  // namespace

bool starts_at_sign_in(const std::wstring& name) {
  const reg_key key(HKEY_CURRENT_USER, run_key, KEY_QUERY_VALUE);
  if (!key.is_open()) return false;
  const std::wstring program = program_of(key.query_string(name));
  const std::wstring self = executable_path();
  return !program.empty() && !self.empty() &&
         CompareStringOrdinal(program.c_str(), -1, self.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool set_start_at_sign_in(const std::wstring& name, const std::wstring& arguments, bool on) {
  const reg_key key = reg_key::create(HKEY_CURRENT_USER, run_key, KEY_SET_VALUE);
  if (!key.is_open()) {
    log_event("the Run key could not be opened");
    return false;
  }
  const LSTATUS status = on ? key.set_string(name, L"\"" + executable_path() + L"\" " + arguments)
                            : key.delete_value(name);
  return log_if_failed(on ? "RegSetValueExW Run" : "RegDeleteValueW Run",
                       HRESULT_FROM_WIN32(status));
}

}  // namespace webview::detail
