// Strings handed out through LPWSTR out-parameters: task-memory allocations that the receiver
// frees with CoTaskMemFree.
#pragma once

#include <objbase.h>

#include <cwchar>
#include <string_view>

namespace standin {

// Stores a NUL-terminated copy of `text` in *out; E_POINTER for a null `out`, E_OUTOFMEMORY
// (and null in *out) when the allocation fails.
inline HRESULT hand_out_string(std::wstring_view text, LPWSTR* out) noexcept {
  if (!out) return E_POINTER;
  *out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
  if (!*out) return E_OUTOFMEMORY;
  std::wmemcpy(*out, text.data(), text.size());
  (*out)[text.size()] = L'\0';
  return S_OK;
}

}  // namespace standin
