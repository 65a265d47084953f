#include "testing/standin/json_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace standin {
namespace {

struct wide_case {
  const char* what;
  std::wstring input;
  std::string expected;
};

TEST(json_text, writes_utf16_as_json_utf8) {
  const wide_case cases[] = {
      {"empty text", L"", "\"\""},
      {"plain ASCII", L"abc", "\"abc\""},
      {"quote and backslash", L"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"short escapes", L"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
      {"other control character U+0001", std::wstring(1, 0x0001), "\"\\u0001\""},
      {"U+00E9, two UTF-8 bytes", L"\u00e9", "\"\xC3\xA9\""},
      {"U+20AC, three UTF-8 bytes", L"\u20ac", "\"\xE2\x82\xAC\""},
      {"U+1F600 as a surrogate pair, four UTF-8 bytes", L"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},
      {"unpaired high surrogate", std::wstring(1, 0xD800), "\"\\uD800\""},
      {"unpaired low surrogate before a letter", std::wstring{0xDC00, L'a'}, "\"\\uDC00a\""},
      {"high surrogate followed by a letter", std::wstring{0xD83D, L'a'}, "\"\\uD83Da\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(json_string(std::wstring_view(c.input)), c.expected) << c.what;
  }
}

TEST(json_text, writes_numbers_that_read_back) {
  EXPECT_EQ(json_number(1.25), "1.25");
  EXPECT_EQ(json_number(0.1), "0.1");
  EXPECT_EQ(json_number(5), "5");
  EXPECT_EQ(json_number(std::numeric_limits<double>::quiet_NaN()), "null");
  EXPECT_EQ(json_number(std::numeric_limits<double>::infinity()), "null");
}

struct literal_case {
  const char* what;
  std::wstring literal;
  bool valid;
  std::wstring expected;
};

TEST(json_text, decodes_string_literals) {
  const literal_case cases[] = {
      {"empty string", L"\"\"", true, L""},
      {"plain text", L"\"abc\"", true, L"abc"},
      {"all short escapes", L"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", true, L"\"\\/\b\f\n\r\t"},
      {"\\u escape of U+00E9", L"\"\\u00e9\"", true, L"\u00e9"},
      {"\\u escape of an unpaired surrogate", L"\"\\uD800\"", true, std::wstring(1, 0xD800)},
      {"no closing quote", L"\"abc", false, L""},
      {"no opening quote", L"abc\"", false, L""},
      {"unescaped quote inside", L"\"a\"b\"", false, L""},
      {"unknown escape \\x", L"\"\\x41\"", false, L""},
      {"short \\u escape", L"\"\\u12\"", false, L""},
      {"non-hex \\u escape", L"\"\\u12G4\"", false, L""},
      {"raw control character", L"\"a\nb\"", false, L""},
      {"backslash before the closing quote", L"\"abc\\\"", false, L""},
  };
  for (const auto& c : cases) {
    const auto decoded = decode_json_string_literal(c.literal);
    EXPECT_EQ(decoded.has_value(), c.valid) << c.what;
    if (decoded && c.valid) {
      EXPECT_EQ(*decoded, c.expected) << c.what;
    }
  }
}

TEST(json_text, widens_only_valid_utf8) {
  EXPECT_EQ(widen_utf8("h\xC3\xA9"), std::wstring(L"h\u00e9"));
  EXPECT_EQ(widen_utf8(""), std::wstring());
  EXPECT_FALSE(widen_utf8("\xC3").has_value()) << "truncated two-byte sequence";
  EXPECT_FALSE(widen_utf8("\xED\xA0\x80").has_value()) << "encoded surrogate";
}

}  // namespace
}  // namespace standin
