#include "testing/standin/tests/standin_session.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace standin_test {
namespace {

std::wstring exe_folder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path, length);
  return text.substr(0, text.find_last_of(L"\\/") + 1);
}

// "<folder>\Suite_Test-<n>", n counting the test's copies in this process: a copy still in use
// stays loaded, so a repeated test needs a new file, while the next run replaces this run's files.
std::wstring files_for_running_test() {
  static std::map<std::string, int> copies;
  const std::wstring folder = exe_folder() + L"standin_runs\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "_" + test->name();
  name += "-" + std::to_string(++copies[name]);
  return folder + std::wstring(name.begin(), name.end());
}

}  // namespace

bool pump_until(const std::function<bool()>& done, DWORD timeout_ms, bool* saw_quit) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (!done()) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT && saw_quit) *saw_quit = true;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) break;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void pump_for(DWORD ms) {
  pump_until([] { return false; }, ms);
}

bool pump_until_quit(DWORD timeout_ms) {
  bool quit = false;
  return pump_until([&] { return quit; }, timeout_ms, &quit);
}

std::wstring take_string(LPWSTR text) {
  std::wstring copy = text ? text : L"(null)";
  CoTaskMemFree(text);
  return copy;
}

bool has_line(const std::vector<std::string>& lines, const std::vector<std::string>& parts) {
  for (const std::string& line : lines) {
    bool all = true;
    for (const std::string& part : parts) all = all && line.find(part) != std::string::npos;
    if (all) return true;
  }
  return false;
}

standin_copy::standin_copy(const std::string& scenario_text, const std::wstring& version)
    : base(files_for_running_test()) {
  dll_path = base + L".dll";
  log_path = base + L".jsonl";
  const std::wstring scenario_path = base + L".scenario";
  if (!version.empty()) {
    std::filesystem::create_directories(runtime_folder(version) + L"\\EBWebView\\x64");
    switch_to(version);
  }
  EXPECT_NE(
      CopyFileW((exe_folder() + L"EmbeddedBrowserWebView.dll").c_str(), dll_path.c_str(), FALSE),
      FALSE)
      << "cannot copy the stand-in";
  std::ofstream(scenario_path.c_str(), std::ios::binary) << scenario_text;
  DeleteFileW(log_path.c_str());
  // The copy reads both on its first call.
  SetEnvironmentVariableW(L"QUENDARI_STANDIN_SCENARIO", scenario_path.c_str());
  SetEnvironmentVariableW(L"QUENDARI_STANDIN_LOG", log_path.c_str());
}

standin_copy::~standin_copy() {
  if (!module) return;
  const bool idle = pump_until([&] { return can_unload_now() == S_OK; }, 2000);
  EXPECT_TRUE(idle) << "the stand-in is still in use after the test released everything";
  if (idle) FreeLibrary(module);
}

HRESULT standin_copy::start(
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) const {
  if (!module) module = LoadLibraryW(dll_path.c_str());
  EXPECT_NE(module, nullptr) << "cannot load the stand-in";
  if (!module) return E_FAIL;
  // Through void*: FARPROC and the export's real type are incompatible function types.
  const auto create =
      reinterpret_cast<create_webview_environment_internal_fn>(reinterpret_cast<void*>(
          GetProcAddress(module, "CreateWebViewEnvironmentWithOptionsInternal")));
  EXPECT_NE(create, nullptr);
  return create ? create(true, 0, L"C:\\profile", nullptr, handler) : E_FAIL;
}

HRESULT standin_copy::can_unload_now() const {
  if (!module) return E_FAIL;
  using can_unload_now_fn = HRESULT(STDAPICALLTYPE*)();
  const auto can_unload = reinterpret_cast<can_unload_now_fn>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  EXPECT_NE(can_unload, nullptr);
  return can_unload ? can_unload() : E_FAIL;
}

bool standin_copy::unload() {
  if (module) FreeLibrary(std::exchange(module, nullptr));
  return GetModuleHandleW(dll_path.c_str()) == nullptr;
}

std::wstring standin_copy::runtime_folder(const std::wstring& version) const {
  return base + L"\\Application\\" + version;
}

void standin_copy::switch_to(const std::wstring& version) {
  dll_path = runtime_folder(version) + L"\\EBWebView\\x64\\EmbeddedBrowserWebView.dll";
  module = nullptr;
}

std::vector<std::string> standin_copy::log_lines() const {
  std::ifstream file(log_path.c_str(), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

standin_page::standin_page(const standin_copy& standin)
    : on_environment([this](HRESULT, ICoreWebView2Environment* created) {
        environment = com_ptr<ICoreWebView2Environment>::share(created);
        return S_OK;
      }),
      on_controller([this](HRESULT, ICoreWebView2Controller* created) {
        controller = com_ptr<ICoreWebView2Controller>::share(created);
        return S_OK;
      }) {
  if (FAILED(standin.start(&on_environment)) ||
      !pump_until([&] { return on_environment.calls == 1; }, 5000) || !environment) {
    return;
  }
  parent = CreateWindowExW(0, L"STATIC", L"stand-in page", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                           nullptr, nullptr, nullptr, nullptr);
  if (!parent || FAILED(environment->CreateCoreWebView2Controller(parent, &on_controller)) ||
      !pump_until([&] { return on_controller.calls == 1; }, 5000) || !controller) {
    return;
  }
  controller->get_CoreWebView2(webview.put());
}

standin_page::~standin_page() {
  release();
  if (parent) DestroyWindow(parent);
}

void standin_page::release() {
  webview.reset();
  controller.reset();
  environment.reset();
}

bool standin_page::navigate_until_quit() {
  EXPECT_EQ(webview->Navigate(L"https://app.test/?shell=app"), S_OK);
  return pump_until_quit(10000);
}

void standin_page::close() {
  release();
  pump_for(50);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr) << "the browser window outlived its controller";
  if (parent) DestroyWindow(std::exchange(parent, nullptr));
  EXPECT_EQ(on_environment.references, 1u) << "the stand-in kept or lost a handler reference";
  EXPECT_EQ(on_controller.references, 1u) << "the stand-in kept or lost a handler reference";
}

}  // namespace standin_test
