// Stands in for the user's browser and mail program in com_handler_launch_test: appends the URI
// it was opened with, as one UTF-8 line, to the file named by its first argument.
#include <windows.h>
// The shell header needs the types above.
#include <shellapi.h>

#include <string>

// A GUI program, so that no console host is started beside it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 3) return 1;
  const std::wstring uri = arguments[2];
  std::string line(static_cast<size_t>(uri.size()) * 3 + 1, '\0');
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, uri.data(), static_cast<int>(uri.size()), line.data(),
                          static_cast<int>(line.size()), nullptr, nullptr);
  line.resize(static_cast<size_t>(bytes > 0 ? bytes : 0));
  line += '\n';
  const HANDLE file = CreateFileW(arguments[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(arguments);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return ok ? 0 : 1;
}
