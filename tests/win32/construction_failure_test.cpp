// A construction that fails after its windows exist: here the stand-in reports a failing browser
// setting, so embedding fails with all three windows created.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "tests/win32/engine_fixture.h"

namespace quendari_test {
namespace {

using webview::detail::engine_base;

TEST(ConstructionFailure, LeavesNoWindowThatCouldReachTheEngine) {
  if (!std::getenv("QUENDARI_STANDIN_SCENARIO")) GTEST_SKIP() << "needs the failing scenario";
  try {
    win32_edge_engine engine(false, nullptr);
    FAIL() << "construction succeeded";
  } catch (const webview::exception& failure) {
    EXPECT_EQ(failure.code(), webview::error_unspecified);
    EXPECT_STREQ(failure.what(), "put_IsStatusBarEnabled failed");
  }
  EXPECT_EQ(FindWindowW(L"webview", nullptr), nullptr);
  EXPECT_TRUE(message_windows().empty());
  EXPECT_EQ(engine_base::live_window_count(), 0u);
  // What the failure dialog would do: pump whatever the browser still delivers.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (std::chrono::steady_clock::now() < until) pump_pending_messages();
}

}  // namespace
}  // namespace quendari_test
