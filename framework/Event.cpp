#include "framework/Event.h"

#include <exception>

#include "framework/Application.h"
#include "framework/Runtime.h"

namespace {
ExceptionHelper installedHelper = &CallFunctionWithExceptionHandling;
}

std::exception_ptr CallFunctionWithExceptionHandling(const std::function<void()>& code) {
  try {
    code();
  } catch (const std::exception&) {
    return std::current_exception();
  }
  return nullptr;
}

void RuntimeSetExceptionHelper(ExceptionHelper helper) {
  fw::Trace("RuntimeSetExceptionHelper");
  installedHelper = helper ? helper : &CallFunctionWithExceptionHandling;
}

bool event_detail::Dispatch(const std::function<void()>& f) {
  const std::exception_ptr e = installedHelper(f);
  if (e) fw::Guard([&] { std::rethrow_exception(e); });  // logs it
  return !e;
}
