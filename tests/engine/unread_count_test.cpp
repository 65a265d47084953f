#include "engine/unread_count.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace webview::detail {
namespace {

TEST(unread_count_from_title, reads_a_bracketed_count_at_the_start) {
  const struct {
    std::wstring title;
    std::optional<unsigned> count;
  } cases[] = {
      {L"(3) Inbox", 3u},
      {L"[3] Inbox", 3u},
      {L"(12+) Inbox", 12u},
      {L"(9999)", 9999u},
      {L"(1)Inbox", 1u},
      {L"[150] (2) Inbox", 150u},
      {L"Inbox", std::nullopt},
      {L"", std::nullopt},
      {L" (3) Inbox", std::nullopt},     // leading blank
      {L"Inbox (3)", std::nullopt},      // not at the start
      {L"(0) Inbox", std::nullopt},      // below 1
      {L"(007) Inbox", std::nullopt},    // leading zero
      {L"(10000) Inbox", std::nullopt},  // above 9999
      {L"(3] Inbox", std::nullopt},      // mismatched brackets
      {L"(3 Inbox", std::nullopt},       // unclosed
      {L"() Inbox", std::nullopt},
      {L"(+3) Inbox", std::nullopt},  // sign
      {L"(3++) Inbox", std::nullopt},
      {L"( 3) Inbox", std::nullopt},
      {L"(\uFF13) Inbox", std::nullopt},  // full-width digit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.title.begin(), c.title.end()));
    EXPECT_EQ(unread_count_from_title(c.title), c.count);
  }
}

TEST(badge_text, shows_up_to_99_and_describes_the_whole_count) {
  const struct {
    unsigned count;
    std::wstring text;
    std::wstring description;
  } cases[] = {
      {0, L"", L"Unread"},  // the dot
      {1, L"1", L"1 unread"},       {99, L"99", L"99 unread"},
      {100, L"99+", L"100 unread"}, {150, L"99+", L"150 unread"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(badge_text(c.count), c.text);
    EXPECT_EQ(badge_description(c.count), c.description);
  }
}

}  // namespace
}  // namespace webview::detail
