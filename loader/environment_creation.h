// The availability decision and the start of one WebView2 environment creation, through the
// vendor's loader DLL when it exports the function, otherwise through the runtime's client DLL.
#pragma once

#include <optional>
#include <string>

#include "loader/runtime_discovery.h"
#include "util/loaded_library.h"
#include "webview2/webview2_abi.h"

namespace webview::detail {

// The version of the runtime found, only when the version query returns a non-failure HRESULT
// and a non-null version. Needs no COM apartment. Without the loader DLL, `found` (when given)
// receives the runtime found, which create_environment can then start without a second search.
std::optional<std::wstring> find_available_runtime(const loaded_library& loader_module,
                                                   std::optional<runtime_install>* found = nullptr);

// Starts one creation for `user_data_folder`, completing through `handler`, and logs which
// runtime folder it starts; `found`, from find_available_runtime, is started without searching
// again. Negative other than
// 0x8007139F: nothing started; 0x8007139F: nothing to retry; non-negative: a completion follows.
HRESULT create_environment(const loaded_library& loader_module, const wchar_t* user_data_folder,
                           ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler,
                           const runtime_install* found = nullptr);

// Same contract as the loader export CreateCoreWebView2EnvironmentWithOptions. Loads the found
// runtime's client DLL by full path and, once its creation export has been called, keeps it
// loaded for the rest of the process; when the DLL lacks the creation export it is kept loaded
// only if its DllCanUnloadNow says it is in use.
HRESULT builtin_create_environment_with_options(
    const wchar_t* browser_folder, const wchar_t* user_data_folder,
    ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);
// The same for a runtime found already.
HRESULT builtin_create_environment_from(
    const runtime_install& install, const wchar_t* user_data_folder,
    ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

}  // namespace webview::detail
