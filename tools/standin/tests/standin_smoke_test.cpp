// Loads the built stand-in the way the application does (LoadLibrary, the creation export,
// FreeLibrary right after) and plays one scenario through it: refused and failed starts, a
// failed and a good controller, settings, scripts, zoom and the timed page actions, then checks
// what the handlers saw and what the log says.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "webview2/webview2_abi.h"

namespace {

// A handler on the test's stack: Release never deletes, so the test can see that the stand-in
// gave back every reference it took.
template <typename Interface, typename... Args>
class test_handler final : public Interface {
 public:
  explicit test_handler(std::function<HRESULT(Args...)> body) : body(std::move(body)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE Invoke(Args... args) override {
    ++calls;
    EXPECT_EQ(GetCurrentThreadId(), owner_thread) << "delivered on another thread";
    return body(args...);
  }

  ULONG references = 1;
  int calls = 0;

 private:
  std::function<HRESULT(Args...)> body;
  DWORD owner_thread = GetCurrentThreadId();
};

using environment_handler = test_handler<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                                         HRESULT, ICoreWebView2Environment*>;
using controller_handler = test_handler<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                                        HRESULT, ICoreWebView2Controller*>;
using script_handler =
    test_handler<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, HRESULT,
                 LPCWSTR>;
using message_handler = test_handler<ICoreWebView2WebMessageReceivedEventHandler, ICoreWebView2*,
                                     ICoreWebView2WebMessageReceivedEventArgs*>;
using permission_handler = test_handler<ICoreWebView2PermissionRequestedEventHandler,
                                        ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs*>;
using new_window_handler = test_handler<ICoreWebView2NewWindowRequestedEventHandler, ICoreWebView2*,
                                        ICoreWebView2NewWindowRequestedEventArgs*>;
using zoom_handler =
    test_handler<ICoreWebView2ZoomFactorChangedEventHandler, ICoreWebView2Controller*, IUnknown*>;
using full_screen_handler = test_handler<ICoreWebView2ContainsFullScreenElementChangedEventHandler,
                                         ICoreWebView2*, IUnknown*>;

const char scenario_text[] =
    "# the smoke test's scenario\n"
    "start refuse 0x80004005\n"
    "start fail 0x80070002\n"
    "controller fail 0x80004005\n"
    "script fail 0x80004005\n"
    "useragent \"Mozilla/5.0 Stand-in Test\"\n"
    "settings fail put_IsStatusBarEnabled 0x1\n"
    "after-navigate 10 message string \"h\\u00e9llo \\uD83D\\uDE00\"\n"
    "after-navigate 40 message json {\"id\":1}\n"
    "after-navigate 70 zoom 2.5\n"
    "after-navigate 100 fullscreen on\n"
    "after-navigate 130 permission camera https://app.test/\n"
    "after-navigate 160 newwindow https://elsewhere.test/page\n"
    "after-navigate 190 quit\n";

std::wstring temp_folder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, path);
  return std::wstring(path, length);
}

std::wstring exe_folder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path, length);
  return text.substr(0, text.find_last_of(L"\\/") + 1);
}

std::wstring log_path() { return temp_folder() + L"standin_smoke_log.jsonl"; }

std::wstring dll_path() { return exe_folder() + L"EmbeddedBrowserWebView.dll"; }

// The stand-in reads both variables on its first call, so they are set before any test.
class standin_files : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::wstring scenario_path = temp_folder() + L"standin_smoke_scenario.txt";
    std::ofstream(scenario_path.c_str(), std::ios::binary) << scenario_text;
    DeleteFileW(log_path().c_str());
    SetEnvironmentVariableW(L"QUENDARI_STANDIN_SCENARIO", scenario_path.c_str());
    SetEnvironmentVariableW(L"QUENDARI_STANDIN_LOG", log_path().c_str());
  }
};
const auto* const files = ::testing::AddGlobalTestEnvironment(new standin_files);

// Dispatches this thread's messages until `done` or the time is up; notes WM_QUIT.
bool pump_until(const std::function<bool()>& done, DWORD timeout_ms, bool* saw_quit = nullptr) {
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

// Calls the creation export like the application: load, call, release at once.
HRESULT start_creation(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  const HMODULE module = LoadLibraryW(dll_path().c_str());
  EXPECT_NE(module, nullptr) << "cannot load the stand-in";
  if (!module) return E_FAIL;
  // Through void*: FARPROC and the export's real type are incompatible function types.
  const auto create =
      reinterpret_cast<create_webview_environment_internal_fn>(reinterpret_cast<void*>(
          GetProcAddress(module, "CreateWebViewEnvironmentWithOptionsInternal")));
  EXPECT_NE(create, nullptr);
  const HRESULT result = create ? create(true, 0, L"C:\\profile", nullptr, handler) : E_FAIL;
  FreeLibrary(module);
  return result;
}

std::vector<std::string> log_lines() {
  std::ifstream file(log_path().c_str(), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

bool has_line(const std::vector<std::string>& lines, const std::vector<std::string>& parts) {
  for (const std::string& line : lines) {
    bool all = true;
    for (const std::string& part : parts) all = all && line.find(part) != std::string::npos;
    if (all) return true;
  }
  return false;
}

std::wstring take_string(LPWSTR text) {
  std::wstring copy = text ? text : L"(null)";
  CoTaskMemFree(text);
  return copy;
}

TEST(standin_smoke, plays_a_scenario_through_the_exported_entry) {
  ICoreWebView2Environment* environment = nullptr;
  HRESULT environment_result = S_OK;
  environment_handler on_environment([&](HRESULT code, ICoreWebView2Environment* created) {
    environment_result = code;
    environment = created;
    if (created) created->AddRef();
    return S_OK;
  });

  // Start #1 is refused: nothing may follow.
  EXPECT_EQ(start_creation(&on_environment), static_cast<HRESULT>(0x80004005));
  pump_for(50);
  EXPECT_EQ(on_environment.calls, 0);

  // Start #2 is accepted and reports failure, later, from the message loop.
  EXPECT_EQ(start_creation(&on_environment), S_OK);
  EXPECT_EQ(on_environment.calls, 0) << "completion inside the call";
  EXPECT_NE(GetModuleHandleW(dll_path().c_str()), nullptr) << "the stand-in did not pin itself";
  ASSERT_TRUE(pump_until([&] { return on_environment.calls == 1; }, 5000));
  EXPECT_EQ(environment_result, static_cast<HRESULT>(0x80070002));
  EXPECT_EQ(environment, nullptr);

  // Start #3 succeeds.
  EXPECT_EQ(start_creation(&on_environment), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_environment.calls == 2; }, 5000));
  ASSERT_EQ(environment_result, S_OK);
  ASSERT_NE(environment, nullptr);

  const HWND parent = CreateWindowExW(0, L"STATIC", L"standin smoke", WS_OVERLAPPEDWINDOW, 0, 0,
                                      640, 480, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);

  ICoreWebView2Controller* controller = nullptr;
  HRESULT controller_result = S_OK;
  controller_handler on_controller([&](HRESULT code, ICoreWebView2Controller* created) {
    controller_result = code;
    controller = created;
    if (created) created->AddRef();
    return S_OK;
  });
  EXPECT_EQ(environment->CreateCoreWebView2Controller(parent, &on_controller), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_controller.calls == 1; }, 5000));
  EXPECT_EQ(controller_result, static_cast<HRESULT>(0x80004005)) << "controller #1 fails";
  EXPECT_EQ(controller, nullptr);
  EXPECT_EQ(environment->CreateCoreWebView2Controller(parent, &on_controller), S_OK);
  ASSERT_TRUE(pump_until([&] { return on_controller.calls == 2; }, 5000));
  ASSERT_EQ(controller_result, S_OK);
  ASSERT_NE(controller, nullptr);

  ICoreWebView2* webview = nullptr;
  ASSERT_EQ(controller->get_CoreWebView2(&webview), S_OK);
  ASSERT_NE(webview, nullptr);

  // Settings: one object for both interfaces; the scripted failure; the user agent.
  ICoreWebView2Settings* settings = nullptr;
  ASSERT_EQ(webview->get_Settings(&settings), S_OK);
  EXPECT_EQ(settings->put_AreDevToolsEnabled(FALSE), S_OK);
  EXPECT_EQ(settings->put_IsStatusBarEnabled(FALSE), S_FALSE);
  ICoreWebView2Settings2* settings2 = nullptr;
  ASSERT_EQ(
      settings->QueryInterface(IID_ICoreWebView2Settings2, reinterpret_cast<void**>(&settings2)),
      S_OK);
  EXPECT_EQ(static_cast<ICoreWebView2Settings*>(settings2), settings);
  LPWSTR agent = nullptr;
  ASSERT_EQ(settings2->get_UserAgent(&agent), S_OK);
  EXPECT_EQ(take_string(agent), L"Mozilla/5.0 Stand-in Test");
  EXPECT_EQ(settings2->put_UserAgent(L"Mozilla/5.0 Stand-in Test QuendariApp/1"), S_OK);
  ASSERT_EQ(settings2->get_UserAgent(&agent), S_OK);
  EXPECT_EQ(take_string(agent), L"Mozilla/5.0 Stand-in Test QuendariApp/1");

  // Page events.
  std::vector<std::pair<HRESULT, std::wstring>> messages;
  message_handler on_message([&](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
    LPWSTR text = nullptr;
    const HRESULT result = args->TryGetWebMessageAsString(&text);
    messages.emplace_back(result, take_string(text));
    return S_OK;
  });
  std::wstring permission_uri;
  permission_handler on_permission(
      [&](ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs* args) {
        COREWEBVIEW2_PERMISSION_KIND kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;
        args->get_PermissionKind(&kind);
        LPWSTR uri = nullptr;
        args->get_Uri(&uri);
        permission_uri = take_string(uri);
        if (kind == COREWEBVIEW2_PERMISSION_KIND_CAMERA) {
          args->put_State(COREWEBVIEW2_PERMISSION_STATE_ALLOW);
        }
        return S_OK;
      });
  std::wstring new_window_uri;
  new_window_handler on_new_window(
      [&](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
        LPWSTR uri = nullptr;
        args->get_Uri(&uri);
        new_window_uri = take_string(uri);
        args->put_Handled(TRUE);
        return S_OK;
      });
  BOOL full_screen = FALSE;
  full_screen_handler on_full_screen([&](ICoreWebView2* sender, IUnknown*) {
    return sender->get_ContainsFullScreenElement(&full_screen);
  });
  double zoom_seen = 0;
  zoom_handler on_zoom([&](ICoreWebView2Controller* sender, IUnknown*) {
    return sender->get_ZoomFactor(&zoom_seen);
  });
  EventRegistrationToken token{};
  EXPECT_EQ(webview->add_WebMessageReceived(&on_message, &token), S_OK);
  EXPECT_EQ(webview->add_PermissionRequested(&on_permission, &token), S_OK);
  EXPECT_EQ(webview->add_NewWindowRequested(&on_new_window, &token), S_OK);
  EXPECT_EQ(webview->add_ContainsFullScreenElementChanged(&on_full_screen, &token), S_OK);
  EXPECT_EQ(controller->add_ZoomFactorChanged(&on_zoom, &token), S_OK);
  EXPECT_EQ(on_message.references, 2u) << "the stand-in keeps one reference per registration";

  // put_ZoomFactor raises its event later, through the message queue.
  EXPECT_EQ(controller->put_ZoomFactor(1.25), S_OK);
  EXPECT_EQ(on_zoom.calls, 0);
  ASSERT_TRUE(pump_until([&] { return on_zoom.calls == 1; }, 5000));
  EXPECT_EQ(zoom_seen, 1.25);

  // Script #1 fails in its completion; script #2 gets an id.
  std::vector<std::pair<HRESULT, std::wstring>> scripts;
  script_handler on_script([&](HRESULT code, LPCWSTR id) {
    scripts.emplace_back(code, id ? id : L"(null)");
    return S_OK;
  });
  EXPECT_EQ(webview->AddScriptToExecuteOnDocumentCreated(L"window.a = 1;", &on_script), S_OK);
  EXPECT_EQ(webview->AddScriptToExecuteOnDocumentCreated(L"window.b = 2;", &on_script), S_OK);
  EXPECT_EQ(on_script.calls, 0);
  ASSERT_TRUE(pump_until([&] { return on_script.calls == 2; }, 5000));
  EXPECT_EQ(scripts[0].first, static_cast<HRESULT>(0x80004005));
  EXPECT_EQ(scripts[1].first, S_OK);
  EXPECT_NE(scripts[1].second, L"(null)");
  EXPECT_FALSE(scripts[1].second.empty());

  // The browser window follows bounds and visibility.
  EXPECT_EQ(controller->put_Bounds(RECT{10, 20, 310, 220}), S_OK);
  EXPECT_EQ(controller->put_IsVisible(TRUE), S_OK);
  EXPECT_EQ(controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC), S_OK);
  const HWND page = GetWindow(parent, GW_CHILD);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(IsWindowVisible(page) || !IsWindowVisible(parent));
  RECT page_rect{};
  GetWindowRect(page, &page_rect);
  EXPECT_EQ(page_rect.right - page_rect.left, 300);
  EXPECT_EQ(page_rect.bottom - page_rect.top, 200);

  // Navigation arms the timed page actions; the last one posts WM_QUIT.
  EXPECT_EQ(webview->Navigate(L"https://app.test/?shell=app"), S_OK);
  bool quit = false;
  EXPECT_TRUE(pump_until([&] { return quit; }, 10000, &quit)) << "the quit action never came";

  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].first, S_OK);
  EXPECT_EQ(messages[0].second, L"h\u00e9llo \xD83D\xDE00");
  EXPECT_EQ(messages[1].first, E_INVALIDARG) << "a JSON object is no string message";
  EXPECT_EQ(on_zoom.calls, 2);
  EXPECT_EQ(zoom_seen, 2.5);
  EXPECT_EQ(full_screen, TRUE);
  EXPECT_EQ(permission_uri, L"https://app.test/");
  EXPECT_EQ(new_window_uri, L"https://elsewhere.test/page");

  settings2->Release();
  settings->Release();
  webview->Release();
  controller->Release();
  environment->Release();
  pump_for(50);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr) << "the browser window outlived its controller";
  DestroyWindow(parent);
  for (const ULONG references :
       {on_environment.references, on_controller.references, on_script.references,
        on_message.references, on_permission.references, on_new_window.references,
        on_zoom.references, on_full_screen.references}) {
    EXPECT_EQ(references, 1u) << "the stand-in kept or lost a handler reference";
  }

  const std::vector<std::string> lines = log_lines();
  ASSERT_FALSE(lines.empty());
  long long previous_time = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("{\"seq\":" + std::to_string(i + 1) + ",", 0), 0u) << lines[i];
    // The time of writing follows the thread id and never goes back in writing order.
    const std::size_t time_at = lines[i].find(",\"t_us\":");
    ASSERT_NE(time_at, std::string::npos) << lines[i];
    EXPECT_LT(lines[i].find(",\"thread\":"), time_at) << lines[i];
    const long long time = std::stoll(lines[i].substr(time_at + 8));
    EXPECT_GE(time, previous_time) << lines[i];
    previous_time = time;
  }
  EXPECT_TRUE(
      has_line(lines, {"\"method\":\"CreateWebViewEnvironmentWithOptionsInternal\"",
                       "\"userDataFolder\":\"C:\\\\profile\"", "\"result\":\"0x80004005\""}));
  EXPECT_TRUE(has_line(lines, {"\"method\":\"put_ZoomFactor\"", "\"zoomFactor\":1.25"}));
  EXPECT_TRUE(has_line(lines, {"\"method\":\"put_IsStatusBarEnabled\"", "\"value\":0",
                               "\"result\":\"0x00000001\""}));
  EXPECT_TRUE(has_line(lines, {"\"event\":\"WebMessageReceived\"", "h\xC3\xA9llo \xF0\x9F\x98\x80",
                               "\"handlers\":1"}));
  EXPECT_TRUE(has_line(lines, {"\"outcome\":\"PermissionRequested\"", "\"state\":1"}));
  EXPECT_TRUE(has_line(lines, {"\"outcome\":\"NewWindowRequested\"", "\"handled\":true"}));
  EXPECT_TRUE(has_line(lines, {"\"method\":\"Navigate\"", "https://app.test/?shell=app"}));
  EXPECT_TRUE(has_line(lines, {"\"note\":\"quit\""}));
}

}  // namespace
