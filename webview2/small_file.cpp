#include "webview2/small_file.h"

#include <windows.h>

#include "util/kernel_handle.h"
#include "webview2/user_data_folder.h"

namespace webview::detail {
namespace {

bool write_all(HANDLE file, std::string_view text) noexcept {
  DWORD written = 0;
  const auto length = static_cast<DWORD>(text.size());
  return WriteFile(file, text.data(), length, &written, nullptr) && written == length &&
         FlushFileBuffers(file);
}

}  // namespace

std::optional<std::string> read_small_file(const std::wstring& path, std::size_t limit) {
  if (path.empty()) return std::nullopt;
  const kernel_handle file(CreateFileW(extended_length_path(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.is_open()) return std::nullopt;
  std::string text(limit, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(limit), &read, nullptr)) {
    return std::nullopt;
  }
  text.resize(read);
  return text;
}

bool replace_small_file(const std::wstring& path, std::string_view text) {
  if (path.empty()) return false;
  const std::wstring target = extended_length_path(path);
  const std::wstring temporary = extended_length_path(path + L".tmp");
  kernel_handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.is_open()) return false;
  // Closed before the move: an open file cannot be renamed over the old one.
  const bool written = write_all(file.get(), text) && file.close();
  if (written && MoveFileExW(temporary.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(temporary.c_str());
  return false;
}

}  // namespace webview::detail
