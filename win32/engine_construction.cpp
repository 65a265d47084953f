#include <utility>

#include "loader/environment_creation.h"
#include "win32/dpi.h"
#include "win32/win32_edge_engine.h"
#include "webview2/com_handler.h"
#include "webview2/zoom.h"

namespace webview::detail {
namespace {

LRESULT CALLBACK detached_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void register_window_class(const wchar_t* name, WNDPROC procedure, HINSTANCE module,
                           HICON icon) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = module;
  window_class.hIcon = icon;
  window_class.lpszClassName = name;
  // A second engine in the process finds the class registered already and simply uses it.
  RegisterClassExW(&window_class);
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

}  // namespace

win32_edge_engine::win32_edge_engine(bool debug, void* parent_window)
    : loader_module(L"WebView2Loader.dll", library_search::application_or_system),
      owns_window(parent_window == nullptr) {
  link->engine = this;
  // Decided before any window exists and before COM is touched.
  if (!is_webview2_available(loader_module)) {
    throw exception(error_missing_dependency, "WebView2 is unavailable");
  }
  try {
    create_windows_and_embed(debug, parent_window);
  } catch (...) {
    abandon_construction();
    throw;
  }
}

void win32_edge_engine::create_windows_and_embed(bool debug, void* parent_window) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  if (owns_window) {
    com_apartment = com_apartment_guard(COINIT_APARTMENTTHREADED);
    make_process_dpi_aware();
    const auto icon = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(32512), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    register_window_class(L"webview", &main_window_proc, module, icon);
    CreateWindowExW(0, L"webview", L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                    nullptr, nullptr, module, this);
    if (!main_window) throw exception(error_invalid_state, "Window is null");
    add_window_ref();
    dpi = window_dpi_or_default(main_window);
    set_size_impl(640, 480, size_hint::plain);
  } else {
    HWND parent = static_cast<HWND>(parent_window);
    if (!IsWindow(parent)) parent = *static_cast<HWND*>(parent_window);
    main_window = parent;
    dpi = window_dpi_or_default(main_window);
  }

  register_window_class(L"webview_widget", &widget_window_proc, module, nullptr);
  CreateWindowExW(WS_EX_CONTROLPARENT, L"webview_widget", nullptr, WS_CHILD, 0, 0, 0, 0,
                  main_window, nullptr, module, this);
  if (!widget_window) throw exception(error_invalid_state, "Widget window is null");

  register_window_class(L"webview_message", &message_window_proc, module, nullptr);
  CreateWindowExW(0, L"webview_message", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                  this);
  if (!message_window) throw exception(error_invalid_state, "Message window is null");

  if (owns_window) {
    ShowWindow(main_window, SW_SHOW);
    UpdateWindow(main_window);
    SetFocus(main_window);
  }

  // Through the link, so that a page message arriving after the engine is gone is dropped.
  std::function<void(std::string)> message_callback = [shared_link = link](std::string message) {
    if (shared_link->engine) shared_link->engine->on_message(message);
  };
  embed(widget_window, debug, std::move(message_callback)).throw_if_error();
}

// A failed construction leaves no window able to reach the engine (the failure dialog that
// follows pumps messages) and releases the browser objects embedding had already stored.
void win32_edge_engine::abandon_construction() noexcept {
  link->engine = nullptr;
  release_browser();
  destroy_windows();
  detach(message_window);
  discard_queued_tasks();
  destroy(message_window);
}

// The caller's window in embedded mode is neither detached nor destroyed.
void win32_edge_engine::destroy_windows() noexcept {
  detach(widget_window);
  if (owns_window) detach(main_window);
  destroy(widget_window);
  if (owns_window && main_window) {
    destroy(main_window);
    release_window_ref(true);
  }
  main_window = nullptr;
}

void win32_edge_engine::release_browser() noexcept {
  if (com_handler) {
    com_handler->Release();
    com_handler = nullptr;
  }
  if (webview) {
    webview->Release();
    webview = nullptr;
  }
  if (controller) {
    controller->Release();
    controller = nullptr;
  }
}

win32_edge_engine::~win32_edge_engine() {
  link->engine = nullptr;
  if (controller && !zoom_file_path.empty()) {
    double zoom = 1.0;
    if (SUCCEEDED(controller->get_ZoomFactor(&zoom))) save_zoom(zoom_file_path, zoom);
  }
  release_browser();
  destroy_windows();
  if (owns_window) deplete_run_loop_event_queue();
  detach(message_window);
  // Tasks still queued for the message window would otherwise never be freed.
  discard_queued_tasks();
  destroy(message_window);
}

}  // namespace webview::detail
