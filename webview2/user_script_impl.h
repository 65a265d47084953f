// The browser's record of one document-start script, owned by its user_script.
#pragma once

#include <string>
#include <utility>

#include "engine/user_script.h"

namespace webview::detail {

class user_script_impl {
 public:
  user_script_impl(std::wstring id, std::wstring code_utf16)
      : id(std::move(id)), code_utf16(std::move(code_utf16)) {}

  // The identifier the browser assigned; empty when the registration failed.
  std::wstring id;
  // The code as handed to the browser.
  std::wstring code_utf16;
};

}  // namespace webview::detail
