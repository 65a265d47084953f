// An independent PNG and zlib reader for checking what the encoder and the icon generator
// write. Handles every deflate block type; PNG images only as 8-bit RGB or RGBA, not interlaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace webview::detail {

class png_format_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct decoded_png {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint8_t bit_depth = 0;
  std::uint8_t colour_type = 0;
  std::vector<std::uint8_t> pixels;  // rows top to bottom, no filter bytes
};

// The bytes held by a zlib stream. Throws png_format_error for a bad header, a malformed
// deflate stream, a wrong Adler-32, bytes after the stream or output beyond `max_output`.
std::vector<std::uint8_t> zlib_decompress(const std::uint8_t* data, std::size_t size,
                                          std::size_t max_output);

// Checks the signature, every chunk's CRC, IHDR first and IEND last, then inflates and
// unfilters the image. Throws png_format_error on any fault.
decoded_png decode_png(const std::vector<std::uint8_t>& file);

}  // namespace webview::detail
