// The client DLL's exports, under the names the application looks up (see the .def file).
#include <windows.h>

#include <mutex>

#include "testing/standin/environment.h"
#include "testing/standin/runtime_state.h"
#include "util/exception_barrier.h"

namespace {

// The application releases the client DLL as soon as the creation call returns, while the
// stand-in still has windows, timers and objects alive; pinning keeps the code mapped.
void pin_this_module() {
  static std::once_flag pinned;
  std::call_once(pinned, [] {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&pin_this_module), &module);
  });
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE CreateWebViewEnvironmentWithOptionsInternal(
    bool flag, INT32 source, PCWSTR user_data_folder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  return webview::detail::call_without_throwing(E_UNEXPECTED, [&] {
    pin_this_module();
    return standin::start_environment_creation(flag, source, user_data_folder, options, handler);
  });
}

// The stand-in never unloads: it is pinned by its first creation call.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return webview::detail::call_without_throwing(E_UNEXPECTED, [] {
    return standin::log_call("EmbeddedBrowserWebView.dll", "DllCanUnloadNow", {}, S_FALSE);
  });
}
