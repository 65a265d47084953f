#include "tests/support/standin_runtime.h"

#include "tests/support/test_process.h"

namespace quendari_test {

const wchar_t standin_version[] = L"120.0.2210.91";

std::wstring scoped_standin_runtime::version_folder() {
  // Test executables live one folder below tests/, beside tests/standin_runtime.
  std::wstring folder = this_executable_folder();
  folder.pop_back();
  folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
  return folder + L"standin_runtime\\" + standin_version;
}

scoped_standin_runtime::scoped_standin_runtime(HKEY hive, const std::wstring& folder)
    : machine_entry_(HKEY_LOCAL_MACHINE, runtime_client_state_key, KEY_WOW64_32KEY),
      user_entry_(HKEY_CURRENT_USER, runtime_client_state_key, KEY_WOW64_32KEY),
      entry_(hive, runtime_client_state_key, L"EBWebView", folder, KEY_WOW64_32KEY) {}

}  // namespace quendari_test
