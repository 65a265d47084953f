// Document-start scripts: the scenario's script lines.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

TEST(standin_script, fail_reports_the_code_later_then_the_next_script_gets_an_id) {
  const standin_copy standin("script fail 0x80004005\n");
  std::vector<std::pair<HRESULT, std::wstring>> scripts;
  script_handler on_script([&](HRESULT code, LPCWSTR id) {
    scripts.emplace_back(code, id ? id : L"(null)");
    return S_OK;
  });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());

  EXPECT_EQ(page.webview->AddScriptToExecuteOnDocumentCreated(L"window.a = 1;", &on_script), S_OK);
  EXPECT_EQ(page.webview->AddScriptToExecuteOnDocumentCreated(L"window.b = 2;", &on_script), S_OK);
  EXPECT_EQ(on_script.calls, 0);
  ASSERT_TRUE(pump_until([&] { return on_script.calls == 2; }, 5000));
  EXPECT_EQ(scripts[0].first, static_cast<HRESULT>(0x80004005));
  EXPECT_EQ(scripts[1].first, S_OK);
  EXPECT_NE(scripts[1].second, L"(null)");
  EXPECT_FALSE(scripts[1].second.empty());
  page.close();
  EXPECT_EQ(on_script.references, 1u) << "the stand-in kept or lost a handler reference";
}

TEST(standin_script, never_accepts_and_never_completes_but_gives_the_handler_back) {
  const standin_copy standin("script never\n");
  script_handler on_script([](HRESULT, LPCWSTR) { return S_OK; });
  standin_page page(standin);
  ASSERT_TRUE(page.ready());

  EXPECT_EQ(page.webview->AddScriptToExecuteOnDocumentCreated(L"window.a = 1;", &on_script), S_OK);
  pump_for(1000);
  EXPECT_EQ(on_script.calls, 0);
  page.close();
  EXPECT_EQ(on_script.references, 1u) << "the handler outlived its web view";
}

}  // namespace
}  // namespace standin_test
