// How often the engine recovers a page by itself, and when it asks about a hang.
#include "win32/recovery_policy.h"

#include <gtest/gtest.h>

namespace webview::detail {
namespace {

TEST(action_budget, allows_the_limit_in_any_window_and_frees_up_as_it_slides) {
  action_budget budget(3, 300000);
  EXPECT_TRUE(budget.try_take(1000));
  EXPECT_TRUE(budget.try_take(2000));
  EXPECT_TRUE(budget.try_take(3000));
  EXPECT_FALSE(budget.try_take(4000));
  EXPECT_FALSE(budget.try_take(300999)) << "the first action is still inside the window";
  EXPECT_TRUE(budget.try_take(301000)) << "the first action has left the window";
  EXPECT_FALSE(budget.try_take(301001));
  EXPECT_TRUE(budget.try_take(900000));
}

TEST(hang_tracker, asks_once_at_the_second_report_of_a_hang) {
  hang_tracker hang;
  EXPECT_FALSE(hang.report(0));
  EXPECT_TRUE(hang.ongoing(10000));
  EXPECT_TRUE(hang.report(15000));
  EXPECT_FALSE(hang.report(30000)) << "asked already: No means keep waiting";
  EXPECT_FALSE(hang.report(45000));
  EXPECT_FALSE(hang.ongoing(45000 + hang_tracker::gap_ms + 1)) << "reports stopped: recovered";
  EXPECT_FALSE(hang.report(200000)) << "a new hang after a long quiet spell";
  EXPECT_TRUE(hang.report(215000));
}

TEST(hang_tracker, a_completed_navigation_ends_the_hang) {
  hang_tracker hang;
  hang.report(0);
  hang.end();
  EXPECT_FALSE(hang.ongoing(1000));
  EXPECT_FALSE(hang.report(5000)) << "the first report of a new hang";
  EXPECT_TRUE(hang.report(20000));
}

}  // namespace
}  // namespace webview::detail
