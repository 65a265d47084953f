// Navigation, page scripts and document-start scripts as the browser receives them.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "tests/win32/engine_fixture.h"
#include "webview2/user_script_impl.h"

namespace quendari_test {
namespace {

using webview::detail::user_script;

TEST(page_operations, text_reaches_the_web_view_unchanged_through_utf16) {
  win32_edge_engine engine(test_configuration(), false, nullptr);
  const std::size_t before = standin_calls().size();
  engine.navigate_impl("https://app.example/caf\xC3\xA9?q=\xF0\x9F\x98\x80");
  engine.set_html_impl("<p>\xE2\x82\xAC</p>");
  engine.eval_impl("document.title = '\xC3\xA9'");
  const auto calls = standin_calls(before);

  const int navigate = find_call(calls, "Navigate");
  const int html = find_call(calls, "NavigateToString");
  const int script = find_call(calls, "ExecuteScript");
  ASSERT_TRUE(navigate >= 0 && html >= 0 && script >= 0);
  EXPECT_EQ(calls[navigate].arg("uri"), "https://app.example/caf\xC3\xA9?q=\xF0\x9F\x98\x80");
  EXPECT_EQ(calls[html].arg("html"), "<p>\xE2\x82\xAC</p>");
  EXPECT_EQ(calls[script].arg("javaScript"), "document.title = '\xC3\xA9'");
}

TEST(page_operations, user_scripts_carry_the_browsers_id_and_are_removed_by_it) {
  win32_edge_engine engine(test_configuration(), false, nullptr);
  const std::size_t before = standin_calls().size();
  std::list<user_script> scripts;
  scripts.push_back(engine.add_user_script_impl("first()"));
  scripts.push_back(engine.add_user_script_impl("second()"));
  const user_script& first = scripts.front();
  const user_script& second = scripts.back();
  EXPECT_FALSE(first.get_impl()->id.empty()) << "the completion's id is kept";
  EXPECT_NE(first.get_impl()->id, second.get_impl()->id);
  EXPECT_TRUE(engine.are_user_scripts_equal_impl(first, first));
  EXPECT_FALSE(engine.are_user_scripts_equal_impl(first, second));

  engine.remove_all_user_scripts_impl(scripts);
  const auto calls = standin_calls(before);
  int removed = 0;
  for (const auto& call : calls) {
    if (call.method != "RemoveScriptToExecuteOnDocumentCreated") continue;
    EXPECT_EQ(call.arg("found"), "true") << "removed by an id the browser gave";
    ++removed;
  }
  EXPECT_EQ(removed, 2);
}

}  // namespace
}  // namespace quendari_test
