#include "tests/loader/client_state_sandbox.h"

#include <gtest/gtest.h>

namespace quendari_test {

namespace {

constexpr wchar_t key_path[] =
    L"SOFTWARE\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
constexpr wchar_t value_name[] = L"EBWebView";

HKEY root_of(bool per_machine) { return per_machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

void remove_key(bool per_machine) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root_of(per_machine), key_path, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) ==
      ERROR_SUCCESS) {
    RegDeleteValueW(key, value_name);
    RegCloseKey(key);
  }
  RegDeleteKeyExW(root_of(per_machine), key_path, KEY_WOW64_32KEY, 0);
}

HKEY create(bool per_machine) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(root_of(per_machine), key_path, 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  return key;
}

}  // namespace

bytes utf16_bytes(const std::wstring& text) {
  const auto* first = reinterpret_cast<const unsigned char*>(text.data());
  return bytes(first, first + text.size() * sizeof(wchar_t));
}

bytes registry_string(const std::wstring& text) { return utf16_bytes(text + L'\0'); }

client_state_sandbox::client_state_sandbox() {
  for (bool per_machine : {true, false}) {
    saved_hive& saved = saved_[per_machine ? 0 : 1];
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_of(per_machine), key_path, 0, KEY_READ | KEY_WOW64_32KEY, &key) ==
        ERROR_SUCCESS) {
      saved.key_existed = true;
      DWORD size = 0;
      if (RegQueryValueExW(key, value_name, nullptr, &saved.type, nullptr, &size) ==
          ERROR_SUCCESS) {
        saved.data.resize(size);
        saved.value_existed = RegQueryValueExW(key, value_name, nullptr, &saved.type,
                                               saved.data.data(), &size) == ERROR_SUCCESS;
      }
      RegCloseKey(key);
    }
    remove_key(per_machine);
  }
}

client_state_sandbox::~client_state_sandbox() {
  for (bool per_machine : {true, false}) {
    const saved_hive& saved = saved_[per_machine ? 0 : 1];
    remove_key(per_machine);
    if (!saved.key_existed) continue;
    HKEY key = create(per_machine);
    if (key == nullptr) continue;
    if (saved.value_existed) {
      RegSetValueExW(key, value_name, 0, saved.type, saved.data.data(),
                     static_cast<DWORD>(saved.data.size()));
    }
    RegCloseKey(key);
  }
}

void client_state_sandbox::create_key(bool per_machine) {
  if (HKEY key = create(per_machine)) RegCloseKey(key);
}

void client_state_sandbox::write(bool per_machine, DWORD type, const bytes& data) {
  HKEY key = create(per_machine);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(RegSetValueExW(key, value_name, 0, type, data.data(), static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void client_state_sandbox::write_folder(bool per_machine, const std::wstring& folder) {
  write(per_machine, REG_SZ, registry_string(folder));
}

}  // namespace quendari_test
