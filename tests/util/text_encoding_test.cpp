#include "util/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace webview::detail {
namespace {

struct valid_case {
  const char* what;
  std::string utf8;
  std::wstring utf16;
};

const valid_case valid_cases[] = {
    {"empty input: no conversion call, empty result", "", L""},
    {"ASCII abc", "abc", L"abc"},
    {"embedded NUL between a and b", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    {"U+00E9 e acute: 2 bytes, 1 unit", "\xC3\xA9", L"\u00E9"},
    {"U+20AC euro sign: 3 bytes, 1 unit", "\xE2\x82\xAC", L"\u20AC"},
    {"U+1F600: 4 bytes, surrogate pair D83D DE00", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
    {"U+10FFFF, the last code point: surrogate pair DBFF DFFF", "\xF4\x8F\xBF\xBF",
     L"\xDBFF\xDFFF"},
    {"trailing NUL is data, not a terminator", std::string("x\0", 2), std::wstring(L"x\0", 2)},
};

TEST(text_encoding, valid_text_converts_both_ways_with_exact_lengths) {
  for (const auto& c : valid_cases) {
    SCOPED_TRACE(c.what);
    const std::wstring wide = utf8_to_utf16(c.utf8);
    EXPECT_EQ(wide, c.utf16);
    EXPECT_EQ(wide.size(), c.utf16.size());
    const std::string narrow = utf16_to_utf8(c.utf16);
    EXPECT_EQ(narrow, c.utf8);
    EXPECT_EQ(narrow.size(), c.utf8.size());
  }
}

struct invalid_utf8_case {
  const char* what;
  std::string bytes;
};

const invalid_utf8_case invalid_utf8_cases[] = {
    {"lone 0xFF byte", "\xFF"},
    {"truncated 3-byte sequence E2 82", "\xE2\x82"},
    {"valid text, then a truncated 4-byte sequence F0 9F", "ab\xF0\x9F"},
    {"lone continuation byte 80", "\x80"},
    {"overlong encoding of '/' C0 AF", "\xC0\xAF"},
    {"valid text, then 0xFF", "abc\xFF"},
    {"code point above U+10FFFF F4 90 80 80", "\xF4\x90\x80\x80"},
};

TEST(text_encoding, invalid_utf8_widens_to_empty) {
  for (const auto& c : invalid_utf8_cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(utf8_to_utf16(c.bytes), L"");
  }
}

struct invalid_utf16_case {
  const char* what;
  std::wstring units;
};

const invalid_utf16_case invalid_utf16_cases[] = {
    {"unpaired high surrogate D800", L"\xD800"},
    {"unpaired low surrogate DC00", L"\xDC00"},
    {"text ending in a high surrogate D83D", L"ab\xD83D"},
    {"pair in the wrong order DE00 D83D", L"\xDE00\xD83D"},
    {"high surrogate followed by a letter",
     L"\xD83D"
     L"a"},
};

TEST(text_encoding, unpaired_surrogates_narrow_to_empty) {
  for (const auto& c : invalid_utf16_cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(utf16_to_utf8(c.units), "");
  }
}

TEST(text_encoding, long_text_round_trips_at_its_exact_size) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "a\xC3\xA9\xF0\x9F\x98\x80";
  const std::wstring wide = utf8_to_utf16(text);
  EXPECT_EQ(wide.size(), 50000u * 4);
  EXPECT_EQ(utf16_to_utf8(wide), text);
}

}  // namespace
}  // namespace webview::detail
