// An owning COM interface pointer: holds one reference, released in the destructor. Copies take
// a reference of their own. Not thread-safe beyond what the object's own AddRef/Release give.
#pragma once

#include <utility>

namespace webview::detail::standin {

template <typename T>
class com_ref {
 public:
  com_ref() noexcept = default;
  com_ref(const com_ref& other) noexcept : object(other.object) {
    if (object) object->AddRef();
  }
  com_ref(com_ref&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
  com_ref& operator=(com_ref other) noexcept {
    std::swap(object, other.object);
    return *this;
  }
  ~com_ref() noexcept {
    if (object) object->Release();
  }

  // Takes over a reference that the caller already owns (a freshly created object).
  static com_ref adopt(T* pointer) noexcept {
    com_ref ref;
    ref.object = pointer;
    return ref;
  }
  // Adds a reference of its own to `pointer` (null allowed).
  static com_ref share(T* pointer) noexcept {
    if (pointer) pointer->AddRef();
    return adopt(pointer);
  }

  T* get() const noexcept { return object; }
  T* operator->() const noexcept { return object; }
  explicit operator bool() const noexcept { return object != nullptr; }
  // Hands the reference to the caller, e.g. through a COM out-parameter.
  T* detach() noexcept { return std::exchange(object, nullptr); }

 private:
  T* object = nullptr;
};

}  // namespace webview::detail::standin
