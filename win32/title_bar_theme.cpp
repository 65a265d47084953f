#include "win32/title_bar_theme.h"

#include <cstdlib>
#include <cstdint>

#include "util/loaded_library.h"
#include "util/reg_key.h"

namespace webview::detail {
namespace {

using set_window_attribute_fn = HRESULT(WINAPI*)(HWND, DWORD, const void*, DWORD);

constexpr DWORD use_immersive_dark_mode = 20;
// The same attribute's number on Windows 10 builds before 18985.
constexpr DWORD use_immersive_dark_mode_before_20h1 = 19;

// dwmapi.dll is not a protected system library, so it is never imported statically (a copy
// planted beside the executable would win); it is loaded once from the system folder and kept.
HMODULE dwmapi_module() {
  static HMODULE module = [] {
    HMODULE loaded = loaded_library(L"dwmapi.dll", library_search::system_folder).release();
    std::atexit([] {
      if (module) FreeLibrary(module);
      module = nullptr;
    });
    return loaded;
  }();
  return module;
}

}  // namespace

bool system_prefers_dark_apps() {
  const reg_key key(HKEY_CURRENT_USER,
                    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", KEY_READ);
  if (!key.is_open()) return false;
  const auto bytes = key.query_bytes(L"AppsUseLightTheme");
  if (bytes.size() < 4) return false;
  const std::uint32_t value =
      static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
      static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return value == 0;
}

void sync_title_bar_theme(HWND window) {
  const BOOL dark = system_prefers_dark_apps() ? TRUE : FALSE;
  const HMODULE dwmapi = dwmapi_module();
  if (!dwmapi) return;
  const auto set_attribute = reinterpret_cast<set_window_attribute_fn>(
      reinterpret_cast<void*>(GetProcAddress(dwmapi, "DwmSetWindowAttribute")));
  if (!set_attribute) return;
  if (set_attribute(window, use_immersive_dark_mode, &dark, sizeof(dark)) != S_OK) {
    set_attribute(window, use_immersive_dark_mode_before_20h1, &dark, sizeof(dark));
  }
}

}  // namespace webview::detail
