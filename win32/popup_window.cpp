#include "win32/popup_window.h"

#include <algorithm>
#include <utility>

#include "util/diagnostic_log.h"
#include "win32/dpi.h"
#include "win32/title_bar_theme.h"
#include "win32/window_class.h"
#include "win32/window_background.h"
#include "win32/window_procedure.h"

namespace webview::detail {
namespace {

constexpr wchar_t popup_window_class[] = L"webview_popup";
constexpr window_size default_client_size{500, 700};

// `wanted` moved into `area` where it fits, and cut to it where it does not.
RECT kept_within(RECT wanted, const RECT& area) {
  const LONG width = std::min(wanted.right - wanted.left, area.right - area.left);
  const LONG height = std::min(wanted.bottom - wanted.top, area.bottom - area.top);
  const LONG left = std::clamp(wanted.left, area.left, area.right - width);
  const LONG top = std::clamp(wanted.top, area.top, area.bottom - height);
  return RECT{left, top, left + width, top + height};
}

}  // namespace

popup_window::popup_window(browser_host_owner& opener, const shell_configuration& configuration,
                           HWND main_window, ICoreWebView2Environment* environment,
                           browser_host_options options)
    : opener(opener),
      configuration(configuration),
      main_window(main_window),
      environment(com_ptr<ICoreWebView2Environment>::share(environment)),
      background(options.background),
      browser_options(std::move(options)) {}

popup_window::~popup_window() { close(); }

bool popup_window::open(popup_request& request, const std::vector<std::wstring>& scripts) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  register_window_class(popup_window_class,
                        &window_procedure<popup_window, &popup_window::handle_message>, module,
                        nullptr);
  // Owned by the main window: above it, and without a taskbar button of its own.
  CreateWindowExW(0, popup_window_class, configuration.window_title.c_str(), WS_OVERLAPPEDWINDOW,
                  CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, main_window, nullptr, module, this);
  if (!window) {
    log_if_failed("CreateWindowExW", HRESULT_FROM_WIN32(GetLastError()));
    return false;
  }
  for (const WPARAM kind : {ICON_BIG, ICON_SMALL}) {
    const auto icon = GetClassLongPtrW(main_window, kind == ICON_BIG ? GCLP_HICON : GCLP_HICONSM);
    if (icon) SendMessageW(window, WM_SETICON, kind, static_cast<LPARAM>(icon));
  }
  place(request.features());

  browser_options.parent = window;
  browser = std::make_unique<browser_host>(static_cast<browser_host_owner&>(*this), configuration,
                                           browser_options);
  const noresult started = browser->start();
  if (started.has_error()) {
    log_event("popup failed: " + started.error().message + " (" +
              hresult_text(started.error().platform_code) + ")");
    close();
    return false;
  }
  // The page's scripts must be in place before the runtime navigates the new window.
  for (const auto& script : scripts) browser->add_script(script);
  if (!window || !request.set_new_window(browser->webview())) {
    log_event("popup failed: the page's window could not be set");
    close();
    return false;
  }
  browser->show();
  request.complete();
  log_event("popup opened: " + request.where());
  return true;
}

void popup_window::close() noexcept {
  if (window) DestroyWindow(window);
  if (browser) browser->close();
}

void popup_window::place(const window_features& features) {
  dpi = window_dpi_or_default(main_window);
  const SIZE client =
      features.has_size
          ? SIZE{scale_by_dpi(static_cast<std::int32_t>(std::min<UINT32>(features.width, 32767)),
                              dpi, 96),
                 scale_by_dpi(static_cast<std::int32_t>(std::min<UINT32>(features.height, 32767)),
                              dpi, 96)}
          : SIZE{scale_by_dpi(default_client_size.width, dpi, 96),
                 scale_by_dpi(default_client_size.height, dpi, 96)};
  const SIZE frame = frame_size_for_client(window, client.cx, client.cy, dpi);
  RECT wanted{};
  if (features.has_position) {
    wanted.left =
        scale_by_dpi(static_cast<std::int32_t>(std::min<UINT32>(features.left, 32767)), dpi, 96);
    wanted.top =
        scale_by_dpi(static_cast<std::int32_t>(std::min<UINT32>(features.top, 32767)), dpi, 96);
  } else {
    RECT main{};
    GetWindowRect(main_window, &main);
    wanted.left = main.left + (main.right - main.left - frame.cx) / 2;
    wanted.top = main.top + (main.bottom - main.top - frame.cy) / 2;
  }
  wanted.right = wanted.left + frame.cx;
  wanted.bottom = wanted.top + frame.cy;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT placed = kept_within(wanted, monitor.rcWork);
  SetWindowPos(window, nullptr, placed.left, placed.top, placed.right - placed.left,
               placed.bottom - placed.top, SWP_NOZORDER | SWP_SHOWWINDOW);
}

HRESULT popup_window::create_environment(
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  if (!environment) return E_UNEXPECTED;
  // The environment exists already: its "completion" is delivered at once.
  return handler->Invoke(S_OK, environment.get());
}

void popup_window::post_task(std::function<void()> task) { opener.post_task(std::move(task)); }

void popup_window::on_page_message(const page_message& message) { opener.on_page_message(message); }

void popup_window::on_page_full_screen(bool on) {
  if (on) log_event("full screen asked for in a popup: not given");
}

void popup_window::on_browser_replaced() {}

void popup_window::on_browser_lost(HRESULT) { close(); }

void popup_window::open_popup(std::shared_ptr<popup_request> request) {
  opener.open_popup(std::move(request));
}

void popup_window::on_page_title(const std::wstring& title) {
  if (window) {
    SetWindowTextW(window, title.empty() ? configuration.window_title.c_str() : title.c_str());
  }
}

// Inside the browser's event: the window goes from the run loop.
void popup_window::on_page_close_requested() {
  opener.post_task([popup = weak_from_this()] {
    if (const auto open = popup.lock()) open->close();
  });
}

LRESULT popup_window::handle_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:
      window = hwnd;
      enable_caption_dpi_scaling(hwnd);
      if (system_prefers_dark_apps()) sync_title_bar_theme(hwnd, true);
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case WM_ERASEBKGND:
      paint_background(hwnd, reinterpret_cast<HDC>(wparam), background);
      return 1;
    case WM_SIZE:
      if (!browser) return 0;
      if (wparam == SIZE_MINIMIZED) {
        if (!is_minimized) browser->set_visible(false);
        is_minimized = true;
        return 0;
      }
      if (is_minimized) {
        is_minimized = false;
        browser->set_visible(true);
      }
      browser->fit_to_parent();
      return 0;
    case WM_MOVING:
    case WM_MOVE:
      if (browser) browser->parent_moved();
      return message == WM_MOVING ? TRUE : 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && browser) browser->move_focus();
      return 0;
    case WM_SETTINGCHANGE:
      if (lparam && lstrcmpW(reinterpret_cast<LPCWSTR>(lparam), L"ImmersiveColorSet") == 0) {
        const bool dark = system_prefers_dark_apps();
        background = theme_background(dark);
        sync_title_bar_theme(hwnd, dark);
        InvalidateRect(hwnd, nullptr, TRUE);
        if (browser) browser->set_background(background);
      }
      return 0;
    case WM_DPICHANGED:
      dpi = HIWORD(wparam);
      take_suggested_rectangle(hwnd, reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_GETDPISCALEDSIZE:
      *reinterpret_cast<SIZE*>(lparam) = dpi_scaled_window_size(
          hwnd, *reinterpret_cast<const SIZE*>(lparam), dpi, static_cast<std::int32_t>(wparam));
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      window = nullptr;
      if (browser) browser->close();
      log_event("popup closed");
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace webview::detail
