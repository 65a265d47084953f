#include "tests/win32/engine_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <memory>

#include <knownfolders.h>
#include <shlobj.h>

#include "tests/support/standin_runtime.h"

namespace quendari_test {
namespace {

class standin_environment : public ::testing::Environment {
 public:
  void SetUp() override { runtime_ = std::make_unique<scoped_standin_runtime>(); }
  void TearDown() override { runtime_.reset(); }

 private:
  std::unique_ptr<scoped_standin_runtime> runtime_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new standin_environment);

// A window closed in one test must not place the next test's window: every test starts as a
// first start.
class first_start_for_every_test : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    DeleteFileW(saved_window_placement_path().c_str());
  }
};

const bool listening = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new first_start_for_every_test);
  return true;
}();

}  // namespace

std::wstring saved_window_placement_path() {
  PWSTR roaming = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring name(self);
    path = std::wstring(roaming) + L"\\" + name.substr(name.find_last_of(L"\\/") + 1) +
           L"\\window.txt";
  }
  CoTaskMemFree(roaming);
  return path;
}

webview::detail::shell_configuration test_configuration() {
  webview::detail::shell_configuration configuration;
  configuration.start_url = L"https://app.quendari.art/?shell=app";
  configuration.window_title = L"Quendari";
  configuration.window_class = L"webview";
  configuration.taskbar_identity = L"art.quendari.app";
  configuration.first_start_client_size = {1360, 860};
  configuration.compose_unreachable_page = [](const auto&) { return std::string("<p>built-in"); };
  return configuration;
}

HWND main_window_of(win32_edge_engine& engine) { return engine.window_impl().value(); }

HWND widget_window_of(win32_edge_engine& engine) { return engine.widget_impl().value(); }

std::vector<HWND> message_windows() {
  std::vector<HWND> found;
  HWND window = nullptr;
  while ((window = FindWindowExW(HWND_MESSAGE, window, L"webview_message", nullptr))) {
    found.push_back(window);
  }
  return found;
}

SIZE client_size(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void pump_pending_messages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::vector<logged_call> standin_calls(std::size_t from) {
  const wchar_t* path = _wgetenv(L"QUENDARI_STANDIN_LOG");
  EXPECT_NE(path, nullptr) << "the test run names the stand-in's log";
  if (path == nullptr) return {};
  std::vector<logged_call> calls = read_standin_log(path);
  calls.erase(calls.begin(),
              calls.begin() + static_cast<std::ptrdiff_t>(std::min(from, calls.size())));
  return calls;
}

}  // namespace quendari_test
