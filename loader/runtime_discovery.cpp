#include "loader/runtime_discovery.h"

#include <objbase.h>

#include <climits>
#include <cwchar>
#include <vector>

#include "util/loaded_library.h"
#include "util/reg_key.h"

namespace webview::detail {

namespace {

constexpr wchar_t client_state_key[] =
    L"SOFTWARE\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
constexpr REGSAM client_state_access = KEY_READ | KEY_WOW64_32KEY;
constexpr wchar_t runtime_folder_value[] = L"EBWebView";
constexpr wchar_t product_version_entry[] = L"\\StringFileInfo\\040904B0\\ProductVersion";
constexpr HRESULT search_failed = static_cast<HRESULT>(0xFFFFFFFF);

using get_file_version_info_size_fn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using get_file_version_info_fn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using ver_query_value_fn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

bool is_space(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

void strip_trailing_nuls(std::wstring& text) {
  while (!text.empty() && text.back() == L'\0') text.pop_back();
}

bool usable(const std::wstring& version_text) {
  return parse_runtime_version(version_text).build >= minimum_runtime_build;
}

// An entry left behind by an uninstalled or half-updated runtime names a folder without the
// client DLL; it counts as no entry at all.
bool client_dll_present(const runtime_install& install) {
  const DWORD attributes = GetFileAttributesW(install.client_dll_path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

runtime_install find_runtime(const wchar_t* browser_folder) {
  if (browser_folder != nullptr) return find_runtime_in_folder(browser_folder);
  runtime_install machine = find_runtime_in_registry(true);
  if (machine.found && client_dll_present(machine)) return machine;
  runtime_install user = find_runtime_in_registry(false);
  if (user.found && client_dll_present(user)) return user;
  return {};
}

runtime_install find_runtime_in_registry(bool per_machine) {
  const reg_key key(per_machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, client_state_key,
                    client_state_access);
  if (!key.is_open()) return {};
  std::wstring folder = key.query_string(runtime_folder_value);
  strip_trailing_nuls(folder);
  // A NUL inside the path would cut it short when handed to the loader, which would then load
  // some other file.
  if (folder.find(L'\0') != std::wstring::npos) return {};
  const auto separator = folder.find_last_of(L'\\');
  std::wstring version =
      separator == std::wstring::npos ? std::wstring() : folder.substr(separator + 1);
  if (!usable(version)) return {};
  return {true, client_dll_path_for(folder), std::move(version), 0};
}

runtime_install find_runtime_in_folder(const std::wstring& folder) {
  std::wstring path = client_dll_path_for(folder);
  std::wstring version = file_product_version(path);
  if (!usable(version)) return {};
  return {true, std::move(path), std::move(version), 1};
}

std::wstring client_dll_path_for(const std::wstring& folder) {
  std::wstring path = folder;
  if (!path.empty() && path.back() != L'/' && path.back() != L'\\') path += L'\\';
  path += L"EBWebView\\";
  path += L"x64";
  path += L"\\EmbeddedBrowserWebView.dll";
  return path;
}

std::wstring file_product_version(const std::wstring& path) {
  // Reached at run time so that version.dll comes from the system folder and nowhere else.
  const loaded_library version_dll(L"version.dll", library_search::system_folder);
  const auto size_of = version_dll.get_as<get_file_version_info_size_fn>("GetFileVersionInfoSizeW");
  const auto read = version_dll.get_as<get_file_version_info_fn>("GetFileVersionInfoW");
  const auto query = version_dll.get_as<ver_query_value_fn>("VerQueryValueW");
  if (size_of == nullptr || read == nullptr || query == nullptr) return {};

  DWORD ignored = 0;
  const DWORD size = size_of(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<unsigned char> block(size);
  if (!read(path.c_str(), 0, size, block.data())) return {};
  void* text = nullptr;
  UINT length = 0;
  if (!query(block.data(), product_version_entry, &text, &length) || text == nullptr ||
      length == 0) {
    return {};
  }
  std::wstring version(static_cast<const wchar_t*>(text), length);
  // The reported length may count the string's terminator.
  strip_trailing_nuls(version);
  return version;
}

runtime_version parse_runtime_version(const std::wstring& text) {
  std::uint32_t parts[4] = {};
  size_t start = 0;
  for (int index = 0; index < 4; ++index) {
    const size_t dot = text.find(L'.', start);
    const size_t end = dot == std::wstring::npos ? text.size() : dot;
    parts[index] = parse_version_part(text.substr(start, end - start));
    if (dot == std::wstring::npos) break;
    start = dot + 1;
  }
  return {parts[0], parts[1], parts[2], parts[3]};
}

std::uint32_t parse_version_part(const std::wstring& piece) {
  size_t at = 0;
  while (at < piece.size() && is_space(piece[at])) ++at;
  bool negative = false;
  if (at < piece.size() && (piece[at] == L'+' || piece[at] == L'-')) {
    negative = piece[at] == L'-';
    ++at;
  }
  // Digits up to the first other character; no digit, a negative number or one beyond the
  // signed 32-bit range all count as 0.
  long long value = 0;
  bool any_digit = false;
  for (; at < piece.size() && piece[at] >= L'0' && piece[at] <= L'9'; ++at) {
    any_digit = true;
    value = value * 10 + (piece[at] - L'0');
    if (value > INT_MAX) return 0;
  }
  if (!any_digit || negative) return 0;
  return static_cast<std::uint32_t>(value);
}

HRESULT builtin_get_available_browser_version_string(const wchar_t* browser_folder,
                                                     wchar_t** version) {
  if (version == nullptr) return search_failed;
  const runtime_install install = find_runtime(browser_folder);
  if (!install.found) return search_failed;
  const size_t units = install.version.size() + 1;
  auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(units * sizeof(wchar_t)));
  if (copy == nullptr) return search_failed;
  std::wmemcpy(copy, install.version.c_str(), units);
  *version = copy;
  return S_OK;
}

}  // namespace webview::detail
