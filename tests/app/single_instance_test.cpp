// One Quendari per user session: a second start brings the first window forward and ends.
#include <gtest/gtest.h>

#include <thread>

#include "tests/app/app_fixture.h"

namespace quendari_test {
namespace {

using namespace std::chrono_literals;

int main_windows() {
  int count = 0;
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"webview", nullptr));) {
    ++count;
  }
  return count;
}

using single_instance = app_with_runtime;

TEST_F(single_instance, a_second_start_restores_the_first_window_and_ends) {
  quendari_run first("first_instance", "after-navigate 6000 close\n");
  const HWND window = first.main_window();
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(window));

  quendari_run second("second_instance", "");
  EXPECT_EQ(second.wait(10s), 0u);
  EXPECT_TRUE(second.calls().empty()) << "the second start loaded no browser";
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(IsIconic(window)) << "the first window came back";
  EXPECT_EQ(main_windows(), 1);
  EXPECT_EQ(first.wait(), 0u);
}

TEST_F(single_instance, two_starts_at_the_same_moment_end_with_one_window) {
  quendari_run one("same_moment_one", "after-navigate 3000 close\n");
  quendari_run other("same_moment_other", "after-navigate 3000 close\n");
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(main_windows(), 1);
  EXPECT_EQ(one.wait(), 0u);
  EXPECT_EQ(other.wait(), 0u);
}

}  // namespace
}  // namespace quendari_test
