// The floor of the start-up benchmark: the least a Win32 program does to show one window. On its
// first WM_PAINT it writes the time (GetSystemTimePreciseAsFileTime, microseconds since 1601, as
// decimal text) to the file named by the environment variable STARTUP_FLOOR_STAMP, then closes
// itself and exits 0. It imports kernel32, user32 and gdi32 only: the path comes from the
// environment rather than through shell32's CommandLineToArgvW.
#include <windows.h>

#include <cstdint>
#include <string>

#include "util/exception_barrier.h"
#include "util/precise_time.h"

namespace {

using webview::detail::call_without_throwing;
using webview::detail::precise_time_us;

std::wstring stamp_path;
bool painted = false;

void write_stamp(std::int64_t time_us) {
  const HANDLE file = CreateFileW(stamp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = std::to_string(time_us) + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return call_without_throwing(LRESULT{0}, [&]() -> LRESULT {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        if (!painted) {
          painted = true;
          write_stamp(precise_time_us());
          PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
      }
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
  });
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  wchar_t path[MAX_PATH * 4] = {};
  const DWORD length = GetEnvironmentVariableW(L"STARTUP_FLOOR_STAMP", path, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return 2;
  stamp_path = path;

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &window_procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = L"startup_floor";
  if (!RegisterClassExW(&window_class)) return 3;
  // The same size as Quendari's window, so both paint the same area.
  const HWND window =
      CreateWindowExW(0, window_class.lpszClassName, L"Start-up floor", WS_OVERLAPPEDWINDOW,
                      CW_USEDEFAULT, CW_USEDEFAULT, 1360, 860, nullptr, nullptr, instance, nullptr);
  if (!window) return 4;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return painted ? 0 : 5;
}
