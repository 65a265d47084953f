#include "testing/standin/scenario.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

TEST(scenario_file, empty_text_lets_everything_succeed) {
  const scenario plan = parse_scenario("");
  EXPECT_TRUE(plan.errors.empty());
  EXPECT_EQ(step_at(plan.starts, 0).outcome, step_outcome::succeed);
  EXPECT_EQ(step_at(plan.controllers, 7).outcome, step_outcome::succeed);
  EXPECT_FALSE(plan.deliver_inside);
  EXPECT_TRUE(plan.settings2_available);
  EXPECT_TRUE(plan.controller2_available);
  EXPECT_EQ(plan.user_agent, default_user_agent);
}

TEST(scenario_file, steps_apply_to_successive_calls) {
  const scenario plan = parse_scenario(
      "\xEF\xBB\xBF# byte-order mark and a comment\r\n"
      "start refuse 0x80004005\r\n"
      "start fail -2147024894\n"
      "start abort\n"
      "start stall\n"
      "start later-quit\n"
      "\n"
      "controller abort\n"
      "controller stall\n"
      "controller nowebview\n"
      "controller nullwebview\n"
      "controller refuse 5\n"
      "script fail 0x80004005\n"
      "script ok\n");
  ASSERT_TRUE(plan.errors.empty()) << plan.errors[0].reason;
  ASSERT_EQ(plan.starts.size(), 5u);
  EXPECT_EQ(plan.starts[0].outcome, step_outcome::refuse);
  EXPECT_EQ(plan.starts[0].code, static_cast<HRESULT>(0x80004005));
  EXPECT_EQ(plan.starts[1].outcome, step_outcome::fail);
  EXPECT_EQ(plan.starts[1].code, static_cast<HRESULT>(0x80070002));
  EXPECT_EQ(plan.starts[2].code, E_ABORT);
  EXPECT_EQ(plan.starts[3].outcome, step_outcome::refuse);
  EXPECT_EQ(plan.starts[3].code, static_cast<HRESULT>(0x8007139F));
  EXPECT_EQ(plan.starts[4].outcome, step_outcome::later_quit);
  EXPECT_EQ(step_at(plan.starts, 5).outcome, step_outcome::succeed);
  ASSERT_EQ(plan.controllers.size(), 5u);
  EXPECT_EQ(plan.controllers[0].code, E_ABORT);
  EXPECT_EQ(plan.controllers[1].outcome, step_outcome::fail);
  EXPECT_EQ(plan.controllers[1].code, static_cast<HRESULT>(0x8007139F));
  EXPECT_EQ(plan.controllers[2].outcome, step_outcome::no_webview);
  EXPECT_EQ(plan.controllers[3].outcome, step_outcome::null_webview);
  EXPECT_EQ(plan.controllers[4].code, 5);
  ASSERT_EQ(plan.scripts.size(), 2u);
  EXPECT_EQ(plan.scripts[0].outcome, step_outcome::fail);
  EXPECT_EQ(plan.scripts[1].outcome, step_outcome::succeed);
}

TEST(scenario_file, reads_settings_user_agent_and_delivery) {
  const scenario plan = parse_scenario(
      "deliver inside\n"
      "settings fail put_IsStatusBarEnabled 0x1\n"
      "settings fail get_UserAgent 0x80004005\n"
      "useragent Mozilla/5.0 Test  QuendariApp/0\n"
      "nosettings2\n"
      "nocontroller2\n");
  ASSERT_TRUE(plan.errors.empty()) << plan.errors[0].reason;
  EXPECT_TRUE(plan.deliver_inside);
  EXPECT_EQ(plan.settings_failures.at("put_IsStatusBarEnabled"), S_FALSE);
  EXPECT_EQ(plan.settings_failures.at("get_UserAgent"), E_FAIL);
  EXPECT_EQ(plan.user_agent, L"Mozilla/5.0 Test  QuendariApp/0") << "inner blanks are kept";
  EXPECT_FALSE(plan.settings2_available);
  EXPECT_FALSE(plan.controller2_available);
  EXPECT_FALSE(parse_scenario("release never").release_ms.has_value()) << "held for ever";
  EXPECT_EQ(parse_scenario("useragent \"\"").user_agent, L"") << "empty user agent";
  EXPECT_EQ(parse_scenario("useragent").user_agent, L"") << "no text at all";
}

TEST(scenario_file, reads_timed_actions) {
  const scenario plan = parse_scenario(
      "after-start 500 quit\n"
      "after-navigate 10 message string h\xC3\xA9llo world\n"
      "after-navigate 20 message string \"\\uD800\"\n"
      "after-navigate 30 message json {\"id\":1}\n"
      "after-navigate 40 message json \"text\"\n"
      "after-navigate 50 zoom 1.5\n"
      "after-navigate 60 fullscreen on\n"
      "after-navigate 70 newwindow script mailto:someone@example.test\n"
      "after-navigate 80 permission clipboard-read https://app.test/\n"
      "after-navigate 90 permission 9 \"\"\n"
      "after-navigate 100 close\n"
      "after-navigate 110 screenshot-ready\n");
  ASSERT_TRUE(plan.errors.empty()) << plan.errors[0].reason;
  ASSERT_EQ(plan.after_start.size(), 1u);
  EXPECT_EQ(plan.after_start[0].delay_ms, 500u);
  EXPECT_EQ(plan.after_start[0].action.kind, action_kind::quit);
  const auto& actions = plan.after_navigate;
  ASSERT_EQ(actions.size(), 11u);
  EXPECT_EQ(actions[0].action.kind, action_kind::message_string);
  EXPECT_EQ(actions[0].action.text, L"h\u00e9llo world");
  EXPECT_EQ(actions[1].action.text, std::wstring(1, 0xD800)) << "unpaired surrogate kept";
  EXPECT_EQ(actions[2].action.kind, action_kind::message_json);
  EXPECT_EQ(actions[2].action.text, L"{\"id\":1}");
  EXPECT_FALSE(actions[2].action.is_string);
  EXPECT_TRUE(actions[3].action.is_string) << "a JSON string literal is a string message";
  EXPECT_EQ(actions[4].action.zoom, 1.5);
  EXPECT_TRUE(actions[5].action.on);
  EXPECT_EQ(actions[6].action.text, L"mailto:someone@example.test");
  EXPECT_FALSE(actions[6].action.on) << "requested by script, not the user";
  EXPECT_EQ(actions[7].action.permission_kind, COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ);
  EXPECT_EQ(actions[8].action.permission_kind, static_cast<COREWEBVIEW2_PERMISSION_KIND>(9));
  EXPECT_EQ(actions[8].action.text, L"");
  EXPECT_EQ(actions[9].action.kind, action_kind::close);
  EXPECT_EQ(actions[10].action.kind, action_kind::screenshot_ready);
}

TEST(scenario_file, reads_navigations_held_controllers_unanswered_scripts_and_their_actions) {
  const scenario plan = parse_scenario(
      "navigation ok\n"
      "navigation fail host-name-not-resolved\n"
      "navigation fail 21\n"
      "controller hold\n"
      "script never\n"
      "after-navigate 10 processfailed browser-exited\n"
      "after-navigate 20 processfailed gpu-exited\n"
      "after-navigate 30 processfailed 12\n"
      "after-navigate 40 go https://app.test/next page\n");
  ASSERT_TRUE(plan.errors.empty()) << plan.errors[0].reason;
  ASSERT_EQ(plan.navigations.size(), 3u);
  EXPECT_TRUE(plan.navigations[0].success);
  EXPECT_FALSE(plan.navigations[1].success);
  EXPECT_EQ(plan.navigations[1].status, COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED);
  EXPECT_EQ(plan.navigations[2].status, static_cast<COREWEBVIEW2_WEB_ERROR_STATUS>(21));
  EXPECT_TRUE(navigation_at(plan.navigations, 3).success) << "past the listed ones, success";
  EXPECT_EQ(step_at(plan.controllers, 0).outcome, step_outcome::hold);
  EXPECT_EQ(step_at(plan.scripts, 0).outcome, step_outcome::never);
  const auto& actions = plan.after_navigate;
  ASSERT_EQ(actions.size(), 4u);
  EXPECT_EQ(actions[0].action.kind, action_kind::process_failed);
  EXPECT_EQ(actions[0].action.failed_kind, COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED);
  EXPECT_EQ(actions[1].action.failed_kind, COREWEBVIEW2_PROCESS_FAILED_KIND_GPU_PROCESS_EXITED);
  EXPECT_EQ(actions[2].action.failed_kind, static_cast<COREWEBVIEW2_PROCESS_FAILED_KIND>(12));
  EXPECT_EQ(actions[3].action.kind, action_kind::go);
  EXPECT_EQ(actions[3].action.text, L"https://app.test/next page");
}

struct bad_line {
  const char* line;
  const char* what;
};

TEST(scenario_file, reports_every_bad_line_with_its_number) {
  const bad_line cases[] = {
      {"begin ok", "unknown directive"},
      {"start maybe", "unknown start outcome"},
      {"start refuse", "missing HRESULT"},
      {"start refuse 0xZZ", "HRESULT that is not hex"},
      {"start refuse 0x123456789", "HRESULT wider than 32 bits"},
      {"start nowebview", "controller word used for a start"},
      {"controller later-quit", "start word used for a controller"},
      {"script abort", "abort is for starts and controllers"},
      {"start ok now", "trailing text"},
      {"deliver sometimes", "unknown delivery"},
      {"settings fail put_IsStatusBarEnable 0x1", "misspelt settings method"},
      {"settings break put_IsStatusBarEnabled 0x1", "settings without fail"},
      {"after-navigate soon quit", "delay that is no number"},
      {"after-navigate -5 quit", "negative delay"},
      {"after-navigate 10 dance", "unknown action"},
      {"after-navigate 10 zoom 0", "zero zoom"},
      {"after-navigate 10 zoom -1", "negative zoom"},
      {"after-navigate 10 zoom big", "zoom that is no number"},
      {"after-navigate 10 fullscreen maybe", "fullscreen neither on nor off"},
      {"after-navigate 10 newwindow https://x/", "new window without its initiator"},
      {"after-navigate 10 permission teleport https://x/", "unknown permission kind"},
      {"after-navigate 10 message xml <a/>", "unknown message form"},
      {"after-navigate 10 message json", "message json without JSON"},
      {"after-navigate 10 message string \"open", "unterminated string literal"},
      {"after-navigate 10 message string \xC3", "invalid UTF-8"},
      {"after-navigate 10 quit now", "trailing text after an action"},
      {"after-start 10 zoom 2", "page action before any page"},
      {"nosettings2 please", "trailing text after nosettings2"},
      {"nocontroller2 x", "trailing text after nocontroller2"},
      {"navigation maybe", "unknown navigation outcome"},
      {"navigation fail", "failed navigation without its status"},
      {"navigation fail lost", "unknown web error status"},
      {"navigation fail -1", "negative web error status"},
      {"navigation ok now", "trailing text after a navigation"},
      {"controller never", "script word used for a controller"},
      {"script hold", "controller word used for a script"},
      {"start hold", "controller word used for a start"},
      {"after-navigate 10 processfailed", "process failure without its kind"},
      {"after-navigate 10 processfailed browser-crashed", "unknown process failure kind"},
      {"after-navigate 10 processfailed gpu-exited now", "trailing text after a process failure"},
      {"after-navigate 10 go", "link without its URI"},
      {"after-start 10 processfailed gpu-exited", "process failure before any page"},
      {"after-navigate 10 newwindow user size 300 https://x/", "window size without its height"},
      {"navigation http 99", "HTTP status below 100"},
      {"release soon", "release delay that is neither a number nor never"},
  };
  for (const auto& c : cases) {
    const scenario plan = parse_scenario(std::string("start ok\n") + c.line + "\nstart ok\n");
    ASSERT_EQ(plan.errors.size(), 1u) << c.what;
    EXPECT_EQ(plan.errors[0].line, 2u) << c.what;
    EXPECT_EQ(plan.errors[0].text, c.line) << c.what;
    EXPECT_FALSE(plan.errors[0].reason.empty()) << c.what;
  }
}

TEST(scenario_file, missing_file_is_an_error) {
  const scenario plan = load_scenario(L"Z:\\no\\such\\folder\\scenario.txt");
  ASSERT_EQ(plan.errors.size(), 1u);
  EXPECT_EQ(plan.errors[0].line, 0u);
}

}  // namespace
}  // namespace standin
