// Embedding: what the engine sets up on the browser before it shows it.
#include <gtest/gtest.h>

#include <string>

#include "tests/win32/engine_fixture.h"

namespace quendari_test {
namespace {

TEST(embed, configures_the_browser_fully_before_showing_it) {
  const std::size_t before = standin_calls().size();
  win32_edge_engine engine(test_configuration(), true, nullptr);
  const auto calls = standin_calls(before);

  const int dev_tools = find_call(calls, "put_AreDevToolsEnabled");
  const int status_bar = find_call(calls, "put_IsStatusBarEnabled", dev_tools);
  const int user_agent = find_call(calls, "put_UserAgent", status_bar);
  const int zoom_watcher = find_call(calls, "add_ZoomFactorChanged", user_agent);
  const int fullscreen_watcher =
      find_call(calls, "add_ContainsFullScreenElementChanged", zoom_watcher);
  const int bridge = find_call(calls, "AddScriptToExecuteOnDocumentCreated", fullscreen_watcher);
  const int bounds = find_call(calls, "put_Bounds", bridge);
  const int visible = find_call(calls, "put_IsVisible", bounds);
  const int focus = find_call(calls, "MoveFocus", visible);
  ASSERT_TRUE(dev_tools >= 0 && status_bar > 0 && user_agent > 0 && zoom_watcher > 0 &&
              fullscreen_watcher > 0 && bridge > 0 && bounds > 0 && visible > 0 && focus > 0)
      << "set-up calls missing or out of order";
  EXPECT_EQ(calls[dev_tools].arg("value"), "1") << "debug engines get developer tools";
  EXPECT_EQ(calls[status_bar].arg("value"), "0");
  EXPECT_NE(calls[bridge].arg("javaScript").find("__webview__"), std::string::npos);
  EXPECT_EQ(calls[visible].arg("isVisible"), "1");
  EXPECT_EQ(engine.browser_controller_impl().value() != nullptr, true);
}

}  // namespace
}  // namespace quendari_test
