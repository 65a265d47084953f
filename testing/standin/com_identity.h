// QueryInterface for the stand-in's objects that have one interface (and its newer version)
// besides IUnknown.
#pragma once

#include <windows.h>

#include "testing/standin/runtime_state.h"
#include "util/exception_barrier.h"

namespace standin {

// Answers IUnknown, `own` and, when given, `newer` (an interface derived from `own` that `self`
// implements); logs the query under `interface_name`.
template <typename Interface>
HRESULT answer_query(Interface* self, const char* interface_name, const IID& own, REFIID riid,
                     void** object, const IID* newer = nullptr) noexcept {
  return webview::detail::call_without_throwing(E_UNEXPECTED, [&] {
    HRESULT result = E_POINTER;
    if (object) {
      const bool answers = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, own) ||
                           (newer && IsEqualIID(riid, *newer));
      *object = answers ? self : nullptr;
      if (answers) self->AddRef();
      result = answers ? S_OK : E_NOINTERFACE;
    }
    return log_call(interface_name, "QueryInterface", log_fields().guid("riid", riid), result);
  });
}

}  // namespace standin
