// The stand-in's visible page: a child window of the application's host window that paints the
// current URL and a status line, so that a screenshot shows what the application asked for.
// Create, use and destroy on the thread that owns the parent window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "testing/standin/module_use.h"
#include "webview2/webview2_abi.h"

namespace standin {

// Opaque white, the runtime's default background colour.
constexpr COREWEBVIEW2_COLOR default_background{255, 255, 255, 255};

// "#AARRGGBB", for the log.
std::string argb_text(const COREWEBVIEW2_COLOR& color);

// What the window shows; changed by the browser objects, repainted by refresh().
struct page_display {
  // The controller's default background colour, painted while no page is shown; alpha 0 lets
  // the parent window's background show through.
  COREWEBVIEW2_COLOR background = default_background;
  // What the first frame shows instead: the environment's colour, which the API cannot change.
  COREWEBVIEW2_COLOR first_frame = default_background;
  // True once the latest navigation completed successfully; false before, while a navigation is
  // under way and after a failed one.
  bool page_shown = false;
  std::wstring url;
  std::wstring user_agent;
  double zoom = 1.0;
  std::size_t scripts = 0;
  bool fullscreen = false;
  std::string last_call;
};

// Owner of one GDI font, deleted in the destructor.
class gdi_font {
 public:
  explicit gdi_font(HFONT font) noexcept : font(font) {}
  gdi_font(const gdi_font&) = delete;
  gdi_font& operator=(const gdi_font&) = delete;
  ~gdi_font() noexcept {
    if (font) DeleteObject(font);
  }
  HFONT get() const noexcept { return font; }

 private:
  HFONT font;
};

class browser_window {
 public:
  // Null when `parent` is not a window or the child cannot be created.
  static std::unique_ptr<browser_window> create(HWND parent);

  explicit browser_window(HWND parent) noexcept;
  browser_window(const browser_window&) = delete;
  browser_window& operator=(const browser_window&) = delete;
  // Destroys the window, and the window class with the last one: the DLL may be unloaded next.
  ~browser_window() noexcept;

  // Null after destroy() or after the parent destroyed the window with itself.
  HWND handle() const noexcept { return window; }
  HWND parent() const noexcept { return parent_window; }

  page_display& display() noexcept { return shown; }
  void refresh() noexcept;
  void note_call(const char* method);
  void destroy() noexcept;

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void paint();
  // Fills the client area with `color`; returns the colour painted (for a transparent
  // background, one pixel of what the parent painted).
  COLORREF paint_background(HDC dc, const RECT& client, const RECT& update,
                            const COREWEBVIEW2_COLOR& color);

  HWND window = nullptr;
  HWND parent_window;
  gdi_font url_font;
  page_display shown;
  bool painted = false;  // the first WM_PAINT is logged, for start-up measurements
  module_use in_use;
};

}  // namespace standin
