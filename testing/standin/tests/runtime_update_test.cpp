// Runtime updates: the scenario's newversion action installs a newer runtime beside the running
// one, and the application's next start runs that copy as a second module in the same process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/standin/tests/standin_session.h"

namespace standin_test {
namespace {

constexpr wchar_t client_state[] =
    L"SOFTWARE\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

// The updater's entry moves to the new copy; the application's next start loads it, is refused
// while the old version's browser runs, and continues the old module's counts and log once the
// old browser let go of the folder.
TEST(standin_runtime_update, the_installed_copy_continues_the_run_once_the_old_browser_let_go) {
  standin_copy standin("release 300\nafter-navigate 10 newversion 121.0.0.2\n", L"120.0.0.1");
  HKEY key = nullptr;
  DWORD created = 0;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, client_state, 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, &created),
            ERROR_SUCCESS);
  const std::wstring running = standin.runtime_folder(L"120.0.0.1");
  RegSetValueExW(key, L"EBWebView", 0, REG_SZ, reinterpret_cast<const BYTE*>(running.c_str()),
                 static_cast<DWORD>((running.size() + 1) * sizeof(wchar_t)));
  wchar_t named[MAX_PATH] = {};
  version_handler on_version([&](ICoreWebView2Environment*, IUnknown*) {
    DWORD size = sizeof named;
    return HRESULT_FROM_WIN32(
        RegGetValueW(key, nullptr, L"EBWebView", RRF_RT_REG_SZ, nullptr, named, &size));
  });
  standin_page old(standin);
  ASSERT_TRUE(old.ready());
  EventRegistrationToken token{};
  EXPECT_EQ(old.environment->add_NewBrowserVersionAvailable(&on_version, &token), S_OK);
  EXPECT_EQ(old.webview->Navigate(L"https://app.test/"), S_OK);
  const bool announced = pump_until([&] { return on_version.calls == 1; }, 5000);
  RegDeleteValueW(key, L"EBWebView");
  RegCloseKey(key);
  if (created == REG_CREATED_NEW_KEY) {
    RegDeleteKeyExW(HKEY_CURRENT_USER, client_state, KEY_WOW64_32KEY, 0);
  }
  ASSERT_TRUE(announced);
  EXPECT_EQ(std::wstring(named), standin.runtime_folder(L"121.0.0.2"));

  standin.switch_to(L"121.0.0.2");
  EXPECT_FALSE(standin_page(standin).ready()) << "the old version's browser still runs";
  EXPECT_TRUE(has_line(standin.log_lines(),
                       {"\"step\":\"other version running\"", "\"result\":\"0x8007139F\""}));
  old.close();
  EXPECT_FALSE(standin_page(standin).ready()) << "the old browser did not hold the folder";
  ASSERT_TRUE(pump_until(
      [&] { return has_line(standin.log_lines(), {"\"note\":\"user data folder released\""}); },
      5000));
  standin_page updated(standin);
  ASSERT_TRUE(updated.ready());
  LPWSTR version = nullptr;
  EXPECT_EQ(updated.environment->get_BrowserVersionString(&version), S_OK);
  EXPECT_EQ(take_string(version), L"121.0.0.2");
  EXPECT_EQ(updated.webview->Navigate(L"https://app.test/"), S_OK);
  pump_for(100);
  const std::vector<std::string> lines = standin.log_lines();
  int installs = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("{\"seq\":" + std::to_string(i + 1) + ",", 0), 0u) << lines[i];
    installs += lines[i].find("\"note\":\"runtime") != std::string::npos;
  }
  EXPECT_EQ(installs, 1) << "the new copy played the after-navigate actions again";
  EXPECT_TRUE(has_line(lines, {"\"start\":4", "\"step\":\"ok\""}));
  EXPECT_EQ(on_version.references, 1u) << "the stand-in kept or lost a handler reference";
}

}  // namespace
}  // namespace standin_test
