#pragma once
// Counted references with the framework's nil rule: using a member of a nil
// reference throws NilObjectException instead of crashing.

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

#include "framework/Exceptions.h"

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  Ref(std::shared_ptr<T> p) : p_(std::move(p)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(const Ref<U>& other) : p_(other.Shared()) {}

  T* operator->() const {
    if (!p_) throw NilObjectException();
    return p_.get();
  }
  T& operator*() const {
    if (!p_) throw NilObjectException();
    return *p_;
  }

  bool IsNil() const noexcept { return !p_; }
  explicit operator bool() const noexcept { return static_cast<bool>(p_); }
  T* Get() const noexcept { return p_.get(); }
  const std::shared_ptr<T>& Shared() const noexcept { return p_; }

  // Identity, as the framework's `Is` operator.
  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.p_ == b.p_; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return !a.p_; }

 private:
  std::shared_ptr<T> p_;
};

template <class T, class... Args>
Ref<T> MakeRef(Args&&... args) {
  return Ref<T>(std::make_shared<T>(std::forward<Args>(args)...));
}

// Type-checked downcast; nil when the object is not a T.
template <class T, class U>
Ref<T> RefCast(const Ref<U>& r) {
  return Ref<T>(std::dynamic_pointer_cast<T>(r.Shared()));
}
