// The HRESULTs that Quendari gives a meaning to when starting the WebView2 runtime.
#pragma once

#include <windows.h>

namespace webview::detail {

// HRESULT_FROM_WIN32(ERROR_INVALID_STATE), 0x8007139F: the runtime asks the caller not to retry.
constexpr HRESULT runtime_asks_no_retry = static_cast<HRESULT>(0x8007139F);

// -1 (0xFFFFFFFF): the built-in environment creation found no runtime it could start, so nothing
// was started and no completion follows.
constexpr HRESULT environment_not_started = static_cast<HRESULT>(0xFFFFFFFF);

// HRESULT_FROM_WIN32(ERROR_TIMEOUT), 0x800705B4: the browser did not come up within the engine's
// wait; it is what the failure box names then.
constexpr HRESULT browser_start_timed_out = static_cast<HRESULT>(0x800705B4);

// E_ABORT in the controller completion: the creation was cancelled (its parent window went away),
// so there is nothing to retry.
constexpr HRESULT controller_creation_aborted = E_ABORT;

}  // namespace webview::detail
