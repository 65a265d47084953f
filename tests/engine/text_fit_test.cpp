#include "engine/text_fit.h"

#include <gtest/gtest.h>

namespace webview::detail {
namespace {

TEST(fit_to_field, keeps_what_fits_and_cuts_the_rest_between_characters) {
  const struct {
    const wchar_t* text;
    std::size_t capacity;
    const wchar_t* fitted;
  } cases[] = {
      {L"", 64, L""},
      {L"abc", 4, L"abc"},
      {L"abcd", 4, L"ab\u2026"},
      // U+1F600 as its two UTF-16 units, as the field holds it.
      {L"ab\xD83D\xDE00"
       L"cd",
       5, L"ab\u2026"},
      {L"a\xD83D\xDE00"
       L"cd",
       5, L"a\xD83D\xDE00\u2026"},
      {L"abc", 1, L""},
  };
  for (const auto& each : cases) {
    EXPECT_EQ(fit_to_field(each.text, each.capacity), each.fitted) << each.capacity;
  }
}

}  // namespace
}  // namespace webview::detail
