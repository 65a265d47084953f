#include "win32/unread_badge.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "util/diagnostic_log.h"
#include "util/reg_key.h"

namespace webview::detail {
namespace {

// Owner of one GDI object (a bitmap, a font), deleted with DeleteObject. Move-only.
template <typename Handle>
class gdi_object {
 public:
  explicit gdi_object(Handle handle) noexcept : handle_(handle) {}
  ~gdi_object() {
    if (handle_) DeleteObject(handle_);
  }
  gdi_object(const gdi_object&) = delete;
  gdi_object& operator=(const gdi_object&) = delete;
  gdi_object(gdi_object&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  gdi_object& operator=(gdi_object&&) = delete;

  Handle get() const noexcept { return handle_; }

 private:
  Handle handle_;
};

// Owner of one memory device context, deleted with DeleteDC.
class memory_dc {
 public:
  memory_dc() noexcept : dc_(CreateCompatibleDC(nullptr)) {}
  ~memory_dc() {
    if (dc_) DeleteDC(dc_);
  }
  memory_dc(const memory_dc&) = delete;
  memory_dc& operator=(const memory_dc&) = delete;

  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a device context and the previous one back on destruction.
class selection {
 public:
  selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~selection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  selection(const selection&) = delete;
  selection& operator=(const selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

constexpr wchar_t accent_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent";

// The contrast of white on `colour`, from sRGB relative luminance.
double contrast_with_white(COLORREF colour) {
  const auto linear = [](BYTE channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
  };
  const double luminance = 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour)) +
                           0.0722 * linear(GetBValue(colour));
  return 1.05 / (luminance + 0.05);
}

// The bold message font (as the system shows dialog text) at `height` pixels per em, grey-scale
// antialiased: the text is read back as one coverage value per pixel, and ClearType's coloured
// fringes would show on the badge.
gdi_object<HFONT> bold_font(int height) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  LOGFONTW font{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    font = metrics.lfMessageFont;
  }
  font.lfHeight = -height;
  font.lfWidth = 0;
  font.lfWeight = FW_BOLD;
  font.lfItalic = FALSE;
  font.lfUnderline = FALSE;
  font.lfQuality = ANTIALIASED_QUALITY;
  return gdi_object<HFONT>(CreateFontIndirectW(&font));
}

struct ink_box {
  int left, top, right, bottom;  // right and bottom exclusive; empty when left >= right
};

// Where `coverage` (size x size, row by row) is not zero.
ink_box ink_bounds(const std::vector<BYTE>& coverage, int size) {
  ink_box box{size, size, 0, 0};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (!coverage[y * size + x]) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
             std::max(box.bottom, y + 1)};
    }
  }
  return box;
}

// White `text` drawn on black into the selected size x size bitmap, read back as coverage: the
// largest bold font, at most 3/4 of the badge high, whose ink fits across the circle less a
// margin. The ink, not the font's cell, is measured, so that digits are centred by their shape.
std::vector<BYTE> text_coverage(HDC dc, std::uint32_t* pixels, const std::wstring& text, int size,
                                ink_box& ink) {
  std::vector<BYTE> coverage(static_cast<std::size_t>(size) * size);
  const int room = size - 2 * std::max(1, size / 10);
  SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
  SetBkMode(dc, TRANSPARENT);
  for (int height = size * 3 / 4; height > 0; --height) {
    std::fill(pixels, pixels + coverage.size(), 0u);
    const gdi_object<HFONT> font = bold_font(height);
    if (!font.get()) {
      log_event("CreateFontIndirectW failed");
      break;
    }
    const selection font_selected(dc, font.get());
    RECT area{0, 0, size, size};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
    for (std::size_t i = 0; i < coverage.size(); ++i) {
      const std::uint32_t pixel = pixels[i];
      coverage[i] =
          static_cast<BYTE>(std::max({pixel & 0xFF, (pixel >> 8) & 0xFF, (pixel >> 16) & 0xFF}));
    }
    ink = ink_bounds(coverage, size);
    if (ink.right - ink.left <= room) break;
  }
  return coverage;
}

// The share of pixel (x, y) inside the circle filling the badge, from 4 x 4 samples.
BYTE circle_alpha(int x, int y, int size) {
  const double centre = size / 2.0;
  int inside = 0;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      const double dx = x + (i + 0.5) / 4 - centre;
      const double dy = y + (j + 0.5) / 4 - centre;
      if (dx * dx + dy * dy <= centre * centre) ++inside;
    }
  }
  return static_cast<BYTE>(inside * 255 / 16);
}

}  // namespace

COLORREF badge_fill_colour() {
  const reg_key key(HKEY_CURRENT_USER, accent_key, KEY_READ);
  if (!key.is_open()) return badge_red;
  const auto bytes = key.query_bytes(L"AccentColorMenu");
  if (bytes.size() != 4) return badge_red;
  // 0xAABBGGRR stored little-endian: red, green, blue, alpha.
  const COLORREF accent = RGB(bytes[0], bytes[1], bytes[2]);
  return contrast_with_white(accent) >= 4.5 ? accent : badge_red;
}

unique_icon draw_unread_badge(const std::wstring& text, int size, COLORREF fill) {
  if (size <= 0) return {};
  const memory_dc dc;
  if (!dc.get()) {
    log_event("CreateCompatibleDC failed");
    return {};
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const gdi_object<HBITMAP> colour(
      CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour.get() || !bits) {
    log_event("CreateDIBSection failed");
    return {};
  }
  auto* const pixels = static_cast<std::uint32_t*>(bits);

  std::vector<BYTE> coverage;
  ink_box ink{0, 0, 0, 0};
  if (!text.empty()) {
    const selection bitmap_selected(dc.get(), colour.get());
    coverage = text_coverage(dc.get(), pixels, text, size, ink);
  }
  const int shift_x = (size - (ink.right - ink.left)) / 2 - ink.left;
  const int shift_y = (size - (ink.bottom - ink.top)) / 2 - ink.top;

  // Bytes per mask row: CreateBitmap takes rows padded to whole 16-bit words.
  const int mask_stride = (size + 15) / 16 * 2;
  std::vector<BYTE> mask(static_cast<std::size_t>(mask_stride) * size, 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int text_x = x - shift_x;
      const int text_y = y - shift_y;
      const unsigned white =
          ink.left < ink.right && text_x >= 0 && text_x < size && text_y >= 0 && text_y < size
              ? coverage[text_y * size + text_x]
              : 0;
      const auto blend = [white](BYTE channel) {
        return (channel * (255 - white) + 255 * white) / 255;
      };
      const BYTE alpha = circle_alpha(x, y, size);
      pixels[y * size + x] = static_cast<std::uint32_t>(alpha) << 24 |
                             blend(GetRValue(fill)) << 16 | blend(GetGValue(fill)) << 8 |
                             blend(GetBValue(fill));
      // The mask's set bits are transparent: systems without alpha icons show its shape.
      if (alpha == 0) mask[y * mask_stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  const gdi_object<HBITMAP> mask_bitmap(CreateBitmap(size, size, 1, 1, mask.data()));
  if (!mask_bitmap.get()) {
    log_event("CreateBitmap failed");
    return {};
  }
  ICONINFO parts{TRUE, 0, 0, mask_bitmap.get(), colour.get()};
  unique_icon icon(CreateIconIndirect(&parts));
  if (!icon) log_event("CreateIconIndirect failed");
  return icon;
}

}  // namespace webview::detail
