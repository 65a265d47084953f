#include "app/unreachable_page.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>

namespace quendari {
namespace {

using namespace std::string_literals;

// The text between the first `begin` and the next `end`, empty when either is missing.
std::string between(const std::string& text, std::string_view begin, std::string_view end) {
  const auto start = text.find(begin);
  if (start == std::string::npos) return {};
  const auto from = start + begin.size();
  const auto stop = text.find(end, from);
  if (stop == std::string::npos) return {};
  return text.substr(from, stop - from);
}

std::string shown_line(const std::string& page) { return between(page, "<p id=\"line\">", "</p>"); }

// The retry URL's literal as the script holds it, quotes included.
std::string target_literal(const std::string& page) {
  return between(page, "var target = ", ";\n");
}

TEST(unreachable_page, web_error_status_picks_offline_only_for_disconnected_and_unresolved) {
  const struct {
    int status;
    unreachable_reason reason;
  } cases[] = {
      {11, unreachable_reason::offline},           {13, unreachable_reason::offline},
      {0, unreachable_reason::cannot_reach_host},  {6, unreachable_reason::cannot_reach_host},
      {12, unreachable_reason::cannot_reach_host}, {14, unreachable_reason::cannot_reach_host},
      {18, unreachable_reason::cannot_reach_host}, {99, unreachable_reason::cannot_reach_host},
      {-1, unreachable_reason::cannot_reach_host}, {INT_MIN, unreachable_reason::cannot_reach_host},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reason_for_web_error(c.status), c.reason) << "status " << c.status;
  }
}

TEST(unreachable_page, lines_have_their_exact_texts) {
  EXPECT_EQ(unreachable_line(unreachable_reason::offline, "ignored.example"), "You're offline.");
  EXPECT_EQ(unreachable_line(unreachable_reason::cannot_reach_host, "app.quendari.art"),
            "Quendari can't reach app.quendari.art.");
  EXPECT_EQ(unreachable_line(unreachable_reason::page_stopped, "ignored.example"),
            "The page stopped working.");
  // The host is kept as given; escaping is the page's job.
  EXPECT_EQ(unreachable_line(unreachable_reason::cannot_reach_host, "<b>&"),
            "Quendari can't reach <b>&.");
}

TEST(unreachable_page, lines_for_empty_host_and_unknown_reason_stay_readable) {
  EXPECT_EQ(unreachable_line(unreachable_reason::cannot_reach_host, ""),
            "Quendari can't reach the server.");
  EXPECT_EQ(unreachable_line(static_cast<unreachable_reason>(42), "h.example"),
            "Quendari can't reach h.example.");
}

TEST(unreachable_page, retry_delay_doubles_from_five_up_to_sixty) {
  const int expected[] = {5, 10, 20, 40, 60, 60};
  for (int failures = 1; failures <= 6; ++failures) {
    EXPECT_EQ(retry_delay_seconds(failures), expected[failures - 1]) << failures << " failures";
  }
  EXPECT_EQ(retry_delay_seconds(31), 60);
  EXPECT_EQ(retry_delay_seconds(32), 60);
  EXPECT_EQ(retry_delay_seconds(1000), 60);
  EXPECT_EQ(retry_delay_seconds(INT_MAX), 60);
  EXPECT_EQ(retry_delay_seconds(0), 5);
  EXPECT_EQ(retry_delay_seconds(INT_MIN), 5);
}

TEST(unreachable_page, page_has_title_policy_and_retry_button) {
  const std::string page = compose_unreachable_page("You're offline.", "https://a.example/", 5);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<title>Quendari</title>"), std::string::npos);
  EXPECT_NE(page.find("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                      "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">"),
            std::string::npos);
  EXPECT_NE(page.find("<button id=\"retry\" type=\"button\" autofocus>Retry</button>"),
            std::string::npos);
  EXPECT_EQ(target_literal(page), "\"https://a.example/\"");
  EXPECT_NE(page.find("var seconds = 5;"), std::string::npos);
  // Nothing is loaded from anywhere: no src or href attribute at all.
  EXPECT_EQ(page.find("src="), std::string::npos);
  EXPECT_EQ(page.find("href="), std::string::npos);
}

TEST(unreachable_page, retry_seconds_are_written_as_given) {
  EXPECT_NE(compose_unreachable_page("x", "https://a.example/", 0).find("var seconds = 0;"),
            std::string::npos);
  EXPECT_NE(compose_unreachable_page("x", "https://a.example/", INT_MIN)
                .find("var seconds = " + std::to_string(INT_MIN) + ";"),
            std::string::npos);
}

TEST(unreachable_page, line_is_html_escaped) {
  const std::string page = compose_unreachable_page("<b>&\"'</b>", "https://a.example/", 5);
  EXPECT_EQ(shown_line(page), "&lt;b&gt;&amp;&quot;&#39;&lt;/b&gt;");
  EXPECT_EQ(page.find("<b>"), std::string::npos);
}

TEST(unreachable_page, nul_in_line_becomes_replacement_character) {
  const std::string page = compose_unreachable_page("a\0b"s, "https://a.example/", 5);
  EXPECT_EQ(shown_line(page),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(page.find('\0'), std::string::npos);
}

TEST(unreachable_page, hostile_retry_url_stays_inside_its_string_literal) {
  const std::string url =
      "https://a.example/x?q=</script><script>alert(1)</script>\"'\\<!--&\n\t\x7F"
      "\xE2\x80\xA8\xE2\x80\xA9";
  const std::string page = compose_unreachable_page("line", url, 5);
  EXPECT_EQ(target_literal(page),
            "\"https://a.example/x?q=\\u003C/script\\u003E\\u003Cscript\\u003Ealert(1)"
            "\\u003C/script\\u003E\\\"'\\\\\\u003C!--\\u0026\\u000A\\u0009\\u007F"
            "\\u2028\\u2029\"");
  // One script element only, and the URL reaches no HTML.
  EXPECT_EQ(page.find("<script>"), page.rfind("<script>"));
  EXPECT_EQ(page.find("</script>"), page.rfind("</script>"));
  EXPECT_EQ(page.find("alert(1)</script>"), std::string::npos);
  EXPECT_EQ(page.find("\xE2\x80\xA8"), std::string::npos);
  EXPECT_EQ(page.find("\xE2\x80\xA9"), std::string::npos);
}

TEST(unreachable_page, other_unicode_in_retry_url_is_kept) {
  const std::string page =
      compose_unreachable_page("line", "https://a.example/caf\xC3\xA9/\xE2\x80\xA7", 5);
  EXPECT_EQ(target_literal(page), "\"https://a.example/caf\xC3\xA9/\xE2\x80\xA7\"");
}

TEST(unreachable_page, invalid_utf8_becomes_replacement_characters) {
  const std::string fffd = "\xEF\xBF\xBD";
  const struct {
    std::string input;
    std::string shown;
  } cases[] = {
      {"a\xFF"
       "b",
       "a" + fffd + "b"},
      {"\xC3\x28", fffd + "("},  // continuation byte missing
      {"\xE2\x82", fffd},        // truncated at the end
      {"\xE2\x82"
       "A",
       fffd + "A"},                                     // truncated before ASCII
      {"\xC0\xAF", fffd + fffd},                        // overlong
      {"\xE0\x80\xAF", fffd + fffd + fffd},             // overlong
      {"\xED\xA0\x80", fffd + fffd + fffd},             // surrogate
      {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // beyond U+10FFFF
      {"\xF0\x9F\x98", fffd},                           // truncated four-byte sequence
      {"\x80\xBF", fffd + fffd},                        // lone continuation bytes
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},         // valid, kept
  };
  for (const auto& c : cases) {
    const std::string page = compose_unreachable_page(c.input, "https://a.example/" + c.input, 5);
    EXPECT_EQ(shown_line(page), c.shown) << testing::PrintToString(c.input);
    EXPECT_EQ(target_literal(page), "\"https://a.example/" + c.shown + "\"")
        << testing::PrintToString(c.input);
  }
}

TEST(unreachable_page, empty_inputs_give_a_whole_page) {
  const std::string page = compose_unreachable_page("", "", 0);
  EXPECT_EQ(shown_line(page), "");
  EXPECT_EQ(target_literal(page), "\"\"");
  EXPECT_NE(page.find("</html>"), std::string::npos);
}

}  // namespace
}  // namespace quendari
