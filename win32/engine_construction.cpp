#include <shobjidl.h>

#include <utility>

#include "loader/environment_creation.h"
#include "util/diagnostic_log.h"
#include "util/exception_barrier.h"
#include "util/text_encoding.h"
#include "win32/dpi.h"
#include "win32/show_request.h"
#include "win32/window_class.h"
#include "win32/win32_edge_engine.h"
#include "win32/window_procedure.h"

namespace webview::detail {
namespace {

LRESULT CALLBACK detached_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// From here on no message reaches the engine through this window.
void detach(HWND window) noexcept {
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&detached_window_proc));
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

void destroy(HWND& window) noexcept {
  if (!window) return;
  DestroyWindow(window);
  window = nullptr;
}

// The application's icon at a size the system asks of a window class (SM_CXICON, SM_CXSMICON):
// shared, so Windows keeps one copy and it is never destroyed.
HICON load_class_icon(HINSTANCE module, int resource, int width_metric, int height_metric) {
  if (resource == 0) return nullptr;
  const auto icon = static_cast<HICON>(
      LoadImageW(module, MAKEINTRESOURCEW(resource), IMAGE_ICON, GetSystemMetrics(width_metric),
                 GetSystemMetrics(height_metric), LR_DEFAULTCOLOR | LR_SHARED));
  if (!icon) log_if_failed("LoadImageW", HRESULT_FROM_WIN32(GetLastError()));
  return icon;
}

constexpr wchar_t widget_window_class[] = L"webview_widget";
constexpr wchar_t message_window_class[] = L"webview_message";

}  // namespace

win32_edge_engine::win32_edge_engine(shell_configuration configuration, bool debug,
                                     void* parent_window)
    : configuration(std::move(configuration)),
      loader_module(L"WebView2Loader.dll", library_search::application_or_system),
      owns_window(parent_window == nullptr) {
  // Before any window exists, so that every window of the process is grouped under it.
  log_if_failed(
      "SetCurrentProcessExplicitAppUserModelID",
      SetCurrentProcessExplicitAppUserModelID(this->configuration.taskbar_identity.c_str()));
  // Decided before any window exists and before COM is touched.
  const std::optional<std::wstring> runtime_version =
      find_available_runtime(loader_module, &runtime_found);
  if (!runtime_version) {
    log_event("no usable WebView2 runtime");
    throw exception(error_missing_dependency, "WebView2 is unavailable");
  }
  log_event("runtime version " + utf16_to_utf8(*runtime_version));
  try {
    create_windows_and_embed(debug, parent_window);
  } catch (...) {
    // No window may reach the engine afterwards: the failure dialog that follows pumps messages.
    tear_down(false);
    throw;
  }
}

void win32_edge_engine::create_windows_and_embed(bool debug, void* parent_window) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  locate_user_data().throw_if_error();
  if (owns_window) {
    com_apartment = com_apartment_guard(COINIT_APARTMENTTHREADED);
    make_process_dpi_aware();
    // With the class, not set on the window afterwards: the window has them when it is first
    // shown, and each later change of a shown window's icon costs a conversion under Wine.
    const HICON icon = load_class_icon(module, configuration.icon_resource, SM_CXICON, SM_CYICON);
    const HICON small_icon =
        load_class_icon(module, configuration.icon_resource, SM_CXSMICON, SM_CYSMICON);
    register_window_class(
        configuration.window_class.c_str(),
        &window_procedure<win32_edge_engine, &win32_edge_engine::handle_main_window_message>,
        module, icon, small_icon);
    CreateWindowExW(0, configuration.window_class.c_str(), configuration.window_title.c_str(),
                    WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                    module, this);
    if (!main_window) throw exception(error_invalid_state, "Window is null");
    add_window_ref();
    dpi = window_dpi_or_default(main_window);
  } else {
    HWND parent = static_cast<HWND>(parent_window);
    if (!IsWindow(parent)) parent = *static_cast<HWND*>(parent_window);
    main_window = parent;
    dpi = window_dpi_or_default(main_window);
  }

  register_window_class(
      widget_window_class,
      &window_procedure<win32_edge_engine, &win32_edge_engine::handle_widget_window_message>,
      module, nullptr);
  // Clipping the browser's window: once it shows, the background is not painted under it.
  CreateWindowExW(WS_EX_CONTROLPARENT, widget_window_class, nullptr, WS_CHILD | WS_CLIPCHILDREN, 0,
                  0, 0, 0, main_window, nullptr, module, this);
  if (!widget_window) throw exception(error_invalid_state, "Widget window is null");

  register_window_class(
      message_window_class,
      &window_procedure<win32_edge_engine, &win32_edge_engine::handle_message_window_message>,
      module, nullptr);
  CreateWindowExW(0, message_window_class, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                  this);
  if (!message_window) throw exception(error_invalid_state, "Message window is null");

  if (owns_window) {
    // Before the window is first shown, which creates its taskbar button.
    badge = std::make_unique<taskbar_badge>(main_window);
    taskbar_button_created = taskbar_button_created_message();
    // From the start: a second start while the browser is still coming up must be heard too.
    show_request = show_request_message(configuration.window_class);
    is_hidden = configuration.starts_in_background;
    // The first time the window appears, at its final place and size.
    place_main_window(!is_hidden);
    // Not painted now with UpdateWindow: showing it erased the client in the theme's colour,
    // which is all its WM_PAINT would draw, and the browser's first paint brings the frame out.
    if (!is_hidden) SetFocus(main_window);
  }

  embed(debug);
  if (owns_window) {
    if (is_hidden) main_browser->set_visible(false);
    attention_changed();
  }
}

void win32_edge_engine::after_first_navigation() {
  if (first_navigation_asked || !owns_window) return;
  first_navigation_asked = true;
  // Posted: the application may still wait for the browser before its loop runs, and none of
  // this is needed to show the page.
  post_task([this] { finish_start(); });
}

void win32_edge_engine::finish_start() {
  start_notification_area();
  set_large_icon();
}

// The class's SM_CXICON image is scaled up for the taskbar and Alt+Tab at high DPI; the
// 256-pixel one is set once, on the shown window.
void win32_edge_engine::set_large_icon() {
  if (!main_window || configuration.icon_resource == 0) return;
  large_icon = unique_icon(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(configuration.icon_resource),
                 IMAGE_ICON, 256, 256, LR_DEFAULTCOLOR)));
  if (!large_icon) {
    log_if_failed("LoadImageW", HRESULT_FROM_WIN32(GetLastError()));
    return;
  }
  SendMessageW(main_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_icon.get()));
}

// The one teardown, for the destructor and for a failed construction, in a fixed order: the
// zoom is saved while the controller lives, the browser objects go before the windows that host
// them, and the message window goes last so that queued tasks can still be run or freed.
// `run_queued_tasks` runs the tasks dispatched so far; otherwise they are freed unrun.
void win32_edge_engine::tear_down(bool run_queued_tasks) noexcept {
  end_notification(false);
  close_popups();
  if (main_browser) main_browser->save_zoom();
  main_browser.reset();
  destroy_windows();
  if (run_queued_tasks) call_without_throwing([&] { deplete_run_loop_event_queue(); });
  detach(message_window);
  // Tasks still queued for the message window would otherwise never be freed.
  discard_queued_tasks();
  destroy(message_window);
}

// The caller's window in embedded mode is neither detached nor destroyed.
void win32_edge_engine::destroy_windows() noexcept {
  detach(widget_window);
  if (owns_window) detach(main_window);
  destroy(widget_window);
  if (owns_window && main_window) {
    DestroyWindow(main_window);
    forget_main_window(false);
  }
  main_window = nullptr;
}

win32_edge_engine::~win32_edge_engine() { tear_down(owns_window); }

}  // namespace webview::detail
