// The PE reader on a real image and on damaged copies of it: every fault must surface as
// pe_format_error, never as a read outside the file or an endless walk.
#include "tests/pe/pe_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace webview::detail {
namespace {

const std::vector<std::uint8_t>& fixture_bytes() {
  static const std::vector<std::uint8_t> bytes = read_whole_file(FAULT_FIXTURE_PATH);
  return bytes;
}

void put_u32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t get_u32(const std::vector<std::uint8_t>& file, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t{file[at + i]} << (8 * i);
  return v;
}

TEST(pe_image, reads_tables_of_a_real_image) {
  const pe_image image = parse_pe(fixture_bytes());
  EXPECT_TRUE(image.is_pe32_plus);
  EXPECT_THAT(image.imported_dlls, ::testing::Contains(::testing::StrCaseEq("version.dll")));
  EXPECT_THAT(image.imported_dlls, ::testing::Contains(::testing::StrCaseEq("kernel32.dll")));
  EXPECT_TRUE(image.delay_imported_dlls.empty());
  std::vector<std::uint16_t> types;
  for (const resource_node& type : image.resources.children) types.push_back(type.id.number);
  // Windows sorts resource entries by id; windres writes them that way.
  EXPECT_THAT(types, ::testing::ElementsAre(3, 14, 16, 24));
  const resource_node& manifest = image.resources.children[3].children.at(0).children.at(0);
  EXPECT_EQ(image.resources.children[3].children[0].children[0].id.number, 1033);
  const std::string text(manifest.data.begin(), manifest.data.end());
  EXPECT_THAT(text, ::testing::HasSubstr("manifestVersion='1.0'"));
}

TEST(pe_image, damaged_headers_are_format_errors) {
  const std::vector<std::uint8_t>& good = fixture_bytes();
  const std::uint32_t pe = get_u32(good, 0x3C);
  struct {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  } const cases[] = {
      {"empty file", [](std::vector<std::uint8_t>& f) { f.clear(); }},
      {"only MZ", [](std::vector<std::uint8_t>& f) { f.resize(2); }},
      {"no MZ", [](std::vector<std::uint8_t>& f) { f[0] = 'X'; }},
      {"PE header offset past the end",
       [](std::vector<std::uint8_t>& f) { put_u32(f, 0x3C, 0xFFFFFFF0u); }},
      {"no PE signature", [pe](std::vector<std::uint8_t>& f) { f[pe] = 'N'; }},
      {"unknown optional header magic", [pe](std::vector<std::uint8_t>& f) { f[pe + 24] = 0x07; }},
      {"optional header size zero",
       [pe](std::vector<std::uint8_t>& f) { f[pe + 20] = f[pe + 21] = 0; }},
      {"65535 sections", [pe](std::vector<std::uint8_t>& f) { f[pe + 6] = f[pe + 7] = 0xFF; }},
      {"data directory count beyond header",
       [pe](std::vector<std::uint8_t>& f) { put_u32(f, pe + 24 + 108, 0x1000); }},
      {"import table outside every section",
       [pe](std::vector<std::uint8_t>& f) { put_u32(f, pe + 24 + 112 + 8, 0x7FFFFFF0u); }},
      {"resource table outside every section",
       [pe](std::vector<std::uint8_t>& f) { put_u32(f, pe + 24 + 112 + 16, 0x7FFFFFF0u); }},
      {"headers only", [pe](std::vector<std::uint8_t>& f) { f.resize(pe + 24 + 240); }},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> file = good;
    c.damage(file);
    EXPECT_THROW(parse_pe(file), pe_format_error) << c.what;
  }
}

TEST(pe_image, damaged_resource_tables_are_format_errors) {
  const std::vector<std::uint8_t>& good = fixture_bytes();
  const std::size_t table = parse_pe(good).resource_table_offset;
  ASSERT_NE(table, 0u);
  // The root directory: 16 bytes of header, then 8-byte entries (name or id, target).
  struct {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  } const cases[] = {
      {"root entry points back at the root",
       [table](std::vector<std::uint8_t>& f) { put_u32(f, table + 20, 0x80000000u); }},
      {"65535 root entries",
       [table](std::vector<std::uint8_t>& f) { f[table + 14] = f[table + 15] = 0xFF; }},
      {"data leaf at type level",
       [table](std::vector<std::uint8_t>& f) { put_u32(f, table + 20, 0); }},
      {"subdirectory past the table",
       [table](std::vector<std::uint8_t>& f) { put_u32(f, table + 20, 0xFFFFFF00u); }},
      {"name string past the table",
       [table](std::vector<std::uint8_t>& f) { put_u32(f, table + 16, 0xFFFFFF00u); }},
      {"id above 65535",
       [table](std::vector<std::uint8_t>& f) { put_u32(f, table + 16, 0x10000); }},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> file = good;
    c.damage(file);
    EXPECT_THROW(parse_pe(file), pe_format_error) << c.what;
  }
}

TEST(pe_image, every_truncation_is_an_error_or_a_sound_read) {
  const std::vector<std::uint8_t>& good = fixture_bytes();
  // Steps of 509 bytes land in every header, table and section without reading all prefixes.
  for (std::size_t size = 0; size < good.size(); size += 509) {
    const std::vector<std::uint8_t> prefix(good.begin(), good.begin() + size);
    try {
      parse_pe(prefix);
    } catch (const pe_format_error&) {
    }
  }
}

}  // namespace
}  // namespace webview::detail
