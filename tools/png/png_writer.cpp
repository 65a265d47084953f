#include "tools/png/png_writer.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "tools/png/deflate_tables.h"

namespace webview::detail {
namespace {

constexpr std::array<std::uint32_t, 256> make_crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> crc_table = make_crc_table();

// Deflate writes bits least significant first; Huffman codes go most significant bit first,
// so they are reversed before being put.
class bit_writer {
 public:
  explicit bit_writer(std::vector<std::uint8_t>& out) : out_(out) {}

  void put(std::uint32_t bits, int count) {
    buffer_ |= static_cast<std::uint64_t>(bits) << count_;
    count_ += count;
    while (count_ >= 8) {
      out_.push_back(static_cast<std::uint8_t>(buffer_));
      buffer_ >>= 8;
      count_ -= 8;
    }
  }

  void put_code(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    put(reversed, length);
  }

  void flush_to_byte() {
    if (count_ > 0) put(0, 8 - count_);
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t buffer_ = 0;
  int count_ = 0;
};

using deflate::distance_base;
using deflate::distance_extra;
using deflate::length_base;
using deflate::length_extra;

constexpr std::size_t window_size = 32768;
constexpr std::size_t min_match = 3;
constexpr std::size_t max_match = 258;
constexpr int max_chain = 128;
constexpr int hash_bits = 16;
constexpr std::size_t stored_block_max = 65535;

// The fixed literal/length code of deflate (RFC 1951, 3.2.6).
void put_symbol(bit_writer& bits, std::uint32_t symbol) {
  if (symbol < 144) {
    bits.put_code(0x30 + symbol, 8);
  } else if (symbol < 256) {
    bits.put_code(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    bits.put_code(symbol - 256, 7);
  } else {
    bits.put_code(0xC0 + symbol - 280, 8);
  }
}

template <std::size_t N>
std::size_t code_index(const std::array<std::uint16_t, N>& base, std::size_t value) {
  std::size_t i = N - 1;
  while (base[i] > value) --i;
  return i;
}

void put_match(bit_writer& bits, std::size_t length, std::size_t distance) {
  const std::size_t li = code_index(length_base, length);
  put_symbol(bits, static_cast<std::uint32_t>(257 + li));
  bits.put(static_cast<std::uint32_t>(length - length_base[li]), length_extra[li]);
  const std::size_t di = code_index(distance_base, distance);
  bits.put_code(static_cast<std::uint32_t>(di), 5);
  bits.put(static_cast<std::uint32_t>(distance - distance_base[di]), distance_extra[di]);
}

std::uint32_t hash3(const std::uint8_t* p) {
  const std::uint32_t v = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
  return (v * 2654435761u) >> (32 - hash_bits);
}

// One final fixed-Huffman block with greedy LZ77 matching over a hash chain.
void deflate_fixed(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
  bit_writer bits(out);
  bits.put(1, 1);  // final block
  bits.put(1, 2);  // fixed Huffman codes
  constexpr std::size_t no_position = std::numeric_limits<std::size_t>::max();
  std::vector<std::size_t> head(std::size_t{1} << hash_bits, no_position);
  std::vector<std::size_t> previous(window_size, no_position);
  auto insert = [&](std::size_t pos) {
    const std::uint32_t h = hash3(data + pos);
    previous[pos % window_size] = head[h];
    head[h] = pos;
  };

  std::size_t pos = 0;
  while (pos < size) {
    std::size_t best_length = 0;
    std::size_t best_distance = 0;
    if (size - pos >= min_match) {
      const std::size_t limit = std::min(max_match, size - pos);
      std::size_t candidate = head[hash3(data + pos)];
      for (int chain = 0; chain < max_chain && candidate != no_position; ++chain) {
        if (pos - candidate > window_size) break;
        std::size_t length = 0;
        while (length < limit && data[candidate + length] == data[pos + length]) ++length;
        if (length > best_length) {
          best_length = length;
          best_distance = pos - candidate;
          if (length == limit) break;
        }
        // Within the window a slot cannot have been reused yet, so the chain only goes back.
        candidate = previous[candidate % window_size];
      }
    }
    if (best_length >= min_match) {
      put_match(bits, best_length, best_distance);
      const std::size_t end = pos + best_length;
      for (; pos < end; ++pos) {
        if (size - pos >= min_match) insert(pos);
      }
    } else {
      put_symbol(bits, data[pos]);
      if (size - pos >= min_match) insert(pos);
      ++pos;
    }
  }
  put_symbol(bits, 256);
  bits.flush_to_byte();
}

void deflate_stored(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
  std::size_t pos = 0;
  do {
    const std::size_t length = std::min(stored_block_max, size - pos);
    const bool final_block = pos + length == size;
    out.push_back(final_block ? 1 : 0);  // block header, then padding to the byte boundary
    out.push_back(static_cast<std::uint8_t>(length));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length));
    out.push_back(static_cast<std::uint8_t>(~length >> 8));
    out.insert(out.end(), data + pos, data + pos + length);
    pos += length;
  } while (pos < size);
}

void put_u32_be(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void put_chunk(std::vector<std::uint8_t>& out, const char (&type)[5],
               const std::vector<std::uint8_t>& payload) {
  put_u32_be(out, static_cast<std::uint32_t>(payload.size()));
  const std::size_t type_at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), payload.begin(), payload.end());
  put_u32_be(out, crc32(out.data() + type_at, out.size() - type_at));
}

std::uint8_t paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
  return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Each row gets the filter whose output has the smallest sum of magnitudes taken as signed
// bytes, the usual heuristic for photographic and flat content alike.
std::vector<std::uint8_t> filter_rows(const std::uint8_t* pixels, std::size_t row_bytes,
                                      std::size_t rows, std::size_t bpp) {
  std::vector<std::uint8_t> out;
  out.reserve((row_bytes + 1) * rows);
  std::vector<std::uint8_t> zero_row(row_bytes, 0);
  std::array<std::vector<std::uint8_t>, 5> candidates;
  for (auto& c : candidates) c.resize(row_bytes);
  for (std::size_t y = 0; y < rows; ++y) {
    const std::uint8_t* row = pixels + y * row_bytes;
    const std::uint8_t* above = y == 0 ? zero_row.data() : row - row_bytes;
    for (std::size_t i = 0; i < row_bytes; ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0;
      const int b = above[i];
      const int c = i >= bpp ? above[i - bpp] : 0;
      candidates[0][i] = row[i];
      candidates[1][i] = static_cast<std::uint8_t>(row[i] - a);
      candidates[2][i] = static_cast<std::uint8_t>(row[i] - b);
      candidates[3][i] = static_cast<std::uint8_t>(row[i] - ((a + b) >> 1));
      candidates[4][i] = static_cast<std::uint8_t>(row[i] - paeth(a, b, c));
    }
    std::size_t best = 0;
    std::uint64_t best_cost = std::numeric_limits<std::uint64_t>::max();
    for (std::size_t f = 0; f < candidates.size(); ++f) {
      std::uint64_t cost = 0;
      for (std::uint8_t v : candidates[f]) cost += v < 128 ? v : 256 - v;
      if (cost < best_cost) {
        best_cost = cost;
        best = f;
      }
    }
    out.push_back(static_cast<std::uint8_t>(best));
    out.insert(out.end(), candidates[best].begin(), candidates[best].end());
  }
  return out;
}

}  // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) noexcept {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = crc_table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t size) noexcept {
  constexpr std::uint32_t modulus = 65521;
  // 5552 is the most bytes whose sums cannot overflow 32 bits before the next reduction.
  constexpr std::size_t run = 5552;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  while (size > 0) {
    const std::size_t n = std::min(run, size);
    for (std::size_t i = 0; i < n; ++i) {
      a += data[i];
      b += a;
    }
    a %= modulus;
    b %= modulus;
    data += n;
    size -= n;
  }
  return (b << 16) | a;
}

std::vector<std::uint8_t> zlib_compress(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  deflate_fixed(data, size, out);
  const std::size_t blocks = size == 0 ? 1 : (size + stored_block_max - 1) / stored_block_max;
  const std::size_t stored_size = size + 5 * blocks;
  if (out.size() - 2 > stored_size) {
    out.resize(2);
    deflate_stored(data, size, out);
  }
  put_u32_be(out, adler32(data, size));
  return out;
}

std::vector<std::uint8_t> encode_png(const std::uint8_t* pixels, std::uint32_t width,
                                     std::uint32_t height, png_color color) {
  constexpr std::uint32_t max_dimension = 0x7FFFFFFF;
  if (width == 0 || height == 0 || width > max_dimension || height > max_dimension) {
    throw std::invalid_argument("PNG dimensions must be between 1 and 2^31-1");
  }
  const std::size_t bpp = color == png_color::rgba ? 4 : 3;
  constexpr std::size_t size_max = std::numeric_limits<std::size_t>::max();
  if (width > (size_max - 1) / bpp || (width * bpp + 1) > size_max / height) {
    throw std::invalid_argument("PNG image too large to encode");
  }
  const std::size_t row_bytes = width * bpp;

  std::vector<std::uint8_t> header;
  put_u32_be(header, width);
  put_u32_be(header, height);
  header.push_back(8);  // bit depth
  header.push_back(static_cast<std::uint8_t>(color));
  header.push_back(0);  // deflate
  header.push_back(0);  // adaptive filtering
  header.push_back(0);  // no interlace

  const std::vector<std::uint8_t> filtered = filter_rows(pixels, row_bytes, height, bpp);
  const std::vector<std::uint8_t> compressed = zlib_compress(filtered.data(), filtered.size());
  if (compressed.size() > max_dimension) throw std::invalid_argument("PNG image too large");

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  put_chunk(png, "IHDR", header);
  put_chunk(png, "IDAT", compressed);
  put_chunk(png, "IEND", {});
  return png;
}

bool write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

}  // namespace webview::detail
