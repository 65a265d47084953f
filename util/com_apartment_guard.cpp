#include "util/com_apartment_guard.h"

#include <objbase.h>

#include <utility>

#include "engine/errors.h"

namespace webview::detail {

com_apartment_guard::com_apartment_guard(DWORD flags) {
  const HRESULT hr = CoInitializeEx(nullptr, flags);
  // S_FALSE: the thread already had an apartment of this model, and this call still owes one
  // CoUninitialize.
  if (hr == S_OK || hr == S_FALSE) {
    initialized_ = true;
    return;
  }
  if (hr == RPC_E_CHANGED_MODE) {
    throw exception(error_invalid_state,
                    "CoInitializeEx already called with a different concurrency model");
  }
  throw exception(error_unspecified, "Unexpected result from CoInitializeEx");
}

com_apartment_guard::~com_apartment_guard() {
  if (initialized_) CoUninitialize();
}

com_apartment_guard::com_apartment_guard(com_apartment_guard&& other) noexcept
    : initialized_(std::exchange(other.initialized_, false)) {}

com_apartment_guard& com_apartment_guard::operator=(com_apartment_guard&& other) noexcept {
  if (this != &other) {
    if (initialized_) CoUninitialize();
    initialized_ = std::exchange(other.initialized_, false);
  }
  return *this;
}

}  // namespace webview::detail
