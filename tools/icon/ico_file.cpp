#include "tools/icon/ico_file.h"

#include <stdexcept>

namespace webview::detail {
namespace {

void put_u16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put_u16(out, v & 0xFFFF);
  put_u16(out, v >> 16);
}

constexpr std::uint32_t header_size = 6;
constexpr std::uint32_t entry_size = 16;

}  // namespace

std::vector<std::uint8_t> make_ico(const std::vector<ico_image>& images) {
  if (images.empty() || images.size() > 0xFFFF) {
    throw std::invalid_argument("an icon holds 1 to 65535 images");
  }
  std::vector<std::uint8_t> out;
  put_u16(out, 0);  // reserved
  put_u16(out, 1);  // icon, not cursor
  put_u16(out, static_cast<std::uint32_t>(images.size()));
  std::uint64_t offset = header_size + entry_size * images.size();
  for (const ico_image& image : images) {
    if (image.size == 0 || image.size > 256) {
      throw std::invalid_argument("icon image sizes are 1 to 256 pixels");
    }
    if (offset + image.png.size() > 0xFFFFFFFFu) throw std::invalid_argument("icon too large");
    // 256 does not fit the byte; the format writes it as 0.
    const std::uint8_t edge = static_cast<std::uint8_t>(image.size & 0xFF);
    out.push_back(edge);  // width
    out.push_back(edge);  // height
    out.push_back(0);     // no palette
    out.push_back(0);     // reserved
    put_u16(out, 1);      // colour planes
    put_u16(out, 32);     // bits per pixel
    put_u32(out, static_cast<std::uint32_t>(image.png.size()));
    put_u32(out, static_cast<std::uint32_t>(offset));
    offset += image.png.size();
  }
  for (const ico_image& image : images) out.insert(out.end(), image.png.begin(), image.png.end());
  return out;
}

}  // namespace webview::detail
