// The web view's settings object: the scenario's settings, useragent and nosettings2 lines.
#include <gtest/gtest.h>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

TEST(standin_settings, settings_fail_returns_the_listed_result_for_that_method_only) {
  const standin_copy standin("settings fail put_IsStatusBarEnabled 0x1\n");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  com_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(page.webview->get_Settings(settings.put()), S_OK);

  EXPECT_EQ(settings->put_AreDevToolsEnabled(FALSE), S_OK);
  EXPECT_EQ(settings->put_IsStatusBarEnabled(FALSE), S_FALSE);
  EXPECT_TRUE(has_line(standin.log_lines(), {"\"method\":\"put_IsStatusBarEnabled\"", "\"value\":0",
                                             "\"result\":\"0x00000001\""}));
}

TEST(standin_settings, user_agent_starts_as_listed_and_follows_put_user_agent) {
  const standin_copy standin("useragent \"Mozilla/5.0 Stand-in Test\"\n");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  com_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(page.webview->get_Settings(settings.put()), S_OK);
  com_ptr<ICoreWebView2Settings2> settings2;
  ASSERT_EQ(settings->QueryInterface(IID_ICoreWebView2Settings2,
                                     reinterpret_cast<void**>(settings2.put())),
            S_OK);
  EXPECT_EQ(static_cast<ICoreWebView2Settings*>(settings2.get()), settings.get())
      << "one object for both interfaces";

  LPWSTR agent = nullptr;
  ASSERT_EQ(settings2->get_UserAgent(&agent), S_OK);
  EXPECT_EQ(take_string(agent), L"Mozilla/5.0 Stand-in Test");
  EXPECT_EQ(settings2->put_UserAgent(L"Mozilla/5.0 Stand-in Test QuendariApp/1"), S_OK);
  ASSERT_EQ(settings2->get_UserAgent(&agent), S_OK);
  EXPECT_EQ(take_string(agent), L"Mozilla/5.0 Stand-in Test QuendariApp/1");
}

TEST(standin_settings, no_settings2_leaves_only_the_first_interface) {
  const standin_copy standin("nosettings2\n");
  standin_page page(standin);
  ASSERT_TRUE(page.ready());
  com_ptr<ICoreWebView2Settings> settings;
  ASSERT_EQ(page.webview->get_Settings(settings.put()), S_OK);

  void* settings2 = &settings2;
  EXPECT_EQ(settings->QueryInterface(IID_ICoreWebView2Settings2, &settings2), E_NOINTERFACE);
  EXPECT_EQ(settings2, nullptr);
}

}  // namespace
}  // namespace standin_test
