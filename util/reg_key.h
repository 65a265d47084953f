// Owner of one open registry key, closed with RegCloseKey in the destructor. Move-only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace webview::detail {

class reg_key {
 public:
  reg_key(HKEY root, const std::wstring& sub_key, REGSAM access) noexcept;
  // Opens the key, creating it when it is missing.
  static reg_key create(HKEY root, const std::wstring& sub_key, REGSAM access) noexcept;
  ~reg_key();
  reg_key(const reg_key&) = delete;
  reg_key& operator=(const reg_key&) = delete;
  reg_key(reg_key&& other) noexcept;
  reg_key& operator=(reg_key&& other) noexcept;

  bool is_open() const noexcept { return key_ != nullptr; }
  // The value's data as UTF-16 code units, a stored terminator included; empty on any failure
  // (an odd byte count, a value that changed between the size query and the read).
  std::wstring query_string(const std::wstring& name) const;
  // The value's raw data; empty on any failure.
  std::vector<unsigned char> query_bytes(const std::wstring& name) const;
  // A REG_SZ value, terminator stored.
  LSTATUS set_string(const std::wstring& name, const std::wstring& data) const;
  // A value that is not there counts as deleted.
  LSTATUS delete_value(const std::wstring& name) const;

 private:
  reg_key() = default;

  HKEY key_ = nullptr;
};

}  // namespace webview::detail
