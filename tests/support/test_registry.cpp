#include "tests/support/test_registry.h"

#include <utility>

namespace quendari_test {

const wchar_t runtime_client_state_key[] =
    L"SOFTWARE\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

scoped_value::scoped_value(HKEY root, std::wstring sub_key, std::wstring name, DWORD type,
                           const std::vector<BYTE>& data, REGSAM view)
    : root_(root), sub_key_(std::move(sub_key)), name_(std::move(name)), view_(view) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root_, sub_key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  DWORD size = 0;
  if (RegQueryValueExW(key, name_.c_str(), nullptr, &previous_type_, nullptr, &size) ==
      ERROR_SUCCESS) {
    std::vector<BYTE> bytes(size);
    RegQueryValueExW(key, name_.c_str(), nullptr, &previous_type_, bytes.data(), &size);
    previous_ = std::move(bytes);
  }
  RegSetValueExW(key, name_.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

scoped_value::~scoped_value() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root_, sub_key_.c_str(), 0, KEY_ALL_ACCESS | view_, &key) != ERROR_SUCCESS) {
    return;
  }
  if (previous_) {
    RegSetValueExW(key, name_.c_str(), 0, previous_type_, previous_->data(),
                   static_cast<DWORD>(previous_->size()));
  } else {
    RegDeleteValueW(key, name_.c_str());
  }
  RegCloseKey(key);
}

namespace {

std::vector<BYTE> string_bytes(const std::wstring& text) {
  const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(wchar_t));
}

std::vector<BYTE> dword_bytes(DWORD value) {
  const auto* first = reinterpret_cast<const BYTE*>(&value);
  return std::vector<BYTE>(first, first + sizeof(value));
}

}  // namespace

scoped_string_value::scoped_string_value(HKEY root, std::wstring sub_key, std::wstring name,
                                         const std::wstring& data, REGSAM view)
    : scoped_value(root, std::move(sub_key), std::move(name), REG_SZ, string_bytes(data), view) {}

scoped_dword_value::scoped_dword_value(HKEY root, std::wstring sub_key, std::wstring name,
                                       DWORD data)
    : scoped_value(root, std::move(sub_key), std::move(name), REG_DWORD, dword_bytes(data)) {}

scoped_absent_key::scoped_absent_key(HKEY root, std::wstring sub_key, REGSAM view)
    : root_(root), sub_key_(std::move(sub_key)), view_(view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root_, sub_key_.c_str(), 0, KEY_READ | view_, &key) != ERROR_SUCCESS) return;
  existed_ = true;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD name_length = static_cast<DWORD>(std::size(name));
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueW(key, index, name, &name_length, nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
      break;
    }
    std::vector<BYTE> data(size);
    name_length = static_cast<DWORD>(std::size(name));
    RegEnumValueW(key, index, name, &name_length, nullptr, &type, data.data(), &size);
    values_.push_back({name, type, std::move(data)});
  }
  RegCloseKey(key);
  RegDeleteKeyExW(root_, sub_key_.c_str(), view_, 0);
}

scoped_absent_key::~scoped_absent_key() {
  RegDeleteKeyExW(root_, sub_key_.c_str(), view_, 0);
  if (!existed_) return;
  HKEY key = nullptr;
  if (RegCreateKeyExW(root_, sub_key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  for (const auto& value : values_) {
    RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                   static_cast<DWORD>(value.data.size()));
  }
  RegCloseKey(key);
}

}  // namespace quendari_test
