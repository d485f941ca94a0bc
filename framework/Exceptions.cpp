#include "framework/Exceptions.h"

std::string DescribeException(const std::exception& e) {
  std::string name = "exception";
  if (const auto* r = dynamic_cast<const RuntimeException*>(&e)) name = r->Name();
  const std::string what = e.what();
  return what.empty() || what == name ? name : name + ": " + what;
}
