// Stands in for the default browser and mail program: registered as a protocol handler of the
// test prefix, it appends every URL it is asked to open, as a UTF-8 line, to the file named by
// its first argument. A GUI program, so that no console host is started beside it.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 3) return 2;
  const std::wstring line = std::wstring(arguments[2]) + L"\n";
  std::string bytes(line.size() * 3, '\0');
  bytes.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, nullptr)));
  const HANDLE log = CreateFileW(arguments[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(arguments);
  if (log == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(log);
  return 0;
}
