// Registry changes a test makes and takes back when it ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quendari_test {

// Sets a value (creating the key) and restores the previous state on destruction.
class scoped_value {
 public:
  scoped_value(HKEY root, std::wstring sub_key, std::wstring name, DWORD type,
               const std::vector<BYTE>& data, REGSAM view = 0);
  ~scoped_value();
  scoped_value(const scoped_value&) = delete;
  scoped_value& operator=(const scoped_value&) = delete;

 private:
  HKEY root_;
  std::wstring sub_key_;
  std::wstring name_;
  REGSAM view_;
  std::optional<std::vector<BYTE>> previous_;
  DWORD previous_type_ = REG_SZ;
};

// A REG_SZ value, terminator included.
class scoped_string_value : public scoped_value {
 public:
  scoped_string_value(HKEY root, std::wstring sub_key, std::wstring name, const std::wstring& data,
                      REGSAM view = 0);
};

// A REG_DWORD value.
class scoped_dword_value : public scoped_value {
 public:
  scoped_dword_value(HKEY root, std::wstring sub_key, std::wstring name, DWORD data);
};

// Removes a key tree for the test's duration and puts its values back afterwards (one level:
// the runtime's client-state key holds values only).
class scoped_absent_key {
 public:
  scoped_absent_key(HKEY root, std::wstring sub_key, REGSAM view);
  ~scoped_absent_key();
  scoped_absent_key(const scoped_absent_key&) = delete;
  scoped_absent_key& operator=(const scoped_absent_key&) = delete;

 private:
  struct saved_value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
  };
  HKEY root_;
  std::wstring sub_key_;
  REGSAM view_;
  bool existed_ = false;
  std::vector<saved_value> values_;
};

// The runtime's client-state key of the Edge updater.
extern const wchar_t runtime_client_state_key[];

}  // namespace quendari_test
