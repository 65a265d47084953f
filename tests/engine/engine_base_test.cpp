#include "engine/engine_base.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/engine/fake_engine.h"

namespace webview::detail {
namespace {

using strings = std::vector<std::string>;

TEST(user_scripts, are_kept_in_order_and_references_stay_valid) {
  fake_engine engine;
  user_script& first = engine.add_user_script("first();");
  const user_script* first_address = &first;
  engine.add_user_script("second();");
  EXPECT_EQ(&engine.scripts().front(), first_address);
  EXPECT_EQ(first.get_code(), "first();");
  EXPECT_EQ(engine.scripts().back().get_code(), "second();");
  EXPECT_EQ(engine.calls, (strings{"register first();", "register second();"}));
}

TEST(user_scripts, a_failed_registration_leaves_the_list_unchanged) {
  fake_engine engine;
  engine.add_user_script("kept();");
  engine.fail_next_registration = true;
  EXPECT_THROW(engine.add_user_script("lost();"), exception);
  ASSERT_EQ(engine.scripts().size(), 1u);
  EXPECT_EQ(engine.scripts().front().get_code(), "kept();");
}

TEST(user_scripts, replace_reregisters_every_script_in_order) {
  fake_engine engine;
  engine.add_user_script("a();");
  user_script& middle = engine.add_user_script("b();");
  engine.add_user_script("c();");
  engine.calls.clear();

  user_script* replaced = engine.replace_user_script(middle, "B();");

  EXPECT_EQ(engine.calls, (strings{"unregister id1", "unregister id2", "unregister id3",
                                   "register a();", "register B();", "register c();"}));
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced, &middle) << "elements never move";
  EXPECT_EQ(replaced->get_code(), "B();");
  EXPECT_EQ(replaced->get_impl()->id, "id5");
}

TEST(user_scripts, replace_without_match_still_reregisters_and_returns_null) {
  fake_engine engine;
  engine.add_user_script("a();");
  const user_script stranger("x();", user_script_impl_ptr(new user_script_impl("other")));
  engine.calls.clear();
  EXPECT_EQ(engine.replace_user_script(stranger, "y();"), nullptr);
  EXPECT_EQ(engine.calls, (strings{"unregister id1", "register a();"}));
  EXPECT_EQ(engine.scripts().front().get_code(), "a();");
}

// The live-window count is process-wide, so each test brings it back to where it found it.
class live_windows : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(engine_base::live_window_count(), 0u); }
  fake_engine engine;
};

TEST_F(live_windows, last_window_gone_ends_the_loop_once) {
  engine.add_window_ref();
  engine.release_window_ref(false);
  EXPECT_EQ(engine_base::live_window_count(), 0u);
  EXPECT_EQ(engine.calls, strings{"terminate"});
}

TEST_F(live_windows, skipping_termination_still_counts_the_window_gone) {
  engine.add_window_ref();
  engine.release_window_ref(true);
  EXPECT_EQ(engine_base::live_window_count(), 0u);
  EXPECT_TRUE(engine.calls.empty());
}

TEST_F(live_windows, two_engines_share_the_count) {
  fake_engine second;
  engine.add_window_ref();
  second.add_window_ref();
  EXPECT_EQ(engine_base::live_window_count(), 2u);
  engine.release_window_ref(false);
  EXPECT_TRUE(engine.calls.empty()) << "one window is still open";
  second.release_window_ref(false);
  EXPECT_EQ(second.calls, strings{"terminate"});
}

TEST_F(live_windows, release_at_zero_terminates_and_stays_at_zero) {
  engine.release_window_ref(false);
  EXPECT_EQ(engine_base::live_window_count(), 0u);
  EXPECT_EQ(engine.calls, strings{"terminate"});
}

TEST_F(live_windows, concurrent_updates_are_not_lost) {
  constexpr int per_thread = 10000;
  auto count_up_and_down = [this] {
    for (int i = 0; i < per_thread; ++i) engine.add_window_ref();
    for (int i = 0; i < per_thread - 1; ++i) engine.release_window_ref(true);
  };
  std::thread first(count_up_and_down);
  std::thread second(count_up_and_down);
  first.join();
  second.join();
  EXPECT_EQ(engine_base::live_window_count(), 2u);
  engine.release_window_ref(true);
  engine.release_window_ref(true);
}

}  // namespace
}  // namespace webview::detail
