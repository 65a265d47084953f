// The image of the taskbar button's unread badge: a filled circle with the count in white.
// GDI only; call on the thread that uses the icon.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace webview::detail {

// Owner of one icon, destroyed with DestroyIcon in the destructor. Move-only.
class unique_icon {
 public:
  unique_icon() noexcept = default;
  explicit unique_icon(HICON icon) noexcept : icon_(icon) {}
  ~unique_icon() { reset(); }
  unique_icon(const unique_icon&) = delete;
  unique_icon& operator=(const unique_icon&) = delete;
  unique_icon(unique_icon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  unique_icon& operator=(unique_icon&& other) noexcept {
    if (this != &other) {
      reset();
      icon_ = std::exchange(other.icon_, nullptr);
    }
    return *this;
  }

  HICON get() const noexcept { return icon_; }
  explicit operator bool() const noexcept { return icon_ != nullptr; }
  void reset() noexcept {
    if (icon_) DestroyIcon(std::exchange(icon_, nullptr));
  }

 private:
  HICON icon_ = nullptr;
};

// The badge's colour when the accent colour is unknown or too light under white digits.
constexpr COLORREF badge_red = RGB(0xD1, 0x34, 0x38);

// The user's accent colour (Explorer's "AccentColorMenu" DWORD, 0xAABBGGRR) when white on it has
// a contrast of at least 4.5:1, else badge_red. Missing or malformed values give badge_red.
COLORREF badge_fill_colour();

// A `size` x `size` icon: a circle filled with `fill`, its edge antialiased and everything outside
// it transparent, with `text` centred in white bold system font, as large as fits across the
// circle. Empty `text` draws the dot. The colour bitmap carries straight (not premultiplied)
// alpha, as icons take it. An empty icon when `size` is not positive or GDI fails (logged).
unique_icon draw_unread_badge(const std::wstring& text, int size, COLORREF fill);

}  // namespace webview::detail
