// screenshot <output.png> [window title]: saves the whole virtual screen, or only the rectangle
// of the visible top-level window with exactly that title, as an RGB PNG. A window that is not
// there yet is waited for, up to ten seconds, so the tool can be started right after the
// program it photographs. Exit status 0 on success, 1 with a message on standard error.
#include <windows.h>
// shellapi.h needs the types that windows.h declares.
#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tools/command_line.h"
#include "tools/png/png_writer.h"
#include "tools/screenshot/screen_capture.h"

namespace {

using namespace webview::detail;

constexpr DWORD window_wait_ms = 10000;
constexpr DWORD poll_interval_ms = 100;

RECT area_to_capture(const std::vector<std::wstring>& args) {
  if (args.size() < 3) return virtual_screen_rect();
  const ULONGLONG deadline = GetTickCount64() + window_wait_ms;
  while (true) {
    if (const std::optional<RECT> rect = find_window_rect(args[2])) return *rect;
    if (GetTickCount64() >= deadline) throw std::runtime_error("no visible window with that title");
    Sleep(poll_interval_ms);
  }
}

int run(const std::vector<std::wstring>& args) {
  // Physical pixels, not the scaled coordinates a DPI-unaware process is shown.
  SetProcessDPIAware();
  const captured_image image = capture_screen(area_to_capture(args));
  const std::filesystem::path output(args[1]);
  if (!write_file(output,
                  encode_png(image.rgb.data(), image.width, image.height, png_color::rgb))) {
    std::fprintf(stderr, "screenshot: cannot write the output file\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main() {
  const std::vector<std::wstring> args = command_line_arguments();
  if (args.size() < 2 || args.size() > 3) {
    std::fprintf(stderr, "usage: screenshot <output.png> [window title]\n");
    return 1;
  }
  try {
    return run(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "screenshot: %s\n", e.what());
    return 1;
  }
}
