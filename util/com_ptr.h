// Owner of one COM reference, released in the destructor. Move-only: a second reference is
// taken explicitly with share().
#pragma once

#include <utility>

namespace webview::detail {

template <typename Interface>
class com_ptr {
 public:
  com_ptr() noexcept = default;
  ~com_ptr() { reset(); }
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  com_ptr(com_ptr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }

  // Takes over a reference the caller already owns (a freshly created object).
  static com_ptr adopt(Interface* pointer) noexcept {
    com_ptr owner;
    owner.pointer_ = pointer;
    return owner;
  }
  // Takes a reference of its own to `pointer` (null allowed).
  static com_ptr share(Interface* pointer) noexcept {
    if (pointer) pointer->AddRef();
    return adopt(pointer);
  }

  Interface* get() const noexcept { return pointer_; }
  Interface* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot to fill.
  Interface** put() noexcept {
    reset();
    return &pointer_;
  }
  // Hands the reference to the caller, e.g. through a COM out-parameter.
  Interface* detach() noexcept { return std::exchange(pointer_, nullptr); }
  void reset() noexcept {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace webview::detail
