#include "engine/bridge_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace webview::detail {
namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool ends_with(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::size_t count_of(std::string_view text, std::string_view needle) {
  std::size_t count = 0;
  for (auto at = text.find(needle); at != std::string_view::npos;
       at = text.find(needle, at + needle.size())) {
    ++count;
  }
  return count;
}

TEST(webview2_post_function, is_the_exact_text_the_engine_splices) {
  EXPECT_EQ(webview2_post_function,
            "function(message) {\n  return window.chrome.webview.postMessage(message);\n}");
}

TEST(compose_bootstrap_script, is_one_strict_mode_invoked_function_expression) {
  const std::string script = compose_bootstrap_script(webview2_post_function);
  EXPECT_TRUE(starts_with(script, "(function() {\n  \"use strict\";\n")) << script;
  EXPECT_TRUE(ends_with(script, "})()")) << script;
  ASSERT_FALSE(script.empty());
  EXPECT_NE(script.back(), ';');
  EXPECT_NE(script.back(), '\n');
  // A stray edit that unbalances the wrapper would end the expression early or never.
  EXPECT_EQ(std::count(script.begin(), script.end(), '('),
            std::count(script.begin(), script.end(), ')'));
  EXPECT_EQ(std::count(script.begin(), script.end(), '{'),
            std::count(script.begin(), script.end(), '}'));
}

TEST(compose_bootstrap_script, calls_the_post_function_from_post) {
  const std::string script = compose_bootstrap_script(webview2_post_function);
  const std::string call = "return (" + std::string(webview2_post_function) + ")(message);";
  EXPECT_EQ(count_of(script, call), 1u) << script;
  const auto post = script.find("Webview_.prototype.post = function(message) {");
  const auto next = script.find("Webview_.prototype.call");
  ASSERT_NE(post, std::string::npos);
  ASSERT_NE(next, std::string::npos);
  const auto spliced = script.find(call);
  EXPECT_LT(post, spliced);
  EXPECT_LT(spliced, next);
}

TEST(compose_bootstrap_script, splices_the_post_function_verbatim_between_fixed_parts) {
  struct sample {
    std::string_view post_function;
    const char* what;
  } const samples[] = {
      {"", "empty text"},
      {"f", "a bare name"},
      {"})();\n", "text that looks like the script's own end"},
      {"function(m) { return \"%s\\n\" + m; }", "quotes, a format directive and a backslash"},
      {webview2_post_function, "the engine's own post function"},
  };
  const std::string reference = compose_bootstrap_script("");
  ASSERT_EQ(count_of(reference, "return ("), 1u);
  const auto split = reference.find("return (") + std::string_view("return (").size();
  const std::string prefix = reference.substr(0, split);
  const std::string suffix = reference.substr(split);
  EXPECT_TRUE(starts_with(suffix, ")(message);")) << suffix;
  for (const auto& s : samples) {
    EXPECT_EQ(compose_bootstrap_script(s.post_function),
              prefix + std::string(s.post_function) + suffix)
        << s.what;
  }
}

TEST(compose_bootstrap_script, defines_its_members_in_order) {
  const std::string script = compose_bootstrap_script(webview2_post_function);
  const std::string_view in_order[] = {
      "function generateId()",
      "var Webview = (function() {",
      "var _promises = {};",
      "function Webview_()",
      "Webview_.prototype.post = function(message)",
      "Webview_.prototype.call = function(method)",
      "Webview_.prototype.onReply = function(id, status, result)",
      "Webview_.prototype.onBind = function(name)",
      "Webview_.prototype.onUnbind = function(name)",
      "return Webview_;",
      "window.__webview__ = new Webview();",
  };
  std::size_t previous = 0;
  for (const auto piece : in_order) {
    const auto at = script.find(piece);
    ASSERT_NE(at, std::string::npos) << piece;
    EXPECT_EQ(count_of(script, piece), 1u) << piece;
    EXPECT_GE(at, previous) << piece;
    previous = at;
  }
  EXPECT_TRUE(ends_with(script, "window.__webview__ = new Webview();\n})()"));
}

TEST(compose_bootstrap_script, holds_the_exact_error_texts) {
  const std::string script = compose_bootstrap_script(webview2_post_function);
  EXPECT_EQ(count_of(script, "new Error(\"Failed to parse binding result as JSON\")"), 1u);
  EXPECT_EQ(count_of(script, "new Error('Property \"' + name + '\" already exists')"), 1u);
  EXPECT_EQ(count_of(script, "new Error('Property \"' + name + '\" does not exist')"), 1u);
}

// The id and the error text are the page's own: quoted, they can never end the string early.
TEST(compose_call_scripts, quote_what_the_page_sent) {
  EXPECT_EQ(compose_call_fulfilled_script("a1"), "window.__webview__.onReply(\"a1\",0)");
  EXPECT_EQ(compose_call_failed_script("x\"),alert(1),(\"\\\n", "No \"f\""),
            "window.__webview__.onReply(\"x\\\"),alert(1),(\\\"\\\\\\u000a\",2,"
            "\"\\\"No \\\\\\\"f\\\\\\\"\\\"\")");
}

}  // namespace
}  // namespace webview::detail
