// The Windows .ico container for PNG-compressed images.
#pragma once

#include <cstdint>
#include <vector>

namespace webview::detail {

struct ico_image {
  std::uint32_t size;             // square edge in pixels, 1 to 256
  std::vector<std::uint8_t> png;  // a complete 32-bit RGBA PNG file of that size
};

// An .ico file listing the images in the given order, each as a 32 bpp entry whose data is the
// PNG itself. Throws std::invalid_argument for an empty list, more than 65535 images or a size
// outside 1..256.
std::vector<std::uint8_t> make_ico(const std::vector<ico_image>& images);

}  // namespace webview::detail
