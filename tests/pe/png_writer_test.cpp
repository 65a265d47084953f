// The PNG encoder, read back by an independent reader. The reader is first checked against
// streams made by zlib itself, so a round trip cannot pass on a shared misreading of deflate.
#include "tools/png/png_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "tests/pe/png_reader.h"

namespace webview::detail {
namespace {

std::vector<std::uint8_t> bytes_of(const std::string& s) { return {s.begin(), s.end()}; }

// 400 letters with skewed frequencies, the same generator that made the zlib stream below.
std::vector<std::uint8_t> skewed_letters() {
  const char alphabet[] = "eeeeeeetttaaoinshr";
  std::uint32_t x = 1;
  std::vector<std::uint8_t> out;
  for (int i = 0; i < 400; ++i) {
    x = (x * 1103515245u + 12345u) & 0x7FFFFFFFu;
    out.push_back(static_cast<std::uint8_t>(alphabet[(x >> 16) % 18]));
  }
  return out;
}

TEST(crc32, check_values) {
  struct {
    const char* input;
    std::uint32_t crc;
  } const cases[] = {
      {"", 0x00000000},
      {"123456789", 0xCBF43926},  // the standard check value
      {"The quick brown fox jumps over the lazy dog", 0x414FA339},
      {"IEND", 0xAE426082},  // the CRC every PNG ends with
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> b = bytes_of(c.input);
    EXPECT_EQ(crc32(b.data(), b.size()), c.crc) << c.input;
  }
}

TEST(crc32, continues_across_pieces) {
  const std::vector<std::uint8_t> b = bytes_of("123456789");
  EXPECT_EQ(crc32(b.data() + 4, 5, crc32(b.data(), 4)), 0xCBF43926u);
}

TEST(adler32, check_values) {
  EXPECT_EQ(adler32(nullptr, 0), 1u);
  const std::vector<std::uint8_t> wikipedia = bytes_of("Wikipedia");
  EXPECT_EQ(adler32(wikipedia.data(), wikipedia.size()), 0x11E60398u);
  // 100000 bytes of 0xFF overflow 32-bit sums unless reduced in runs; value from zlib.
  const std::vector<std::uint8_t> ones(100000, 0xFF);
  EXPECT_EQ(adler32(ones.data(), ones.size()), 0x149A302Cu);
}

TEST(zlib_reader, reads_streams_made_by_zlib) {
  struct {
    const char* what;
    std::vector<std::uint8_t> stream;
    std::vector<std::uint8_t> expected;
  } const cases[] = {
      {"stored block, level 0",
       {0x78, 0x01, 0x01, 0x0e, 0x00, 0xf1, 0xff, 0x73, 0x74, 0x6f, 0x72, 0x65, 0x64,
        0x20, 0x62, 0x79, 0x20, 0x7a, 0x6c, 0x69, 0x62, 0x29, 0x50, 0x05, 0x5e},
       bytes_of("stored by zlib")},
      {"fixed Huffman with matches, level 6",
       {0x78, 0x9c, 0x4b, 0xcb, 0xac, 0x48, 0x4d, 0x51, 0xf0, 0x28, 0x4d, 0x4b, 0xcb, 0x4d,
        0xcc, 0xb3, 0x52, 0x48, 0x4c, 0x4a, 0x86, 0x23, 0x00, 0x8a, 0x9c, 0x09, 0xe8},
       bytes_of("fixed Huffman: abcabcabcabc")},
      {"dynamic Huffman, level 9",
       {0x78, 0xda, 0x2d, 0x90, 0xd1, 0x0a, 0xc5, 0x30, 0x08, 0x43, 0xbf, 0x35, 0x0f, 0x01, 0xfb,
        0xa2, 0xa0, 0xf9, 0x7f, 0x6e, 0x32, 0xee, 0xb6, 0x0e, 0xda, 0x26, 0x47, 0xa3, 0xea, 0x48,
        0x90, 0xc3, 0xe7, 0x45, 0xdc, 0xc9, 0x7f, 0x9c, 0xb2, 0xe9, 0x86, 0x0a, 0x84, 0x7c, 0xd6,
        0xdf, 0x02, 0xc7, 0xfa, 0x25, 0xa9, 0xa5, 0xde, 0x23, 0x6f, 0xb2, 0x63, 0x20, 0xc5, 0x37,
        0x3b, 0xc6, 0xc8, 0x30, 0xdb, 0x38, 0x7a, 0xb6, 0xe6, 0xe5, 0xa0, 0x19, 0x37, 0x8a, 0xe5,
        0x4f, 0x6d, 0xde, 0x06, 0x62, 0x12, 0xdb, 0xe8, 0xba, 0xfe, 0x4c, 0xef, 0xa3, 0x43, 0x0f,
        0x48, 0xa1, 0x75, 0x39, 0xd3, 0x22, 0x89, 0xfa, 0x19, 0xb5, 0xb6, 0xde, 0xae, 0xda, 0xb5,
        0xbe, 0x3b, 0x7e, 0x10, 0x5b, 0x52, 0x26, 0xe6, 0x76, 0x31, 0x4b, 0xeb, 0x5c, 0xca, 0x8f,
        0xa5, 0x00, 0xe6, 0x93, 0x62, 0x13, 0xf5, 0x26, 0x6c, 0x6b, 0x9d, 0x8e, 0xd2, 0x6d, 0x75,
        0x76, 0x3a, 0xce, 0xba, 0xdd, 0xda, 0xfe, 0x0f, 0x05, 0xa9, 0x2c, 0x37, 0x95, 0x1c, 0x7d,
        0xce, 0xd8, 0xc1, 0x64, 0x20, 0xb8, 0xe7, 0xbb, 0xe1, 0x9d, 0xe1, 0x7d, 0x3e, 0xc2, 0x99,
        0xe9, 0x26, 0x37, 0xad, 0x7b, 0x32, 0xce, 0xe3, 0x40, 0x0e, 0x30, 0x6a, 0x7e, 0xd3, 0xf5,
        0xac, 0x8c, 0xda, 0x34, 0xae, 0x50, 0x54, 0xc9, 0x85, 0xd1, 0xa7, 0xbf, 0xba, 0xf9, 0x01,
        0x2e, 0xb6, 0xa5, 0x12},
       skewed_letters()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(zlib_decompress(c.stream.data(), c.stream.size(), 1 << 20), c.expected) << c.what;
  }
}

TEST(zlib_reader, rejects_damaged_streams) {
  const std::vector<std::uint8_t> good = {0x78, 0x9c, 0x4b, 0xcb, 0xac, 0x48, 0x4d, 0x51, 0xf0,
                                          0x28, 0x4d, 0x4b, 0xcb, 0x4d, 0xcc, 0xb3, 0x52, 0x48,
                                          0x4c, 0x4a, 0x86, 0x23, 0x00, 0x8a, 0x9c, 0x09, 0xe8};
  struct {
    const char* what;
    std::size_t at;
    std::uint8_t value;
  } const cases[] = {
      {"header check bits wrong", 1, 0x9d}, {"not deflate", 0, 0x79},
      {"preset dictionary", 1, 0xbb},  // 0x78bb passes the check but asks for a dictionary
      {"reserved block type", 2, 0x07},     {"Adler-32 wrong", 26, 0xe9},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> stream = good;
    stream[c.at] = c.value;
    EXPECT_THROW(zlib_decompress(stream.data(), stream.size(), 1 << 20), png_format_error)
        << c.what;
  }
  std::vector<std::uint8_t> trailing = good;
  trailing.insert(trailing.end() - 4, 0x00);
  EXPECT_THROW(zlib_decompress(trailing.data(), trailing.size(), 1 << 20), png_format_error);
  EXPECT_THROW(zlib_decompress(good.data(), good.size(), 10), png_format_error) << "over limit";
}

TEST(zlib_compress, round_trips) {
  std::mt19937 random(7);
  auto noise = [&](std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(random());
    return v;
  };
  // Repeats exactly 32768 bytes back, the farthest distance deflate can express.
  std::vector<std::uint8_t> far_repeat = noise(40000);
  far_repeat.insert(far_repeat.end(), far_repeat.begin() + 7232, far_repeat.end());
  std::vector<std::uint8_t> pattern(300000);
  for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<std::uint8_t>(i % 251);
  struct {
    const char* what;
    std::vector<std::uint8_t> data;
  } const cases[] = {
      {"empty", {}},
      {"one byte", {0x42}},
      {"two bytes, below the shortest match", {0x42, 0x42}},
      {"run of 258, the longest match plus a literal", std::vector<std::uint8_t>(259, 0xAA)},
      {"run of 100000", std::vector<std::uint8_t>(100000, 0)},
      {"period 251 across 300000 bytes", pattern},
      {"noise, stored", noise(1000)},
      {"noise over 65535, several stored blocks", noise(150000)},
      {"distance 32768", far_repeat},
      {"letters", skewed_letters()},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> z = zlib_compress(c.data.data(), c.data.size());
    EXPECT_EQ(zlib_decompress(z.data(), z.size(), c.data.size()), c.data) << c.what;
    // Never more than the stored form: 6 bytes of zlib frame, 5 per 65535-byte block.
    EXPECT_LE(z.size(), c.data.size() + 6 + 5 * (c.data.size() / 65535 + 1)) << c.what;
  }
}

TEST(zlib_compress, compresses_repetitive_data) {
  const std::vector<std::uint8_t> zeros(100000, 0);
  EXPECT_LT(zlib_compress(zeros.data(), zeros.size()).size(), 1000u);
  const std::vector<std::uint8_t> letters = skewed_letters();
  // Fixed codes spend 8 bits on a letter; matches must win some back.
  EXPECT_LT(zlib_compress(letters.data(), letters.size()).size(), letters.size());
}

std::vector<std::uint8_t> gradient(std::uint32_t w, std::uint32_t h, std::size_t bpp) {
  std::vector<std::uint8_t> pixels(std::size_t{w} * h * bpp);
  for (std::uint32_t y = 0; y < h; ++y) {
    for (std::uint32_t x = 0; x < w; ++x) {
      std::uint8_t* p = &pixels[(std::size_t{y} * w + x) * bpp];
      p[0] = static_cast<std::uint8_t>(x * 7);
      p[1] = static_cast<std::uint8_t>(y * 13);
      p[2] = static_cast<std::uint8_t>((x ^ y) * 5);
      if (bpp == 4) p[3] = static_cast<std::uint8_t>(255 - x - y);
    }
  }
  return pixels;
}

TEST(encode_png, round_trips_pixels) {
  struct {
    const char* what;
    std::uint32_t width;
    std::uint32_t height;
    png_color colour;
  } const cases[] = {
      {"1x1 RGBA", 1, 1, png_color::rgba},    {"37x23 RGBA, odd sizes", 37, 23, png_color::rgba},
      {"37x23 RGB", 37, 23, png_color::rgb},  {"1x300 column", 1, 300, png_color::rgb},
      {"300x1 row", 300, 1, png_color::rgba},
  };
  for (const auto& c : cases) {
    const std::size_t bpp = c.colour == png_color::rgba ? 4 : 3;
    const std::vector<std::uint8_t> pixels = gradient(c.width, c.height, bpp);
    const decoded_png png = decode_png(encode_png(pixels.data(), c.width, c.height, c.colour));
    EXPECT_EQ(png.width, c.width) << c.what;
    EXPECT_EQ(png.height, c.height) << c.what;
    EXPECT_EQ(png.bit_depth, 8) << c.what;
    EXPECT_EQ(png.colour_type, static_cast<std::uint8_t>(c.colour)) << c.what;
    EXPECT_EQ(png.pixels, pixels) << c.what;
  }
}

TEST(encode_png, rejects_empty_dimensions) {
  const std::uint8_t pixel[4] = {};
  EXPECT_THROW(encode_png(pixel, 0, 1, png_color::rgba), std::invalid_argument);
  EXPECT_THROW(encode_png(pixel, 1, 0, png_color::rgb), std::invalid_argument);
  EXPECT_THROW(encode_png(pixel, 0x80000000u, 1, png_color::rgb), std::invalid_argument);
}

TEST(png_reader, rejects_damaged_files) {
  const std::vector<std::uint8_t> pixels = gradient(5, 5, 4);
  const std::vector<std::uint8_t> good = encode_png(pixels.data(), 5, 5, png_color::rgba);
  ASSERT_NO_THROW(decode_png(good));
  struct {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  } const cases[] = {
      {"signature", [](std::vector<std::uint8_t>& f) { f[1] = 'Q'; }},
      {"IHDR width, CRC now wrong", [](std::vector<std::uint8_t>& f) { f[19] = 6; }},
      {"IDAT payload, CRC now wrong", [](std::vector<std::uint8_t>& f) { f[45] ^= 0xFF; }},
      {"IEND CRC", [](std::vector<std::uint8_t>& f) { f.back() ^= 1; }},
      {"no IEND", [](std::vector<std::uint8_t>& f) { f.resize(f.size() - 12); }},
      {"bytes after IEND", [](std::vector<std::uint8_t>& f) { f.push_back(0); }},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> file = good;
    c.damage(file);
    EXPECT_THROW(decode_png(file), png_format_error) << c.what;
  }
}
}  // namespace
}  // namespace webview::detail
