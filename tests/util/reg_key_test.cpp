#include "util/reg_key.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace webview::detail {
namespace {

using bytes = std::vector<unsigned char>;

// A key of this test process's own under HKCU\Software\QuendariTests, deleted afterwards.
class reg_key_test : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = L"Software\\QuendariTests\\reg_key-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &writer_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (writer_ != nullptr) RegCloseKey(writer_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuendariTests");
  }
  void write(const wchar_t* name, DWORD type, const bytes& data) {
    ASSERT_EQ(RegSetValueExW(writer_, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }

  std::wstring path_;
  HKEY writer_ = nullptr;
};

bytes utf16_bytes(const std::wstring& text) {
  const auto* first = reinterpret_cast<const unsigned char*>(text.data());
  return bytes(first, first + text.size() * sizeof(wchar_t));
}

struct value_case {
  const char* what;
  DWORD type;
  bytes data;
  std::wstring as_string;
};

// Data that is not a whole, terminated UTF-16 string is written as REG_BINARY: Wine's
// RegSetValueExW appends a terminator to REG_SZ data that lacks one (reading a byte past an odd
// buffer), where Windows stores the bytes as given. The type is not looked at when reading.
const value_case value_cases[] = {
    {"\"abc\" stored with its terminator: 8 bytes, 4 units, last one NUL",
     REG_SZ,
     {'a', 0, 'b', 0, 'c', 0, 0, 0},
     std::wstring(L"abc\0", 4)},
    {"\"abc\" stored without a terminator: 6 bytes, 3 units",
     REG_BINARY,
     {'a', 0, 'b', 0, 'c', 0},
     L"abc"},
    {"odd byte count (7): the second read reports more data, so empty",
     REG_BINARY,
     {'a', 0, 'b', 0, 'c', 0, 0},
     L""},
    {"one byte: no whole unit, empty", REG_BINARY, {0x41}, L""},
    {"0-byte string value: empty", REG_SZ, {}, L""},
    {"REG_DWORD 0x00410042 read as a string: its two units, low word first",
     REG_DWORD,
     {0x42, 0x00, 0x41, 0x00},
     L"BA"},
    {"REG_MULTI_SZ \"a\\0b\\0\\0\": embedded NULs kept",
     REG_MULTI_SZ,
     {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0},
     std::wstring(L"a\0b\0\0", 5)},
};

TEST_F(reg_key_test, values_read_as_strings_and_as_raw_bytes) {
  for (const auto& c : value_cases) {
    SCOPED_TRACE(c.what);
    write(L"value", c.type, c.data);
    const reg_key key(HKEY_CURRENT_USER, path_, KEY_READ);
    ASSERT_TRUE(key.is_open());
    EXPECT_EQ(key.query_string(L"value"), c.as_string);
    EXPECT_EQ(key.query_bytes(L"value"), c.data);
  }
}

TEST_F(reg_key_test, dword_reads_as_four_bytes_least_significant_first) {
  const DWORD number = 0x12345678;
  ASSERT_EQ(RegSetValueExW(writer_, L"number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof number),
            ERROR_SUCCESS);
  const reg_key key(HKEY_CURRENT_USER, path_, KEY_READ);
  EXPECT_EQ(key.query_bytes(L"number"), (bytes{0x78, 0x56, 0x34, 0x12}));
}

TEST_F(reg_key_test, very_long_value_reads_whole) {
  std::wstring text(300000, L'x');
  text += L'\0';
  write(L"long", REG_SZ, utf16_bytes(text));
  const reg_key key(HKEY_CURRENT_USER, path_, KEY_READ);
  EXPECT_EQ(key.query_string(L"long"), text);
  EXPECT_EQ(key.query_bytes(L"long").size(), text.size() * sizeof(wchar_t));
}

TEST_F(reg_key_test, missing_value_reads_empty) {
  const reg_key key(HKEY_CURRENT_USER, path_, KEY_READ);
  ASSERT_TRUE(key.is_open());
  EXPECT_EQ(key.query_string(L"absent"), L"");
  EXPECT_TRUE(key.query_bytes(L"absent").empty());
}

TEST_F(reg_key_test, missing_key_is_not_open_and_reads_empty) {
  const reg_key key(HKEY_CURRENT_USER, path_ + L"\\absent", KEY_READ);
  EXPECT_FALSE(key.is_open());
  EXPECT_EQ(key.query_string(L"value"), L"");
  EXPECT_TRUE(key.query_bytes(L"value").empty());
}

TEST_F(reg_key_test, key_opened_without_query_access_reads_empty) {
  write(L"value", REG_SZ, utf16_bytes(L"abc"));
  const reg_key key(HKEY_CURRENT_USER, path_, KEY_SET_VALUE);
  ASSERT_TRUE(key.is_open());
  EXPECT_EQ(key.query_string(L"value"), L"");
  EXPECT_TRUE(key.query_bytes(L"value").empty());
}

}  // namespace
}  // namespace webview::detail
