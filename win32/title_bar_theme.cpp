#include "win32/title_bar_theme.h"

#include <cstdint>

#include "util/diagnostic_log.h"
#include "util/loaded_library.h"
#include "util/reg_key.h"

namespace webview::detail {
namespace {

using set_window_attribute_fn = HRESULT(WINAPI*)(HWND, DWORD, const void*, DWORD);

constexpr DWORD use_immersive_dark_mode = 20;
// The same attribute's number on Windows 10 builds before 18985.
constexpr DWORD use_immersive_dark_mode_before_20h1 = 19;

// dwmapi.dll is not a protected system library, so it is never imported statically (a copy
// planted beside the executable would win); it is loaded once from the system folder, and kept
// with the address of its one function for the process's life.
set_window_attribute_fn dwm_set_window_attribute() {
  static const loaded_library dwmapi(L"dwmapi.dll", library_search::system_folder);
  static const auto function = dwmapi.get_as<set_window_attribute_fn>("DwmSetWindowAttribute");
  return function;
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

void sync_title_bar_theme(HWND window, bool dark) {
  const BOOL value = dark ? TRUE : FALSE;
  const set_window_attribute_fn set_attribute = dwm_set_window_attribute();
  if (!set_attribute) return;
  if (set_attribute(window, use_immersive_dark_mode, &value, sizeof(value)) != S_OK) {
    log_if_failed(
        "DwmSetWindowAttribute",
        set_attribute(window, use_immersive_dark_mode_before_20h1, &value, sizeof(value)));
  }
}

}  // namespace webview::detail
