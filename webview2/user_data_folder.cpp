#include "webview2/user_data_folder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "util/module_path.h"
#include "util/task_memory_string.h"

namespace webview::detail {

// SHGetFolderPathW cannot return a folder longer than MAX_PATH; the known-folder call can.
bool roaming_app_data_folder(std::wstring& folder) {
  task_memory_string found;
  const HRESULT hr = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, found.put());
  if (SUCCEEDED(hr) && found.get()) folder = found.get();
  return SUCCEEDED(hr) && !folder.empty();
}

std::wstring application_data_folder() {
  std::wstring app_data;
  if (!roaming_app_data_folder(app_data)) return {};
  return join_path(app_data, file_name_part(executable_path()));
}

std::wstring file_name_part(const std::wstring& path) {
  const auto separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring extended_length_path(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

std::wstring join_path(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  const wchar_t last = folder.back();
  return last == L'\\' || last == L'/' ? folder + name : folder + L'\\' + name;
}

}  // namespace webview::detail
