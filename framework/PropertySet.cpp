#include "framework/PropertySet.h"

#include <cstring>
#include <map>

#include "framework/Exceptions.h"

namespace {
using K = PropertyKind;

// Properties every class may carry.
const std::map<std::string_view, PropertyKind>& CommonKinds() {
  static const std::map<std::string_view, PropertyKind> kinds = {
      // geometry and anchoring
      {"Left", K::Integer}, {"Top", K::Integer}, {"Width", K::Integer}, {"Height", K::Integer},
      {"LockLeft", K::Boolean}, {"LockTop", K::Boolean}, {"LockRight", K::Boolean},
      {"LockBottom", K::Boolean},
      // identity and state
      {"Name", K::Text}, {"Index", K::Integer}, {"InitialParent", K::Text},
      {"Visible", K::Boolean}, {"Enabled", K::Boolean}, {"AutoDeactivate", K::Boolean},
      {"TabStop", K::Boolean}, {"TabIndex", K::Integer}, {"TabPanelIndex", K::Integer},
      {"HelpTag", K::Text}, {"Transparent", K::Boolean},
      // text
      {"Caption", K::Text}, {"Text", K::Text}, {"TextFont", K::Text}, {"TextSize", K::TextSize},
      {"TextUnit", K::Integer}, {"TextColor", K::Color}, {"TextAlign", K::Integer},
      {"Bold", K::Boolean}, {"Italic", K::Boolean}, {"Underline", K::Boolean},
      {"Selectable", K::Boolean}, {"Multiline", K::Boolean},
      {"DataField", K::Text}, {"DataSource", K::Text},
      {"HasBackColor", K::Boolean}, {"BackColor", K::Color},
      // canvas
      {"EraseBackground", K::Boolean}, {"DoubleBuffer", K::Boolean}, {"AcceptFocus", K::Boolean},
      {"AcceptTabs", K::Boolean}, {"UseFocusRing", K::Boolean},
      // timer
      {"Period", K::Integer}, {"Mode", K::Integer},
      // slider
      {"Minimum", K::Integer}, {"Maximum", K::Integer}, {"LineStep", K::Integer},
      {"PageStep", K::Integer}, {"LiveScroll", K::Boolean}, {"TickStyle", K::Integer},
      // buttons and check box
      {"Default", K::Boolean}, {"Cancel", K::Boolean}, {"ButtonStyle", K::Integer},
      {"State", K::Integer}, {"ButtonType", K::Integer}, {"Bevel", K::Integer},
      {"MenuValue", K::Integer}, {"HasMenu", K::Integer}, {"IconAlign", K::Integer},
      {"IconDX", K::Integer}, {"IconDY", K::Integer}, {"CaptionAlign", K::Integer},
      {"CaptionPlacement", K::Integer}, {"CaptionDelta", K::Integer},
  };
  return kinds;
}

// Window properties.
const std::map<std::string_view, PropertyKind>& WindowKinds() {
  static const std::map<std::string_view, PropertyKind> kinds = {
      {"Width", K::Integer}, {"Height", K::Integer}, {"MinWidth", K::Integer},
      {"MinHeight", K::Integer}, {"MaxWidth", K::Integer}, {"MaxHeight", K::Integer},
      {"Frame", K::Integer}, {"Title", K::Text}, {"CloseButton", K::Boolean},
      {"Resizeable", K::Boolean}, {"MaximizeButton", K::Boolean}, {"MinimizeButton", K::Boolean},
      {"FullScreenButton", K::Boolean}, {"Composite", K::Boolean}, {"MacProcID", K::Integer},
      {"FullScreen", K::Boolean}, {"LiveResize", K::Boolean}, {"Placement", K::Integer},
      {"Visible", K::Boolean}, {"HasBackColor", K::Boolean}, {"BackColor", K::Color},
      {"MenuBarVisible", K::Boolean},
  };
  return kinds;
}

void Fail(const std::string& why) { throw PropertySetException(why); }

void PutLE(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

std::uint64_t GetLE(std::string_view in, std::size_t at, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint64_t{static_cast<unsigned char>(in[at + i])} << (8 * i);
  return v;
}

PropertyKind KindOfValue(const PropertyValue& v) {
  switch (v.index()) {
    case 0: return K::Integer;
    case 1: return K::Boolean;
    case 2: return K::Text;
    case 3: return K::TextSize;
    default: return K::Color;
  }
}

bool ValidName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}
}  // namespace

std::optional<PropertyKind> KindOfProperty(std::string_view className, std::string_view name) {
  if (className == kWindowClass) {
    const auto& w = WindowKinds();
    if (auto it = w.find(name); it != w.end()) return it->second;
    return std::nullopt;
  }
  // "Value" is the slider's position and the on/off state of the others.
  if (name == "Value") return className == "Slider" ? K::Integer : K::Boolean;
  const auto& c = CommonKinds();
  if (auto it = c.find(name); it != c.end()) return it->second;
  return std::nullopt;
}

std::string EncodePropertySet(const PropertySet& set, std::string_view className) {
  std::string out;
  for (const Property& p : set) {
    if (!ValidName(p.name)) Fail("bad property name '" + p.name + "'");
    const auto kind = KindOfProperty(className, p.name);
    if (!kind) Fail("unknown property '" + p.name + "' for " + std::string(className));
    if (*kind != KindOfValue(p.value)) Fail("property '" + p.name + "' has a value of the wrong kind");
    out += p.name;
    out.push_back(' ');
    switch (*kind) {
      case K::Integer:
        PutLE(out, static_cast<std::uint64_t>(std::get<std::int64_t>(p.value)), 8);
        break;
      case K::Boolean:
        out.push_back(std::get<bool>(p.value) ? 1 : 0);
        break;
      case K::Text: {
        const std::string& t = std::get<std::string>(p.value);
        if (t.size() > 0xffffffffu) Fail("text too long");
        PutLE(out, t.size(), 4);
        out += t;
        break;
      }
      case K::TextSize: {
        std::uint32_t bits;
        const float f = std::get<TextSize>(p.value).points;
        std::memcpy(&bits, &f, 4);
        PutLE(out, bits, 4);
        break;
      }
      case K::Color: {
        const Color c = std::get<Color>(p.value);
        const std::uint32_t v = std::uint32_t{c.blue} | (std::uint32_t{c.green} << 8) |
                                (std::uint32_t{c.red} << 16) | (std::uint32_t{c.alpha} << 24);
        PutLE(out, v, 4);
        break;
      }
    }
  }
  return out;
}

PropertySet ParsePropertySet(std::string_view bytes, std::string_view className) {
  PropertySet set;
  std::size_t at = 0;
  auto need = [&](std::size_t n) {
    if (bytes.size() - at < n) Fail("property set ends inside a value");
  };
  while (at < bytes.size()) {
    const std::size_t blank = bytes.find(' ', at);
    if (blank == std::string_view::npos) Fail("property name without a value");
    const std::string_view name = bytes.substr(at, blank - at);
    if (!ValidName(name)) Fail("bad property name");
    const auto kind = KindOfProperty(className, name);
    if (!kind) Fail("unknown property '" + std::string(name) + "' for " + std::string(className));
    at = blank + 1;
    Property p{std::string(name), std::int64_t{0}};
    switch (*kind) {
      case K::Integer:
        need(8);
        p.value = static_cast<std::int64_t>(GetLE(bytes, at, 8));
        at += 8;
        break;
      case K::Boolean: {
        need(1);
        const unsigned char b = static_cast<unsigned char>(bytes[at]);
        if (b > 1) Fail("Boolean byte other than 0 or 1");
        p.value = b == 1;
        at += 1;
        break;
      }
      case K::Text: {
        need(4);
        const std::uint64_t length = GetLE(bytes, at, 4);
        at += 4;
        need(length);
        p.value = std::string(bytes.substr(at, length));
        at += length;
        break;
      }
      case K::TextSize: {
        need(4);
        const std::uint32_t bits = static_cast<std::uint32_t>(GetLE(bytes, at, 4));
        float f;
        std::memcpy(&f, &bits, 4);
        p.value = TextSize{f};
        at += 4;
        break;
      }
      case K::Color: {
        need(4);
        const std::uint32_t v = static_cast<std::uint32_t>(GetLE(bytes, at, 4));
        p.value = Color{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                        static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 24)};
        at += 4;
        break;
      }
    }
    set.push_back(std::move(p));
  }
  return set;
}

const PropertyValue* FindProperty(const PropertySet& set, std::string_view name) {
  const PropertyValue* found = nullptr;
  for (const Property& p : set) {
    if (p.name == name) found = &p.value;  // the last value wins
  }
  return found;
}
