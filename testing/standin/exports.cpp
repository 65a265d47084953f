// The client DLL's exports, under the names the application looks up (see the .def file), and
// its entry point. The DLL does not keep itself loaded: the real one does not promise to, so a
// host that frees it while its objects are alive crashes here as it would there.
#include <windows.h>

#include "testing/standin/environment.h"
#include "testing/standin/module_use.h"
#include "testing/standin/runtime_state.h"
#include "util/exception_barrier.h"

extern "C" HRESULT STDAPICALLTYPE CreateWebViewEnvironmentWithOptionsInternal(
    bool flag, INT32 source, PCWSTR user_data_folder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  return webview::detail::call_without_throwing(E_UNEXPECTED, [&] {
    return standin::start_environment_creation(flag, source, user_data_folder, options, handler);
  });
}

// In use while any object, pending completion or timer, window or window subclass of the
// stand-in exists: the DLL's code may still run for any of them.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return webview::detail::call_without_throwing(E_UNEXPECTED, [] {
    const long in_use = standin::module_use::current();
    return standin::log_call("EmbeddedBrowserWebView.dll", "DllCanUnloadNow",
                             standin::log_fields().integer("inUse", in_use),
                             in_use == 0 ? S_OK : S_FALSE);
  });
}

// Unloaded by FreeLibrary (not at process exit): noted, with what was still in use, so that a
// crash that follows can be told apart. Only a WriteFile on the open log: the loader lock is held.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    if (standin::runtime_state* state = standin::runtime_state::existing()) {
      state->log().write_note_in_loader_lock("stand-in unloaded", "inUse",
                                             standin::module_use::current());
    }
  }
  return TRUE;
}
