// Property sets: encoding, parsing and the kind of each value.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "framework/Exceptions.h"
#include "framework/PropertySet.h"

namespace {

using namespace std::string_literals;

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

struct Fixture {
  const char* what;
  const char* className;
  Property property;
  std::string bytes;
};

// Known bytes for each value kind: little-endian integers and lengths, a
// colour with blue in bits 0-7, green 8-15, red 16-23 and alpha 24-31.
const Fixture kFixtures[] = {
    {"integer", "Canvas", {"Left", std::int64_t{0x0102030405060708}},
     "Left " + Bytes({0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01})},
    {"negative integer", "Canvas", {"Top", std::int64_t{-2}},
     "Top " + Bytes({0xfe, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff})},
    {"Boolean true", "Canvas", {"Visible", true}, "Visible " + Bytes({1})},
    {"Boolean false", "Canvas", {"Enabled", false}, "Enabled " + Bytes({0})},
    {"text", "Label", {"Text", std::string("100%")}, "Text " + Bytes({4, 0, 0, 0}) + "100%"},
    {"empty text", "Label", {"Text", std::string()}, "Text " + Bytes({0, 0, 0, 0})},
    {"text size", "Label", {"TextSize", TextSize{12.0f}}, "TextSize " + Bytes({0x00, 0x00, 0x40, 0x41})},
    {"colour", "Label", {"TextColor", Color{0x11, 0x22, 0x33, 0x44}}, "TextColor " + Bytes({0x33, 0x22, 0x11, 0x44})},
    {"opaque white", "Window", {"BackColor", RGB(255, 255, 255)}, "BackColor " + Bytes({0xff, 0xff, 0xff, 0x00})},
    {"slider value", "Slider", {"Value", std::int64_t{20}}, "Value " + Bytes({20, 0, 0, 0, 0, 0, 0, 0})},
    {"check box value", "CheckBox", {"Value", true}, "Value " + Bytes({1})},
};

TEST(PropertySet, EachKindHasItsKnownBytes) {
  for (const Fixture& f : kFixtures) {
    SCOPED_TRACE(f.what);
    EXPECT_EQ(EncodePropertySet({f.property}, f.className), f.bytes);
    EXPECT_EQ(ParsePropertySet(f.bytes, f.className), PropertySet{f.property});
  }
}

TEST(PropertySet, EveryValueSurvivesEncodeAndParse) {
  const PropertySet canvas = {
      {"Name", std::string("MainCanvas")},
      {"Left", std::numeric_limits<std::int64_t>::min()},
      {"Width", std::numeric_limits<std::int64_t>::max()},
      {"Visible", true},
      {"LockRight", false},
      {"Caption", "Caf\xc3\xa9 with a blank and a \0 byte"s},
      {"TextSize", TextSize{-0.5f}},
      {"BackColor", Color{1, 2, 3, 255}},
      {"Left", std::int64_t{7}},  // a repeated name is kept
  };
  EXPECT_EQ(ParsePropertySet(EncodePropertySet(canvas, "Canvas"), "Canvas"), canvas);

  const PropertySet window = {
      {"Title", std::string("Pixelmoth")}, {"Width", std::int64_t{910}}, {"Resizeable", true},
      {"BackColor", RGB(10, 20, 30)},
  };
  EXPECT_EQ(ParsePropertySet(EncodePropertySet(window, kWindowClass), kWindowClass), window);
  EXPECT_TRUE(ParsePropertySet("", "Canvas").empty());
}

TEST(PropertySet, ValueIsAnIntegerOnASliderAndABooleanOnACheckBox) {
  EXPECT_EQ(KindOfProperty("Slider", "Value"), PropertyKind::Integer);
  EXPECT_EQ(KindOfProperty("CheckBox", "Value"), PropertyKind::Boolean);
  EXPECT_THROW(EncodePropertySet({{"Value", true}}, "Slider"), PropertySetException);
  EXPECT_THROW(EncodePropertySet({{"Value", std::int64_t{1}}}, "CheckBox"), PropertySetException);
  // the slider's eight bytes do not parse as a check box's one
  EXPECT_THROW(ParsePropertySet("Value " + Bytes({20, 0, 0, 0, 0, 0, 0, 0}), "CheckBox"), PropertySetException);
}

TEST(PropertySet, FindPropertyGivesTheLastValueOfAName) {
  const PropertySet set = {{"Left", std::int64_t{1}}, {"Top", std::int64_t{2}}, {"Left", std::int64_t{3}}};
  ASSERT_NE(FindProperty(set, "Left"), nullptr);
  EXPECT_EQ(*FindProperty(set, "Left"), PropertyValue{std::int64_t{3}});
  EXPECT_EQ(FindProperty(set, "Width"), nullptr);
}

TEST(PropertySet, MalformedBytesThrowWithoutReadingPastTheEnd) {
  const struct {
    const char* what;
    const char* className;
    std::string bytes;
  } cases[] = {
      {"truncated integer", "Canvas", "Left " + Bytes({1, 2, 3})},
      {"name only", "Canvas", "Left"},
      {"name and blank only", "Canvas", "Left "},
      {"missing blank", "Canvas", "Visible" + Bytes({1})},
      {"unknown name", "Canvas", "Bogus " + Bytes({1})},
      {"name unknown to windows", kWindowClass, "Caption " + Bytes({0, 0, 0, 0})},
      {"empty name", "Canvas", " " + Bytes({1})},
      {"Boolean byte 2", "Canvas", "Visible " + Bytes({2})},
      {"text length past the end", "Label", "Text " + Bytes({100, 0, 0, 0}) + "abc"},
      {"huge text length", "Label", "Text " + Bytes({0xff, 0xff, 0xff, 0xff}) + "abc"},
      {"truncated length", "Label", "Text " + Bytes({1, 0})},
      {"truncated colour", "Label", "TextColor " + Bytes({1, 2, 3})},
      {"truncated text size", "Label", "TextSize " + Bytes({0})},
      {"good entry then garbage", "Canvas", "Visible " + Bytes({1}) + "Top"},
  };
  for (const auto& c : cases) {
    // A copy of exactly the bytes, so that AddressSanitizer sees any read past them.
    const std::string exact(c.bytes);
    EXPECT_THROW(ParsePropertySet(exact, c.className), PropertySetException) << c.what;
  }
}

TEST(PropertySet, EncodingRefusesWhatCannotBeRead) {
  EXPECT_THROW(EncodePropertySet({{"Bogus", true}}, "Canvas"), PropertySetException);
  EXPECT_THROW(EncodePropertySet({{"Visible", std::string("yes")}}, "Canvas"), PropertySetException);
  EXPECT_THROW(EncodePropertySet({{"Two words", true}}, "Canvas"), PropertySetException);
  EXPECT_THROW(EncodePropertySet({{"", true}}, "Canvas"), PropertySetException);
}

}  // namespace
