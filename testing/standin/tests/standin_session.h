// Helpers for the tests that drive the built stand-in DLL the way the application does: through
// its creation export, with completions and events arriving from this thread's message dispatch.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "util/com_ptr.h"
#include "webview2/webview2_abi.h"

namespace standin_test {

using webview::detail::com_ptr;

// A handler on the test's stack: Release never deletes, so a test can see that the stand-in
// gave back every reference it took.
template <typename Interface, typename... Args>
class test_handler final : public Interface {
 public:
  explicit test_handler(std::function<HRESULT(Args...)> body) : body(std::move(body)) {}
  test_handler(const test_handler&) = delete;
  test_handler& operator=(const test_handler&) = delete;

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
using process_failed_handler = test_handler<ICoreWebView2ProcessFailedEventHandler, ICoreWebView2*,
                                            ICoreWebView2ProcessFailedEventArgs*>;
using navigation_handler = test_handler<ICoreWebView2NavigationCompletedEventHandler,
                                        ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs*>;
using starting_handler = test_handler<ICoreWebView2NavigationStartingEventHandler, ICoreWebView2*,
                                      ICoreWebView2NavigationStartingEventArgs*>;
using exited_handler =
    test_handler<ICoreWebView2BrowserProcessExitedEventHandler, ICoreWebView2Environment*,
                 ICoreWebView2BrowserProcessExitedEventArgs*>;
using version_handler = test_handler<ICoreWebView2NewBrowserVersionAvailableEventHandler,
                                     ICoreWebView2Environment*, IUnknown*>;
using notification_handler =
    test_handler<ICoreWebView2NotificationReceivedEventHandler, ICoreWebView2*,
                 ICoreWebView2NotificationReceivedEventArgs*>;
using notification_close_handler = test_handler<ICoreWebView2NotificationCloseRequestedEventHandler,
                                                ICoreWebView2Notification*, IUnknown*>;

// Dispatches this thread's messages until `done` or the time is up; notes WM_QUIT.
bool pump_until(const std::function<bool()>& done, DWORD timeout_ms, bool* saw_quit = nullptr);
void pump_for(DWORD ms);
// False when no WM_QUIT came in time.
bool pump_until_quit(DWORD timeout_ms);

// The text, freed with CoTaskMemFree; "(null)" for null.
std::wstring take_string(LPWSTR text);

// Whether one line contains every part.
bool has_line(const std::vector<std::string>& lines, const std::vector<std::string>& parts);

// The running test's own copy of the built stand-in DLL, playing `scenario_text` and logging to
// a file of its own. The stand-in reads the scenario and log names once per loaded module, so
// a copy per test gives each test a fresh runtime in the same process.
class standin_copy {
 public:
  // With a `version`, the copy sits where an installed runtime's client DLL does: in
  // runtime_folder(version)\EBWebView\x64.
  explicit standin_copy(const std::string& scenario_text, const std::wstring& version = L"");
  // Frees the copy once DllCanUnloadNow allows it, dispatching messages meanwhile for pending
  // work; a copy still in use is a failure and stays loaded, as unloading it would crash.
  ~standin_copy();
  standin_copy(const standin_copy&) = delete;
  standin_copy& operator=(const standin_copy&) = delete;

  // Calls the creation export like the application. The copy stays loaded from the first call
  // on: the DLL does not keep itself loaded while its objects live, the host has to.
  HRESULT start(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) const;
  // DllCanUnloadNow's answer; E_FAIL before the first start().
  HRESULT can_unload_now() const;
  // Frees the reference start() took; true when the DLL is no longer mapped afterwards.
  bool unload();
  std::vector<std::string> log_lines() const;
  // "<test's folder>\Application\<version>".
  std::wstring runtime_folder(const std::wstring& version) const;
  // From now on start() loads the client DLL of runtime_folder(version), as an application does
  // after an update; the DLL loaded so far stays loaded.
  void switch_to(const std::wstring& version);

 private:
  std::wstring base;
  std::wstring dll_path;
  std::wstring log_path;
  // Taken by the first start(), which the tests call through a const copy.
  mutable HMODULE module = nullptr;
};

// What the application sets up before it navigates: an environment, a parent window, a
// controller in it and the controller's web view. Declare it after the handlers a test
// registers: releasing the web view releases them.
class standin_page {
 public:
  explicit standin_page(const standin_copy& standin);
  ~standin_page();
  standin_page(const standin_page&) = delete;
  standin_page& operator=(const standin_page&) = delete;

  bool ready() const { return static_cast<bool>(webview); }
  // Navigates, then dispatches messages until the scenario's quit action; false when none came.
  bool navigate_until_quit();
  // Releases web view, controller and environment, then checks that the browser window went
  // with its controller and that the completion handlers got back every reference.
  void close();

  HWND parent = nullptr;
  com_ptr<ICoreWebView2Environment> environment;
  com_ptr<ICoreWebView2Controller> controller;
  com_ptr<ICoreWebView2> webview;

 private:
  void release();

  environment_handler on_environment;
  controller_handler on_controller;
};

}  // namespace standin_test
