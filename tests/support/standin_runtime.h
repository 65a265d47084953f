// The stand-in WebView2 runtime, registered for a test's duration exactly as an installed
// runtime is: the Edge updater's client-state entry naming its version folder.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/test_registry.h"

namespace quendari_test {

// The build copies the stand-in DLL into this version folder of tests/standin_runtime.
extern const wchar_t standin_version[];

class scoped_standin_runtime {
 public:
  // Registers the stand-in's `folder` in `hive` (32-bit view) after clearing both hives' entries.
  explicit scoped_standin_runtime(HKEY hive = HKEY_LOCAL_MACHINE,
                                  const std::wstring& folder = version_folder());
  scoped_standin_runtime(const scoped_standin_runtime&) = delete;
  scoped_standin_runtime& operator=(const scoped_standin_runtime&) = delete;

  static std::wstring version_folder();

 private:
  scoped_absent_key machine_entry_;
  scoped_absent_key user_entry_;
  scoped_string_value entry_;
};

}  // namespace quendari_test
