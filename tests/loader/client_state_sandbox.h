// Test helper: the Edge updater's client-state key of the WebView2 runtime, in the 32-bit view of
// both hives, cleared for one test and put back as it was afterwards. Tests using it share the
// ctest resource lock "edge_client_state".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quendari_test {

using bytes = std::vector<unsigned char>;

bytes utf16_bytes(const std::wstring& text);
// A REG_SZ value as an installer writes it: the text and one terminating NUL.
bytes registry_string(const std::wstring& text);

class client_state_sandbox {
 public:
  client_state_sandbox();
  ~client_state_sandbox();
  client_state_sandbox(const client_state_sandbox&) = delete;
  client_state_sandbox& operator=(const client_state_sandbox&) = delete;

  // Creates the key of one hive, without any value.
  void create_key(bool per_machine);
  // Writes the "EBWebView" value of one hive, creating its key.
  void write(bool per_machine, DWORD type, const bytes& data);
  void write_folder(bool per_machine, const std::wstring& folder);

 private:
  struct saved_hive {
    bool key_existed = false;
    bool value_existed = false;
    DWORD type = REG_NONE;
    bytes data;
  };
  saved_hive saved_[2];
};

}  // namespace quendari_test
