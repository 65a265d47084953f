// quendari-shortcut <lnk path> <target exe path> <AppUserModelID>: writes a shell link to the
// target that carries the AppUserModelID, which the installer cannot set itself. No console: the
// installer runs it hidden. Exit status 0 on success, 1 on wrong arguments, 2 on failure.
#include <windows.h>
// shellapi.h needs the types that windows.h declares.
#include <shellapi.h>
#include <objbase.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "tools/command_line.h"
#include "tools/shortcut/shortcut.h"
#include "util/com_apartment_guard.h"

namespace {

using namespace webview::detail;

constexpr int exit_success = 0;
constexpr int exit_usage = 1;
constexpr int exit_failure = 2;

}  // namespace

// WinMain rather than wWinMain: mingw needs -municode for the latter, and the arguments come from
// CommandLineToArgvW anyway.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::vector<std::wstring> args = command_line_arguments();
  if (args.size() != 4 || args[1].empty() || args[2].empty() || args[3].empty()) return exit_usage;
  try {
    const com_apartment_guard apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    return SUCCEEDED(write_shortcut(args[1], args[2], args[3])) ? exit_success : exit_failure;
  } catch (const std::exception&) {
    return exit_failure;
  }
}
