// Arbitrary bytes through the property-set parser, for every class a set can
// be for: the parser either throws PropertySetException or returns a set that
// encodes back to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "framework/Exceptions.h"
#include "framework/PropertySet.h"

namespace {
constexpr const char* kClasses[] = {"Window", "GroupBox", "BevelButton", "Canvas", "Timer",
                                    "Slider", "PushButton", "Label", "CheckBox"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const char* cls : kClasses) {
    PropertySet set;
    try {
      set = ParsePropertySet(bytes, cls);
    } catch (const PropertySetException&) {
      continue;
    }
    if (EncodePropertySet(set, cls) != bytes) std::abort();
  }
  return 0;
}
