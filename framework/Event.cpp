#include "framework/Event.h"

#include <exception>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Runtime.h"
#include "framework/System.h"

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
  if (!e) return true;
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    System::DebugLog("Unhandled exception in an event handler: " + DescribeException(x));
  }
  return false;
}
