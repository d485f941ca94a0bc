#pragma once
// Property sets: the (name, value) pairs a window or control receives at
// creation. Serialized as one byte string of entries, each the property's
// name, one blank and the value: an integer as 8 bytes little-endian, a
// Boolean as 1 byte, a text as a 4-byte little-endian length and that many
// UTF-8 bytes, a text size as a 4-byte float, a colour as a 4-byte
// little-endian value with blue in bits 0-7, green 8-15, red 16-23 and alpha
// 24-31 (0 = opaque). The kind of each value follows from the property's name
// and the class receiving it ("Value" is an integer on a Slider and a Boolean
// on a CheckBox).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "framework/Color.h"

struct TextSize {
  float points = 0;
  friend bool operator==(const TextSize& a, const TextSize& b) noexcept { return a.points == b.points; }
};

using PropertyValue = std::variant<std::int64_t, bool, std::string, TextSize, Color>;

struct Property {
  std::string name;
  PropertyValue value;
  friend bool operator==(const Property& a, const Property& b) { return a.name == b.name && a.value == b.value; }
};

using PropertySet = std::vector<Property>;

enum class PropertyKind { Integer, Boolean, Text, TextSize, Color };

// The class names a property set can be for.
inline constexpr const char* kWindowClass = "Window";

// The kind of a property of a class ("Window", "Canvas", "Slider", ...);
// nullopt for a name the class does not know.
std::optional<PropertyKind> KindOfProperty(std::string_view className, std::string_view name);

// Throws PropertySetException when a name is unknown to the class or its
// value does not have the name's kind.
std::string EncodePropertySet(const PropertySet& set, std::string_view className);
// Throws PropertySetException on bytes that do not follow the encoding; never
// reads past the end of the input.
PropertySet ParsePropertySet(std::string_view bytes, std::string_view className);

// The value of a property in a set, or nullopt.
const PropertyValue* FindProperty(const PropertySet& set, std::string_view name);
