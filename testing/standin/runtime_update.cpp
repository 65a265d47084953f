#include "testing/standin/runtime_update.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "testing/standin/process_shared.h"
#include "testing/standin/runtime_state.h"

namespace standin {
namespace {

constexpr std::wstring_view client_dll_tail = L"\\ebwebview\\x64\\embeddedbrowserwebview.dll";
constexpr wchar_t client_state_key[] =
    L"SOFTWARE\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

HMODULE module_at(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<LPCWSTR>(address), &module);
  return module;
}

std::wstring file_path(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  while (path.size() <= 32768) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
  return {};
}

bool ends_with(std::wstring_view key, std::wstring_view tail) {
  return key.size() > tail.size() && key.substr(key.size() - tail.size()) == tail;
}

// `<Application>\<version>` of `module` (any folder holding version folders), as its path writes
// it; empty for another shape.
std::wstring version_folder_of(HMODULE module) {
  const std::wstring path = file_path(module);
  const std::wstring key = folder_key(path);
  if (!ends_with(key, client_dll_tail)) return {};
  std::wstring folder = path.substr(0, path.size() - client_dll_tail.size());
  const std::size_t separator = folder_key(folder).find_last_of(L'\\');
  if (separator == std::wstring::npos || !is_version_name(folder.substr(separator + 1))) return {};
  return folder;
}

// The updater's value in `root` (32-bit view), when it names the folder `from`, now names `to`.
bool repoint(HKEY root, const std::wstring& from, const std::wstring& to) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, client_state_key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_32KEY,
                    &opened) != ERROR_SUCCESS) {
    return false;
  }
  const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> key(opened,
                                                                                 &RegCloseKey);
  wchar_t named[1024];
  DWORD size = sizeof named;
  if (RegGetValueW(key.get(), nullptr, L"EBWebView", RRF_RT_REG_SZ, nullptr, named, &size) !=
          ERROR_SUCCESS ||
      folder_key(named) != folder_key(from)) {
    return false;
  }
  return RegSetValueExW(key.get(), L"EBWebView", 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(to.c_str()),
                        static_cast<DWORD>((to.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

std::wstring module_file_path() { return file_path(module_at(&client_state_key)); }

bool is_version_name(std::wstring_view text) {
  bool digit_before = false;
  for (const wchar_t c : text) {
    if (c == L'.' && !digit_before) return false;
    if (c != L'.' && (c < L'0' || c > L'9')) return false;
    digit_before = c != L'.';
  }
  return digit_before;
}

std::wstring loaded_version() {
  const std::wstring folder = version_folder_of(module_at(&client_state_key));
  return folder.substr(folder.find_last_of(L"\\/") + 1);
}

void install_runtime(const std::wstring& version) {
  const std::wstring running = version_folder_of(module_at(&client_state_key));
  if (running.empty()) {
    log_note("runtime not installed: the stand-in is not in a version folder",
             log_fields().text("module", module_file_path()).text("version", version));
    return;
  }
  // The new version sits in a new version folder beside the running one.
  const std::wstring folder = running.substr(0, running.find_last_of(L"\\/") + 1) + version;
  const std::wstring target = folder + L"\\EBWebView\\x64";
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"\\EBWebView").c_str(), nullptr);
  CreateDirectoryW(target.c_str(), nullptr);
  if (!CopyFileW(module_file_path().c_str(), (target + L"\\EmbeddedBrowserWebView.dll").c_str(),
                 FALSE)) {
    const DWORD error = GetLastError();
    log_note("runtime not installed: the copy failed",
             log_fields().text("folder", folder).integer("error", error));
    return;
  }
  // The entries may name the folder of any runtime loaded so far, an earlier update's included.
  bool machine = false;
  bool user = false;
  for (const auto& slot : shared().modules) {
    const module_entry* entry = slot.load();
    const std::wstring loaded = entry ? version_folder_of(module_at(entry)) : std::wstring();
    if (loaded.empty()) continue;
    machine = repoint(HKEY_LOCAL_MACHINE, loaded, folder) || machine;
    user = repoint(HKEY_CURRENT_USER, loaded, folder) || user;
  }
  log_note("runtime installed", log_fields()
                                    .text("version", version)
                                    .text("folder", folder)
                                    .boolean("machineEntry", machine)
                                    .boolean("userEntry", user));
  for (const auto& slot : shared().modules) {
    if (const module_entry* entry = slot.load()) entry->version_installed(version.c_str());
  }
}

}  // namespace standin
