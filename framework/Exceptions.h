#pragma once
// The framework's exceptions. The system catches none of them; the framework
// catches them at event dispatch and at the unhandled-exception report.

#include <stdexcept>
#include <string>

class RuntimeException : public std::runtime_error {
 public:
  explicit RuntimeException(const std::string& message = "") : std::runtime_error(message) {}
  // The class name, as the developer log and the report name it.
  virtual const char* Name() const noexcept { return "RuntimeException"; }
};

#define PIXELMOTH_DECLARE_EXCEPTION(Class)                                   \
  class Class : public RuntimeException {                                    \
   public:                                                                   \
    explicit Class(const std::string& message = "") : RuntimeException(message) {} \
    const char* Name() const noexcept override { return #Class; }           \
  };

PIXELMOTH_DECLARE_EXCEPTION(NilObjectException)
PIXELMOTH_DECLARE_EXCEPTION(OutOfBoundsException)
PIXELMOTH_DECLARE_EXCEPTION(UnsupportedOperationException)
PIXELMOTH_DECLARE_EXCEPTION(IllegalCastException)
// A property set whose bytes do not follow the encoding.
PIXELMOTH_DECLARE_EXCEPTION(PropertySetException)

#undef PIXELMOTH_DECLARE_EXCEPTION

// One line naming an exception, for the developer log.
std::string DescribeException(const std::exception& e);
