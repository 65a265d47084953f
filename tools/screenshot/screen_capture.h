// Copies pixels off the screen. All functions run on any thread that may use GDI and throw
// std::runtime_error when a GDI call fails.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace webview::detail {

struct captured_image {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows top to bottom
};

// The bounding rectangle of all monitors, in screen coordinates.
RECT virtual_screen_rect() noexcept;

// What the screen shows inside `area`, clipped to the virtual screen. Throws
// std::invalid_argument when nothing of `area` is on screen.
captured_image capture_screen(const RECT& area);

// The screen rectangle of the visible top-level window with exactly this title, if any.
std::optional<RECT> find_window_rect(const std::wstring& title);

}  // namespace webview::detail
