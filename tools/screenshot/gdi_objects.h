// Owners of the GDI resources one screen capture needs, each released in its destructor.
// Construction failures throw std::runtime_error; all must stay on the creating thread.
#pragma once

#include <windows.h>

namespace webview::detail {

// The device context of the whole virtual screen (GetDC(NULL)).
class screen_dc {
 public:
  screen_dc();
  ~screen_dc();
  screen_dc(const screen_dc&) = delete;
  screen_dc& operator=(const screen_dc&) = delete;

  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

// A memory device context compatible with `reference`.
class memory_dc {
 public:
  explicit memory_dc(HDC reference);
  ~memory_dc();
  memory_dc(const memory_dc&) = delete;
  memory_dc& operator=(const memory_dc&) = delete;

  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

// A top-down 32 bpp DIB section whose pixels stay readable through bits(): BGRX, rows without
// padding, valid while the object lives.
class dib_section {
 public:
  dib_section(HDC reference, int width, int height);
  ~dib_section();
  dib_section(const dib_section&) = delete;
  dib_section& operator=(const dib_section&) = delete;

  HBITMAP get() const noexcept { return bitmap_; }
  const unsigned char* bits() const noexcept { return static_cast<const unsigned char*>(bits_); }

 private:
  HBITMAP bitmap_;
  void* bits_ = nullptr;
};

// Selects an object into a device context and selects the previous one back on destruction.
class selection {
 public:
  selection(HDC dc, HGDIOBJ object);
  ~selection();
  selection(const selection&) = delete;
  selection& operator=(const selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace webview::detail
