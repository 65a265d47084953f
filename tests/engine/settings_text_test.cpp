#include "engine/settings_text.h"

#include <gtest/gtest.h>

namespace webview::detail {
namespace {

TEST(settings_text, reads_the_choice_and_keeps_every_other_line_when_it_changes) {
  struct case_t {
    const char* stored;
    bool on;
    const char* after_turning_off;
  };
  const case_t cases[] = {
      {"", false, "keep_running=0\n"},
      {"keep_running=1\n", true, "keep_running=0\n"},
      {"keep_running=1", true, "keep_running=0\n"},
      {"keep_running=1\r\n", true, "keep_running=0\n"},
      {"keep_running=0\n", false, "keep_running=0\n"},
      {"keep_running=yes\n", false, "keep_running=0\n"},
      {"keep_running= 1\n", false, "keep_running=0\n"},
      {"keep_running\n", false, "keep_running\nkeep_running=0\n"},
      {"Keep_Running=1\n", false, "Keep_Running=1\nkeep_running=0\n"},
      {"keep_running=0\nkeep_running=1\n", true, "keep_running=0\n"},
      {"theme=dark\n\nkeep_running=1\r\nnot a setting\nx==1\n", true,
       "theme=dark\nkeep_running=0\nnot a setting\nx==1\n"},
      {"\xff\xfe\x01=\x02\n", false, "\xff\xfe\x01=\x02\nkeep_running=0\n"},
  };
  for (const case_t& each : cases) {
    settings_text settings(each.stored);
    EXPECT_EQ(is_on(settings.value("keep_running")), each.on) << each.stored;
    settings.set("keep_running", "0");
    EXPECT_EQ(settings.text(), each.after_turning_off) << each.stored;
  }
}

}  // namespace
}  // namespace webview::detail
