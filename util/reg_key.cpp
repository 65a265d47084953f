#include "util/reg_key.h"

#include <utility>

namespace webview::detail {

namespace {

LSTATUS query_size(HKEY key, const std::wstring& name, DWORD* size) {
  *size = 0;
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  return RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, size);
}

bool size_known(LSTATUS status) { return status == ERROR_SUCCESS || status == ERROR_MORE_DATA; }

}  // namespace

reg_key::reg_key(HKEY root, const std::wstring& sub_key, REGSAM access) noexcept {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, sub_key.c_str(), 0, access, &opened) == ERROR_SUCCESS) key_ = opened;
}

reg_key reg_key::create(HKEY root, const std::wstring& sub_key, REGSAM access) noexcept {
  reg_key created;
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, sub_key.c_str(), 0, nullptr, 0, access, nullptr, &opened, nullptr) ==
      ERROR_SUCCESS) {
    created.key_ = opened;
  }
  return created;
}

reg_key::~reg_key() {
  if (key_ != nullptr) RegCloseKey(key_);
}

reg_key::reg_key(reg_key&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

reg_key& reg_key::operator=(reg_key&& other) noexcept {
  if (this != &other) {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

std::wstring reg_key::query_string(const std::wstring& name) const {
  DWORD size = 0;
  if (!size_known(query_size(key_, name, &size))) return {};
  // An odd trailing byte is dropped here, so the read below reports ERROR_MORE_DATA.
  std::wstring value(size / sizeof(wchar_t), L'\0');
  DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key_, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                       &bytes) != ERROR_SUCCESS) {
    return {};
  }
  // The value may have shrunk between the two queries; keep only what was read.
  value.resize(bytes / sizeof(wchar_t));
  return value;
}

std::vector<unsigned char> reg_key::query_bytes(const std::wstring& name) const {
  DWORD size = 0;
  if (!size_known(query_size(key_, name, &size))) return {};
  std::vector<unsigned char> value(size);
  if (RegQueryValueExW(key_, name.c_str(), nullptr, nullptr, value.data(), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  value.resize(size);
  return value;
}

LSTATUS reg_key::set_string(const std::wstring& name, const std::wstring& data) const {
  if (key_ == nullptr) return ERROR_INVALID_HANDLE;
  return RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

LSTATUS reg_key::delete_value(const std::wstring& name) const {
  if (key_ == nullptr) return ERROR_INVALID_HANDLE;
  const LSTATUS status = RegDeleteValueW(key_, name.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace webview::detail
