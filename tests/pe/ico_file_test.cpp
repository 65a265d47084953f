// The .ico container that the resource compiler reads the icon from.
#include "tools/icon/ico_file.h"

#include <gtest/gtest.h>

namespace webview::detail {
namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (std::uint32_t{d[at + 3]} << 24);
}

TEST(make_ico, lays_out_directory_then_images) {
  const std::vector<ico_image> images = {{16, {1, 2, 3}}, {256, {4, 5}}};
  const std::vector<std::uint8_t> ico = make_ico(images);
  ASSERT_EQ(ico.size(), 6u + 2 * 16 + 5);
  EXPECT_EQ(ico[0] | (ico[1] << 8), 0);  // reserved
  EXPECT_EQ(ico[2] | (ico[3] << 8), 1);  // icon
  EXPECT_EQ(ico[4] | (ico[5] << 8), 2);  // count
  EXPECT_EQ(ico[6], 16);                 // first width
  EXPECT_EQ(ico[7], 16);                 // first height
  EXPECT_EQ(ico[6 + 16], 0);             // 256 is written as 0
  EXPECT_EQ(ico[6 + 16 + 1], 0);
  EXPECT_EQ(ico[6 + 6] | (ico[6 + 7] << 8), 32);  // bits per pixel
  EXPECT_EQ(u32(ico, 6 + 8), 3u);                 // first size
  EXPECT_EQ(u32(ico, 6 + 12), 38u);               // first offset, just past the directory
  EXPECT_EQ(u32(ico, 6 + 16 + 8), 2u);
  EXPECT_EQ(u32(ico, 6 + 16 + 12), 41u);
  EXPECT_EQ(std::vector<std::uint8_t>(ico.begin() + 38, ico.end()),
            (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
}

TEST(make_ico, rejects_impossible_images) {
  EXPECT_THROW(make_ico({}), std::invalid_argument);
  EXPECT_THROW(make_ico({{0, {1}}}), std::invalid_argument);
  EXPECT_THROW(make_ico({{257, {1}}}), std::invalid_argument);
}

}  // namespace
}  // namespace webview::detail
