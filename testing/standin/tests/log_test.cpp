// The call log's line framing: every line starts with its number, thread and time of writing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

TEST(standin_log, lines_are_numbered_and_timed_in_writing_order) {
  const standin_copy standin("");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  EXPECT_EQ(page.controller->put_ZoomFactor(1.5), S_OK);
  pump_for(50);
  page.close();

  const std::vector<std::string> lines = standin.log_lines();
  ASSERT_FALSE(lines.empty());
  long long previous_time = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("{\"seq\":" + std::to_string(i + 1) + ",", 0), 0u) << lines[i];
    // The time of writing follows the thread id and never goes back in writing order.
    const std::size_t time_at = lines[i].find(",\"t_us\":");
    ASSERT_NE(time_at, std::string::npos) << lines[i];
    EXPECT_LT(lines[i].find(",\"thread\":"), time_at) << lines[i];
    const long long time = std::stoll(lines[i].substr(time_at + 8));
    EXPECT_GE(time, previous_time) << lines[i];
    previous_time = time;
  }
}

}  // namespace
}  // namespace standin_test
