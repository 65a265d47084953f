#include "win32/dpi.h"

#include <algorithm>

#include "util/loaded_library.h"

namespace webview::detail {
namespace {

using set_context_fn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
using set_awareness_fn = HRESULT(WINAPI*)(int);
using set_aware_fn = BOOL(WINAPI*)();
using get_dpi_for_window_fn = UINT(WINAPI*)(HWND);
using rtl_get_version_fn = LONG(WINAPI*)(OSVERSIONINFOW*);
using get_window_context_fn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using contexts_equal_fn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
using enable_scaling_fn = BOOL(WINAPI*)(HWND);
using adjust_for_dpi_fn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using metrics_for_dpi_fn = int(WINAPI*)(int, UINT);

constexpr int process_per_monitor_dpi_aware = 2;

template <typename Function>
Function lookup(const loaded_library& library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(library.get(name)));
}

}  // namespace

std::int32_t compare_os_version(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
  const loaded_library ntdll(L"ntdll.dll", library_search::system_folder);
  const auto rtl_get_version = lookup<rtl_get_version_fn>(ntdll, "RtlGetVersion");
  if (!rtl_get_version) return 0;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (rtl_get_version(&info) != 0) return 0;
  if (info.dwMajorVersion != major) return static_cast<std::int32_t>(info.dwMajorVersion - major);
  if (info.dwMinorVersion != minor) return static_cast<std::int32_t>(info.dwMinorVersion - minor);
  return static_cast<std::int32_t>(info.dwBuildNumber - build);
}

bool make_process_dpi_aware() {
  const loaded_library user32(L"user32.dll", library_search::system_folder);
  if (const auto set_context = lookup<set_context_fn>(user32, "SetProcessDpiAwarenessContext")) {
    const auto context = compare_os_version(10, 0, 15063) >= 0
                             ? DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
                             : DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE;
    if (set_context(context)) return true;
    // Access denied: the awareness was already fixed, for instance by a manifest.
    return GetLastError() == ERROR_ACCESS_DENIED;
  }
  const loaded_library shcore(L"shcore.dll", library_search::system_folder);
  if (const auto set_awareness = lookup<set_awareness_fn>(shcore, "SetProcessDpiAwareness")) {
    const HRESULT hr = set_awareness(process_per_monitor_dpi_aware);
    return hr == S_OK || hr == E_ACCESSDENIED;
  }
  if (const auto set_aware = lookup<set_aware_fn>(user32, "SetProcessDPIAware")) {
    return set_aware() != FALSE;
  }
  return false;
}

std::int32_t window_dpi_or_default(HWND window) {
  const loaded_library user32(L"user32.dll", library_search::system_folder);
  if (const auto get_dpi = lookup<get_dpi_for_window_fn>(user32, "GetDpiForWindow")) {
    const UINT dpi = get_dpi(window);
    // A window handle that is no longer valid yields 0; that is not a usable DPI.
    if (dpi != 0) return static_cast<std::int32_t>(dpi);
  }
  return USER_DEFAULT_SCREEN_DPI;
}

void enable_caption_dpi_scaling(HWND window) {
  const loaded_library user32(L"user32.dll", library_search::system_folder);
  const auto get_context = lookup<get_window_context_fn>(user32, "GetWindowDpiAwarenessContext");
  if (!get_context) return;
  const DPI_AWARENESS_CONTEXT context = get_context(window);
  if (!context) return;
  const auto equal = lookup<contexts_equal_fn>(user32, "AreDpiAwarenessContextsEqual");
  if (!equal || !equal(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) return;
  if (const auto enable = lookup<enable_scaling_fn>(user32, "EnableNonClientDpiScaling")) {
    enable(window);
  }
}

SIZE frame_size_for_client(HWND window, std::int32_t width, std::int32_t height, std::int32_t dpi) {
  const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  RECT rect{0, 0, width, height};
  const loaded_library user32(L"user32.dll", library_search::system_folder);
  if (const auto adjust = lookup<adjust_for_dpi_fn>(user32, "AdjustWindowRectExForDpi")) {
    adjust(&rect, style, FALSE, 0, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRect(&rect, style, FALSE);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE small_icon_size(HWND window) {
  const loaded_library user32(L"user32.dll", library_search::system_folder);
  if (const auto metrics = lookup<metrics_for_dpi_fn>(user32, "GetSystemMetricsForDpi")) {
    const auto dpi = static_cast<UINT>(window_dpi_or_default(window));
    return SIZE{metrics(SM_CXSMICON, dpi), metrics(SM_CYSMICON, dpi)};
  }
  return SIZE{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
}

std::int32_t scale_by_dpi(std::int32_t value, std::int32_t new_dpi, std::int32_t old_dpi) {
  if (old_dpi == 0) return value;
  return static_cast<std::int32_t>(static_cast<std::int64_t>(value) * new_dpi / old_dpi);
}

SIZE rescale_window_size(SIZE pending, SIZE old_frame, SIZE new_frame, std::int32_t old_dpi,
                         std::int32_t new_dpi) {
  const LONG client_width = std::max<LONG>(0, pending.cx - old_frame.cx);
  const LONG client_height = std::max<LONG>(0, pending.cy - old_frame.cy);
  return SIZE{scale_by_dpi(client_width, new_dpi, old_dpi) + new_frame.cx,
              scale_by_dpi(client_height, new_dpi, old_dpi) + new_frame.cy};
}

SIZE dpi_scaled_window_size(HWND window, SIZE pending, std::int32_t old_dpi, std::int32_t new_dpi) {
  return rescale_window_size(pending, frame_size_for_client(window, 0, 0, old_dpi),
                             frame_size_for_client(window, 0, 0, new_dpi), old_dpi, new_dpi);
}

void take_suggested_rectangle(HWND window, const RECT* suggested) {
  if (!suggested) return;
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace webview::detail
