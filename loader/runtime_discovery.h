// Finding an installed WebView2 runtime without the vendor's loader DLL: the Edge updater's
// client-state registry entry (per-machine, then per-user, 32-bit view) or an explicit folder.
// Every failure ends as "not found"; nothing here throws except on allocation failure.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace webview::detail {

constexpr std::uint32_t minimum_runtime_build = 1150;

struct runtime_install {
  bool found = false;
  std::wstring client_dll_path;  // full path of EmbeddedBrowserWebView.dll
  std::wstring version;
  std::int32_t source = 0;  // 0: the updater's registry, 1: an explicit browser folder
};

struct runtime_version {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t patch = 0;
};

// With a non-null folder (even an empty one) only that folder is searched. Otherwise the
// per-machine entry, then the per-user one; an entry whose folder has no client DLL is skipped.
runtime_install find_runtime(const wchar_t* browser_folder);
// A registered folder holding a NUL before its end counts as not found: the path would be cut
// short when loaded.
// What one entry says, without looking at the files.
runtime_install find_runtime_in_registry(bool per_machine);
runtime_install find_runtime_in_folder(const std::wstring& folder);
std::wstring client_dll_path_for(const std::wstring& folder);
// The US-English product version of a file's version resource; empty when unavailable.
std::wstring file_product_version(const std::wstring& path);
runtime_version parse_runtime_version(const std::wstring& text);
std::uint32_t parse_version_part(const std::wstring& piece);

// Same contract as the loader export GetAvailableCoreWebView2BrowserVersionString: on success
// stores a CoTaskMemAlloc'd version text; returns -1 on every failure.
HRESULT builtin_get_available_browser_version_string(const wchar_t* browser_folder,
                                                     wchar_t** version);

}  // namespace webview::detail
