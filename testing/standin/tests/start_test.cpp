// Environment starts through the creation export: the scenario's start, deliver and after-start
// lines.
#include <gtest/gtest.h>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

TEST(standin_start, refuse_returns_the_code_and_nothing_follows) {
  const standin_copy standin("start refuse 0x80004005\n");
  environment_handler on_environment([](HRESULT, ICoreWebView2Environment*) { return S_OK; });

  EXPECT_EQ(standin.start(&on_environment), static_cast<HRESULT>(0x80004005));
  pump_for(50);
  EXPECT_EQ(on_environment.calls, 0);
  EXPECT_EQ(on_environment.references, 1u) << "the stand-in kept or lost a handler reference";
  EXPECT_TRUE(has_line(standin.log_lines(),
                       {"\"method\":\"CreateWebViewEnvironmentWithOptionsInternal\"",
                        "\"userDataFolder\":\"C:\\\\profile\"", "\"result\":\"0x80004005\""}));
}

TEST(standin_start, fail_is_accepted_and_reports_the_code_later_then_the_next_start_succeeds) {
  const standin_copy standin("start fail 0x80070002\n");
  HRESULT code = S_OK;
  com_ptr<ICoreWebView2Environment> environment;
  environment_handler on_environment([&](HRESULT result, ICoreWebView2Environment* created) {
    code = result;
    environment = com_ptr<ICoreWebView2Environment>::share(created);
    return S_OK;
  });

  EXPECT_EQ(standin.start(&on_environment), S_OK);
  EXPECT_EQ(on_environment.calls, 0) << "completion inside the call";
  EXPECT_EQ(standin.can_unload_now(), S_FALSE) << "unloadable while its completion is pending";
  ASSERT_TRUE(pump_until([&] { return on_environment.calls == 1; }, 5000));
  EXPECT_EQ(code, static_cast<HRESULT>(0x80070002));
  EXPECT_EQ(environment.get(), nullptr);

  EXPECT_EQ(standin.start(&on_environment), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_environment.calls == 2; }, 5000));
  EXPECT_EQ(code, S_OK);
  EXPECT_NE(environment.get(), nullptr);
  environment.reset();
  EXPECT_EQ(on_environment.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_start, deliver_inside_completes_within_the_call) {
  const standin_copy standin("deliver inside\n");
  com_ptr<ICoreWebView2Environment> environment;
  environment_handler on_environment([&](HRESULT, ICoreWebView2Environment* created) {
    environment = com_ptr<ICoreWebView2Environment>::share(created);
    return S_OK;
  });

  EXPECT_EQ(standin.start(&on_environment), S_OK);
  EXPECT_EQ(on_environment.calls, 1) << "the completion waited for the message dispatch";
  EXPECT_NE(environment.get(), nullptr);
}

TEST(standin_start, after_start_action_runs_without_any_page) {
  const standin_copy standin("after-start 20 quit\n");
  environment_handler on_environment([](HRESULT, ICoreWebView2Environment*) { return S_OK; });

  EXPECT_EQ(standin.start(&on_environment), S_OK);
  EXPECT_TRUE(pump_until_quit(5000)) << "the quit action never came";
  EXPECT_EQ(on_environment.calls, 1);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"note\":\"quit\""}));
}

}  // namespace
}  // namespace standin_test
