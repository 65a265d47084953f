#include "testing/standin/browser_window.h"

#include <cstdio>
#include <cwchar>
#include <utility>

#include "testing/standin/runtime_state.h"
#include "util/exception_barrier.h"

namespace standin {

using webview::detail::call_without_throwing;

namespace {

constexpr wchar_t class_name[] = L"quendari_standin_browser";
constexpr int margin = 16;
constexpr int line_height = 22;
constexpr COLORREF page_color = RGB(236, 241, 248);

// Text colours that stay readable on the background beneath them.
struct text_colors {
  COLORREF caption;
  COLORREF url;
  COLORREF status;
};
constexpr text_colors on_light{RGB(96, 104, 120), RGB(16, 32, 96), RGB(24, 24, 24)};
constexpr text_colors on_dark{RGB(168, 176, 192), RGB(200, 214, 255), RGB(236, 236, 236)};

bool is_dark(COLORREF color) {
  return GetRValue(color) * 299 + GetGValue(color) * 587 + GetBValue(color) * 114 < 128 * 1000;
}

HINSTANCE this_module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}

HFONT create_url_font() {
  return CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

void draw_line(HDC dc, const RECT& client, int top, const std::wstring& text) {
  RECT line{client.left + margin, top, client.right - margin, top + line_height + 6};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line,
            DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

std::wstring status_line(const page_display& shown) {
  wchar_t zoom[32];
  std::swprintf(zoom, 32, L"%g", shown.zoom);
  std::wstring line = L"zoom ";
  line += zoom;
  line += L" | scripts " + std::to_wstring(shown.scripts);
  line += shown.fullscreen ? L" | fullscreen on" : L" | fullscreen off";
  line += L" | last: ";
  line.append(shown.last_call.begin(), shown.last_call.end());
  return line;
}

}  // namespace

std::string argb_text(const COREWEBVIEW2_COLOR& color) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", color.A, color.R, color.G, color.B);
  return text;
}

std::unique_ptr<browser_window> browser_window::create(HWND parent) {
  if (!parent || !IsWindow(parent)) return nullptr;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &browser_window::window_procedure;
  window_class.hInstance = this_module();
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = class_name;
  // A second registration fails with ERROR_CLASS_ALREADY_EXISTS, which is fine.
  RegisterClassExW(&window_class);
  auto owner = std::make_unique<browser_window>(parent);
  owner->window = CreateWindowExW(0, class_name, L"WebView2 stand-in", WS_CHILD | WS_CLIPSIBLINGS,
                                  0, 0, 0, 0, parent, nullptr, window_class.hInstance, nullptr);
  if (!owner->window) return nullptr;
  SetWindowLongPtrW(owner->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner.get()));
  return owner;
}

browser_window::browser_window(HWND parent) noexcept
    : parent_window(parent), url_font(create_url_font()) {}

browser_window::~browser_window() noexcept {
  destroy();
  // Fails while other browser windows use the class, which is fine.
  UnregisterClassW(class_name, this_module());
}

void browser_window::destroy() noexcept {
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(window, nullptr));
}

void browser_window::refresh() noexcept {
  if (window) InvalidateRect(window, nullptr, TRUE);
}

void browser_window::note_call(const char* method) {
  shown.last_call = method;
  refresh();
}

void browser_window::paint() {
  PAINTSTRUCT paint_info;
  const HDC dc = BeginPaint(window, &paint_info);
  RECT client{};
  GetClientRect(window, &client);
  COLORREF background = page_color;
  // First frame colour: the browser paints its first frame before a colour set through the API
  // reaches it, which "can still leave the app with a white flicker".
  const COREWEBVIEW2_COLOR& color = painted ? shown.background : shown.first_frame;
  if (shown.page_shown) {
    SetDCBrushColor(dc, page_color);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  } else {
    background = paint_background(dc, client, paint_info.rcPaint, color);
  }
  const text_colors& ink = is_dark(background) ? on_dark : on_light;
  SetBkMode(dc, TRANSPARENT);

  const HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, ink.caption);
  int top = margin;
  draw_line(dc, client, top, L"WebView2 stand-in");
  top += line_height;
  SelectObject(dc, url_font.get());
  SetTextColor(dc, ink.url);
  draw_line(dc, client, top, shown.url.empty() ? L"(no page)" : shown.url);
  top += line_height + 8;
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, ink.status);
  draw_line(dc, client, top, status_line(shown));
  top += line_height;
  draw_line(dc, client, top, L"user agent: " + shown.user_agent);
  SelectObject(dc, old_font);
  EndPaint(window, &paint_info);
  if (!painted) {
    log_note("first paint", log_fields()
                                .integer("window", reinterpret_cast<INT_PTR>(window))
                                .utf8("background", shown.page_shown ? "page" : argb_text(color)));
    painted = true;
    // The next frame shows the colour set through the API.
    refresh();
  }
}

COLORREF browser_window::paint_background(HDC dc, const RECT& client, const RECT& update,
                                          const COREWEBVIEW2_COLOR& color) {
  if (color.A != 0) {
    const COLORREF fill = RGB(color.R, color.G, color.B);
    SetDCBrushColor(dc, fill);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    return fill;
  }
  // Transparent, like a transparent child control: the parent paints its background beneath
  // (as DrawThemeParentBackground asks it to); what it leaves unpainted stays black.
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  POINT origin{0, 0};
  MapWindowPoints(window, parent_window, &origin, 1);
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
  SendMessageW(parent_window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent_window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  RestoreDC(dc, saved);
  const COLORREF beneath = GetPixel(dc, update.left, update.top);
  return beneath == CLR_INVALID ? RGB(0, 0, 0) : beneath;
}

LRESULT CALLBACK browser_window::window_procedure(HWND window, UINT message, WPARAM wparam,
                                                  LPARAM lparam) {
  return call_without_throwing(LRESULT{0}, [&]() -> LRESULT {
    auto* owner = reinterpret_cast<browser_window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_PAINT:
        if (!owner) return DefWindowProcW(window, message, wparam, lparam);
        owner->paint();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_NCDESTROY:
        // The parent may destroy this window with itself, before the browser objects go.
        if (owner) owner->window = nullptr;
        return DefWindowProcW(window, message, wparam, lparam);
      default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
  });
}

}  // namespace standin
