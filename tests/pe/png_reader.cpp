#include "tests/pe/png_reader.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/png/deflate_tables.h"
#include "tools/png/png_writer.h"

namespace webview::detail {
namespace {

constexpr int max_bits = 15;

class bit_reader {
 public:
  bit_reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint32_t bits(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (position_ >= size_) throw png_format_error("deflate stream truncated");
      value |= static_cast<std::uint32_t>((data_[position_] >> bit_) & 1) << i;
      if (++bit_ == 8) {
        bit_ = 0;
        ++position_;
      }
    }
    return value;
  }

  void skip_to_byte() {
    if (bit_ != 0) {
      bit_ = 0;
      ++position_;
    }
  }

  std::size_t position() const { return position_; }
  void advance(std::size_t n) { position_ += n; }
  const std::uint8_t* here() const { return data_ + position_; }
  std::size_t remaining() const { return size_ - position_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  int bit_ = 0;
};

// A canonical Huffman code as counts per length and symbols in code order.
struct huffman {
  std::array<std::uint16_t, max_bits + 1> count{};
  std::vector<std::uint16_t> symbol;

  huffman(const std::uint8_t* lengths, std::size_t n) : symbol(n) {
    for (std::size_t i = 0; i < n; ++i) ++count[lengths[i]];
    count[0] = 0;
    int left = 1;
    for (int len = 1; len <= max_bits; ++len) {
      left = (left << 1) - count[len];
      if (left < 0) throw png_format_error("over-subscribed Huffman code");
    }
    std::array<std::uint16_t, max_bits + 2> offset{};
    for (int len = 1; len <= max_bits; ++len) offset[len + 1] = offset[len] + count[len];
    for (std::size_t i = 0; i < n; ++i) {
      if (lengths[i] != 0) symbol[offset[lengths[i]]++] = static_cast<std::uint16_t>(i);
    }
  }

  int decode(bit_reader& in) const {
    int code = 0;
    int first = 0;
    int index = 0;
    for (int len = 1; len <= max_bits; ++len) {
      code |= static_cast<int>(in.bits(1));
      const int n = count[len];
      if (code - n < first) return symbol[index + (code - first)];
      index += n;
      first = (first + n) << 1;
      code <<= 1;
    }
    throw png_format_error("invalid Huffman code");
  }
};

using deflate::distance_base;
using deflate::distance_extra;
using deflate::length_base;
using deflate::length_extra;

void put(std::vector<std::uint8_t>& out, std::uint8_t byte, std::size_t max_output) {
  if (out.size() >= max_output) throw png_format_error("inflated data larger than expected");
  out.push_back(byte);
}

void inflate_codes(bit_reader& in, const huffman& lengths, const huffman& distances,
                   std::vector<std::uint8_t>& out, std::size_t max_output) {
  while (true) {
    const int symbol = lengths.decode(in);
    if (symbol < 256) {
      put(out, static_cast<std::uint8_t>(symbol), max_output);
    } else if (symbol == 256) {
      return;
    } else {
      const int li = symbol - 257;
      if (li >= 29) throw png_format_error("invalid length symbol");
      const std::size_t length = length_base[li] + in.bits(length_extra[li]);
      const int di = distances.decode(in);
      if (di >= 30) throw png_format_error("invalid distance symbol");
      const std::size_t distance = distance_base[di] + in.bits(distance_extra[di]);
      if (distance > out.size()) throw png_format_error("distance before the start of data");
      for (std::size_t i = 0; i < length; ++i) put(out, out[out.size() - distance], max_output);
    }
  }
}

void inflate_stored(bit_reader& in, std::vector<std::uint8_t>& out, std::size_t max_output) {
  in.skip_to_byte();
  if (in.remaining() < 4) throw png_format_error("stored block header truncated");
  const std::uint8_t* h = in.here();
  const unsigned length = h[0] | (h[1] << 8);
  const unsigned complement = h[2] | (h[3] << 8);
  if ((length ^ 0xFFFFu) != complement) throw png_format_error("stored block length mismatch");
  in.advance(4);
  if (in.remaining() < length) throw png_format_error("stored block truncated");
  for (unsigned i = 0; i < length; ++i) put(out, in.here()[i], max_output);
  in.advance(length);
}

void inflate_fixed(bit_reader& in, std::vector<std::uint8_t>& out, std::size_t max_output) {
  std::array<std::uint8_t, 288> lengths{};
  for (int i = 0; i < 288; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
  std::array<std::uint8_t, 30> distance_lengths;
  distance_lengths.fill(5);
  inflate_codes(in, huffman(lengths.data(), lengths.size()),
                huffman(distance_lengths.data(), distance_lengths.size()), out, max_output);
}

void inflate_dynamic(bit_reader& in, std::vector<std::uint8_t>& out, std::size_t max_output) {
  static constexpr std::array<std::uint8_t, 19> order = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                         11, 4,  12, 3, 13, 2, 14, 1, 15};
  const std::size_t literal_count = in.bits(5) + 257;
  const std::size_t distance_count = in.bits(5) + 1;
  const std::size_t code_count = in.bits(4) + 4;
  if (literal_count > 286 || distance_count > 30) throw png_format_error("bad code counts");
  std::array<std::uint8_t, 19> code_lengths{};
  for (std::size_t i = 0; i < code_count; ++i) code_lengths[order[i]] = in.bits(3);
  const huffman code_code(code_lengths.data(), code_lengths.size());
  std::vector<std::uint8_t> lengths;
  while (lengths.size() < literal_count + distance_count) {
    const int symbol = code_code.decode(in);
    if (symbol < 16) {
      lengths.push_back(static_cast<std::uint8_t>(symbol));
      continue;
    }
    std::uint8_t value = 0;
    std::size_t repeat = 0;
    if (symbol == 16) {
      if (lengths.empty()) throw png_format_error("repeat with no previous length");
      value = lengths.back();
      repeat = 3 + in.bits(2);
    } else if (symbol == 17) {
      repeat = 3 + in.bits(3);
    } else {
      repeat = 11 + in.bits(7);
    }
    if (lengths.size() + repeat > literal_count + distance_count) {
      throw png_format_error("code lengths overrun");
    }
    lengths.insert(lengths.end(), repeat, value);
  }
  if (lengths[256] == 0) throw png_format_error("no end-of-block code");
  inflate_codes(in, huffman(lengths.data(), literal_count),
                huffman(lengths.data() + literal_count, distance_count), out, max_output);
}

std::uint32_t u32_be(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

std::uint8_t paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
  return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

}  // namespace

std::vector<std::uint8_t> zlib_decompress(const std::uint8_t* data, std::size_t size,
                                          std::size_t max_output) {
  if (size < 6) throw png_format_error("zlib stream too short");
  if ((data[0] & 0x0F) != 8 || (data[0] >> 4) > 7 || ((data[0] << 8) | data[1]) % 31 != 0) {
    throw png_format_error("bad zlib header");
  }
  if (data[1] & 0x20) throw png_format_error("preset dictionary not allowed");
  bit_reader in(data + 2, size - 6);
  std::vector<std::uint8_t> out;
  bool last = false;
  while (!last) {
    last = in.bits(1) == 1;
    switch (in.bits(2)) {
      case 0:
        inflate_stored(in, out, max_output);
        break;
      case 1:
        inflate_fixed(in, out, max_output);
        break;
      case 2:
        inflate_dynamic(in, out, max_output);
        break;
      default:
        throw png_format_error("reserved block type");
    }
  }
  in.skip_to_byte();
  if (in.remaining() != 0) throw png_format_error("bytes after the deflate stream");
  if (u32_be(data + size - 4) != adler32(out.data(), out.size())) {
    throw png_format_error("Adler-32 mismatch");
  }
  return out;
}

decoded_png decode_png(const std::vector<std::uint8_t>& file) {
  static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0) {
    throw png_format_error("no PNG signature");
  }
  decoded_png png;
  std::vector<std::uint8_t> compressed;
  bool seen_header = false;
  bool seen_end = false;
  std::size_t at = 8;
  while (at < file.size()) {
    if (seen_end) throw png_format_error("data after IEND");
    if (file.size() - at < 12) throw png_format_error("chunk truncated");
    const std::uint32_t length = u32_be(&file[at]);
    if (length > file.size() - at - 12) throw png_format_error("chunk truncated");
    const std::uint8_t* type = &file[at + 4];
    const std::uint8_t* body = type + 4;
    if (u32_be(body + length) != crc32(type, length + 4)) throw png_format_error("chunk CRC");
    const std::string name(reinterpret_cast<const char*>(type), 4);
    if (!seen_header && name != "IHDR") throw png_format_error("IHDR is not first");
    if (name == "IHDR") {
      if (seen_header || length != 13) throw png_format_error("bad IHDR");
      seen_header = true;
      png.width = u32_be(body);
      png.height = u32_be(body + 4);
      png.bit_depth = body[8];
      png.colour_type = body[9];
      if (png.width == 0 || png.height == 0 || png.width > 0x7FFFFFFF || png.height > 0x7FFFFFFF) {
        throw png_format_error("bad dimensions");
      }
      if (png.bit_depth != 8 || (png.colour_type != 2 && png.colour_type != 6)) {
        throw png_format_error("only 8-bit RGB and RGBA are read");
      }
      if (body[10] != 0 || body[11] != 0 || body[12] != 0) {
        throw png_format_error("unknown compression, filter or interlace method");
      }
    } else if (name == "IDAT") {
      compressed.insert(compressed.end(), body, body + length);
    } else if (name == "IEND") {
      seen_end = true;
    } else if ((type[0] & 0x20) == 0) {
      throw png_format_error("unknown critical chunk " + name);
    }
    at += std::size_t{length} + 12;
  }
  if (!seen_end) throw png_format_error("no IEND");

  const std::size_t bpp = png.colour_type == 6 ? 4 : 3;
  const std::uint64_t row_bytes = std::uint64_t{png.width} * bpp;
  const std::uint64_t expected = (row_bytes + 1) * png.height;
  constexpr std::uint64_t max_pixels_bytes = std::uint64_t{1} << 30;
  if (expected > max_pixels_bytes) throw png_format_error("image too large to check");
  const std::vector<std::uint8_t> filtered =
      zlib_decompress(compressed.data(), compressed.size(), static_cast<std::size_t>(expected));
  if (filtered.size() != expected) throw png_format_error("image data has the wrong length");

  png.pixels.resize(static_cast<std::size_t>(row_bytes * png.height));
  for (std::uint32_t y = 0; y < png.height; ++y) {
    const std::uint8_t filter = filtered[y * (row_bytes + 1)];
    const std::uint8_t* in = &filtered[y * (row_bytes + 1) + 1];
    std::uint8_t* row = &png.pixels[y * row_bytes];
    const std::uint8_t* above = y == 0 ? nullptr : row - row_bytes;
    for (std::size_t i = 0; i < row_bytes; ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0;
      const int b = above ? above[i] : 0;
      const int c = above && i >= bpp ? above[i - bpp] : 0;
      int predicted = 0;
      switch (filter) {
        case 0:
          break;
        case 1:
          predicted = a;
          break;
        case 2:
          predicted = b;
          break;
        case 3:
          predicted = (a + b) >> 1;
          break;
        case 4:
          predicted = paeth(a, b, c);
          break;
        default:
          throw png_format_error("unknown row filter");
      }
      row[i] = static_cast<std::uint8_t>(in[i] + predicted);
    }
  }
  return png;
}

}  // namespace webview::detail
