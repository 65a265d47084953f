// A self-contained PNG encoder: 8-bit RGB or RGBA pixels in, a complete PNG file out. The
// zlib stream uses fixed-Huffman deflate with LZ77 matching, or stored blocks where those come
// out smaller. Builds with any C++17 compiler; no platform or library calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace webview::detail {

enum class png_color : std::uint8_t {
  rgb = 2,   // 3 bytes a pixel
  rgba = 6,  // 4 bytes a pixel, straight (not premultiplied) alpha
};

// CRC-32 as PNG and zlib use it (reflected polynomial 0xEDB88320), of `size` bytes, continuing
// from `crc` (0 to start).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) noexcept;

// Adler-32 as zlib uses it, of `size` bytes.
std::uint32_t adler32(const std::uint8_t* data, std::size_t size) noexcept;

// A complete zlib stream (RFC 1950) holding `size` bytes.
std::vector<std::uint8_t> zlib_compress(const std::uint8_t* data, std::size_t size);

// A complete PNG file of `width` x `height` pixels, rows top to bottom without padding, each
// pixel 3 (rgb) or 4 (rgba) bytes. `pixels` must hold width * height * bytes-per-pixel bytes.
// Throws std::invalid_argument for a zero or over-large dimension (PNG allows at most 2^31-1;
// this encoder also refuses images whose pixel bytes would not fit in memory addressing).
std::vector<std::uint8_t> encode_png(const std::uint8_t* pixels, std::uint32_t width,
                                     std::uint32_t height, png_color color);

// Writes `bytes` to the file at `path`, replacing it. Returns false on any failure; a partly
// written file may then remain.
bool write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace webview::detail
