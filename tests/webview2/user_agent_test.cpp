#include "webview2/user_agent.h"

#include <gtest/gtest.h>

#include <string>

namespace webview::detail {
namespace {

TEST(marked_user_agent, appends_the_token_once) {
  const struct {
    const char* what;
    std::wstring given;
    std::wstring expected;
  } cases[] = {
      {"browser's own user agent", L"Mozilla/5.0 Edg/120.0",
       L"Mozilla/5.0 Edg/120.0 QuendariApp/1"},
      {"empty or unreadable", L"", L"QuendariApp/1"},
      {"a single space is kept and gets the separating space", L" ", L"  QuendariApp/1"},
      {"already marked", L"Mozilla/5.0 QuendariApp/1", L"Mozilla/5.0 QuendariApp/1"},
      {"marked with another version", L"Mozilla/5.0 QuendariApp/2 Edg/1",
       L"Mozilla/5.0 QuendariApp/2 Edg/1"},
      {"token at the start, no version", L"QuendariApp/", L"QuendariApp/"},
      {"lower-case token is another text", L"Mozilla quendariapp/1",
       L"Mozilla quendariapp/1 QuendariApp/1"},
      {"name without the slash", L"QuendariApp 1", L"QuendariApp 1 QuendariApp/1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(marked_user_agent(c.given), c.expected);
    EXPECT_EQ(marked_user_agent(marked_user_agent(c.given)), c.expected);
  }
}

}  // namespace
}  // namespace webview::detail
