#include "util/diagnostic_log.h"

#include <utility>

#include "util/kernel_handle.h"
#include "util/number_text.h"

namespace webview::detail {

namespace {

struct log_file {
  std::wstring path;
  std::wstring old_path;
  kernel_handle file;
  std::uint64_t size = 0;
};

log_file& current_log() {
  static log_file log;
  return log;
}

// FILE_READ_ATTRIBUTES is what GetFileSizeEx needs; FILE_APPEND_DATA alone makes every write land
// at the end, even when another instance appends to the same file.
bool open_log(log_file& log, DWORD disposition) noexcept {
  kernel_handle file(CreateFileW(log.path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.is_open() || !GetFileSizeEx(file.get(), &size)) return false;
  log.file = std::move(file);
  log.size = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

// When the old file cannot be moved aside, starting over keeps the log within the limit.
bool rotate_log(log_file& log) noexcept {
  log.file.close();
  const bool moved =
      MoveFileExW(log.path.c_str(), log.old_path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
  return open_log(log, moved ? OPEN_ALWAYS : CREATE_ALWAYS);
}

std::string timestamped_line(std::string_view event) {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  std::string line;
  line.reserve(25 + event.size());
  append_decimal(line, now.wYear, 4);
  line += '-';
  append_decimal(line, now.wMonth, 2);
  line += '-';
  append_decimal(line, now.wDay, 2);
  line += 'T';
  append_decimal(line, now.wHour, 2);
  line += ':';
  append_decimal(line, now.wMinute, 2);
  line += ':';
  append_decimal(line, now.wSecond, 2);
  line += '.';
  append_decimal(line, now.wMilliseconds, 3);
  line += "Z ";
  for (const char c : event) {
    const auto byte = static_cast<unsigned char>(c);
    line += byte < 0x20 || byte == 0x7F ? ' ' : c;
  }
  line += '\n';
  return line;
}

}  // namespace

void start_diagnostic_log(const std::wstring& path) {
  log_file& log = current_log();
  log.file.close();
  log.path = path;
  log.old_path = path.substr(0, path.rfind(L".log")) + L".old.log";
  const auto folder_end = path.find_last_of(L"\\/");
  if (folder_end != std::wstring::npos) {
    CreateDirectoryW(path.substr(0, folder_end).c_str(), nullptr);
  }
}

void log_event(std::string_view event) noexcept {
  try {
    log_file& log = current_log();
    if (log.path.empty()) return;
    const std::string line = timestamped_line(event);
    if (!log.file.is_open() && !open_log(log, OPEN_ALWAYS)) return;
    if (log.size != 0 && log.size + line.size() > diagnostic_log_limit && !rotate_log(log)) return;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(log.file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    log.size += written;
    // A handle that failed may stay broken (a removed drive); the next line opens afresh.
    if (!ok) log.file.close();
  } catch (...) {
    // Logging is best effort; a line that cannot be built is dropped.
  }
}

std::string hresult_text(HRESULT code) {
  std::string text = "0x";
  append_hex(text, static_cast<std::uint32_t>(code), 8);
  return text;
}

bool log_if_failed(const char* call, HRESULT code) noexcept {
  if (SUCCEEDED(code)) return true;
  try {
    log_event(std::string(call) + " failed (" + hresult_text(code) + ")");
  } catch (...) {
    // Logging is best effort; the failure is still reported to the caller.
  }
  return false;
}

}  // namespace webview::detail
