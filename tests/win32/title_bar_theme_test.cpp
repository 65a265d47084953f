// The title bar's theme decision from the user's "AppsUseLightTheme" value.
#include "win32/title_bar_theme.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_registry.h"

namespace quendari_test {
namespace {

using webview::detail::system_prefers_dark_apps;

constexpr wchar_t personalize[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

struct theme_case {
  const char* what;
  DWORD type;
  std::vector<BYTE> data;
  bool dark;
};

class title_bar_theme : public ::testing::TestWithParam<theme_case> {};

TEST_P(title_bar_theme, decides_dark_only_for_four_zero_bytes) {
  const theme_case& tested = GetParam();
  const scoped_value value(HKEY_CURRENT_USER, personalize, L"AppsUseLightTheme", tested.type,
                           tested.data);
  EXPECT_EQ(system_prefers_dark_apps(), tested.dark) << tested.what;
}

INSTANTIATE_TEST_SUITE_P(
    values, title_bar_theme,
    ::testing::Values(
        theme_case{"DWORD 0: dark", REG_DWORD, {0, 0, 0, 0}, true},
        theme_case{"DWORD 1: light", REG_DWORD, {1, 0, 0, 0}, false},
        theme_case{"DWORD 0x100: light, every byte counts", REG_DWORD, {0, 1, 0, 0}, false},
        theme_case{
            "binary of 4 zero bytes: the type is not examined", REG_BINARY, {0, 0, 0, 0}, true},
        theme_case{
            "binary of 8 bytes starting with 4 zeros", REG_BINARY, {0, 0, 0, 0, 1, 1, 1, 1}, true},
        theme_case{"3 bytes: too short, light", REG_BINARY, {0, 0, 0}, false},
        theme_case{"1 byte: light", REG_BINARY, {0}, false},
        theme_case{"0 bytes: light", REG_BINARY, {}, false},
        theme_case{"string \"0\": its bytes are not zero, light", REG_SZ, {'0', 0, 0, 0}, false}));

TEST(title_bar_theme_missing, a_missing_value_means_light) {
  const scoped_value placeholder(HKEY_CURRENT_USER, personalize, L"AppsUseLightTheme", REG_DWORD,
                                 {0, 0, 0, 0});
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, personalize, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegDeleteValueW(key, L"AppsUseLightTheme");
  RegCloseKey(key);
  EXPECT_FALSE(system_prefers_dark_apps());
}

}  // namespace
}  // namespace quendari_test
