// The command-line arguments of a Windows tool, as CommandLineToArgvW splits them (the program
// name first); empty when the line cannot be split.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace webview::detail {

inline std::vector<std::wstring> command_line_arguments() {
  struct local_free {
    void operator()(wchar_t** arguments) const noexcept { LocalFree(arguments); }
  };
  int count = 0;
  const std::unique_ptr<wchar_t*[], local_free> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv) return {};
  return std::vector<std::wstring>(argv.get(), argv.get() + count);
}

}  // namespace webview::detail
