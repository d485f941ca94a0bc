#pragma once
// Control events. A hooked handler is the window's method with the control as
// its first argument. Raise is the framework's event dispatch: an exception
// escaping a handler is written to the developer log as one line and the
// event returns as if unhandled.

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace event_detail {
// Calls f through the installed exception helper; false when it threw.
bool Dispatch(const std::function<void()>& f);
}  // namespace event_detail

template <class Signature>
class Event;

template <class R, class... Args>
class Event<R(Args...)> {
 public:
  using Handler = std::function<R(Args...)>;

  void AddHandler(Handler h) { handlers_.push_back(std::move(h)); }
  bool IsHooked() const noexcept { return !handlers_.empty(); }

  R Raise(Args... args) const {
    if constexpr (std::is_void_v<R>) {
      for (const Handler& h : handlers_) event_detail::Dispatch([&] { h(args...); });
    } else {
      R result{};
      for (const Handler& h : handlers_) event_detail::Dispatch([&] { result = h(args...); });
      return result;
    }
  }

 private:
  std::vector<Handler> handlers_;
};

// A delegate for a window's handler method, with the window as its object.
template <class W, class R, class... Args>
std::function<R(Args...)> Delegate(W* object, R (W::*method)(Args...)) {
  return [object, method](Args... args) -> R { return (object->*method)(args...); };
}
