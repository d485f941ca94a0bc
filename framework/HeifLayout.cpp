// The structure of a HEIF file (HEIC, AVIF), read before libheif sees it:
// its boxes and item extents lie inside the file, and every picture the
// primary image is decoded from is coded no larger than its container says,
// so that neither libheif nor a video decoder allocates by a claim the file
// cannot back. libheif itself reads the sizes but never compares them with
// what the coded stream asks its decoder for.

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "framework/ByteView.h"
#include "framework/CodedSizes.h"
#include "framework/ImageCodecParts.h"

namespace image_codec {
namespace {

constexpr std::uint32_t Type(const char (&s)[5]) {
  return (std::uint32_t{static_cast<unsigned char>(s[0])} << 24) |
         (std::uint32_t{static_cast<unsigned char>(s[1])} << 16) |
         (std::uint32_t{static_cast<unsigned char>(s[2])} << 8) | static_cast<unsigned char>(s[3]);
}

struct Box {
  std::uint32_t type;
  std::uint64_t payload;  // after the header
  std::uint64_t end;
};

// Visits the boxes in [from, to): false when one claims more bytes than
// remain, or when `visit` says false. Fewer bytes left than a box header
// ends the walk.
template <class Visit>
bool ForEachBox(const ByteView& b, std::uint64_t from, std::uint64_t to, Visit&& visit) {
  if (from > to) return false;
  for (std::uint64_t at = from; to - at >= 8;) {
    std::uint64_t size = b.BE32(at), header = 8;
    const std::uint32_t type = b.BE32(at + 4);
    if (size == 1) {
      if (to - at < 16) return false;
      size = b.BE64(at + 8);
      header = 16;
    } else if (size == 0) {
      size = to - at;  // up to the end of its container
    }
    if (type == Type("uuid")) header += 16;
    if (size < header || size > to - at) return false;
    if (!visit(Box{type, at + header, at + size})) return false;
    at += size;
  }
  return true;
}

// A full box starts with its version and three bytes of flags.
unsigned FullBoxVersion(Cursor& c) {
  const auto version = static_cast<unsigned>(c.Read(1));
  c.Skip(3);
  return version;
}

struct Extent {
  std::uint64_t offset, length;
};

struct Item {
  std::uint32_t type = 0;
  bool located = false;
  unsigned method = 0;  // 0: in the file, 1: in the idat box
  std::vector<Extent> extents;
  std::vector<unsigned> properties;  // indices into the property boxes, 1-based, in order
};

class Heif {
 public:
  explicit Heif(const ByteView& b) : b_(b) {}

  bool Walk() {
    bool first = true, sawMeta = false;
    return ForEachBox(b_, 0, b_.Size(), [&](const Box& box) {
      if (first && box.type != Type("ftyp")) return false;
      first = false;
      if (box.type != Type("meta") || sawMeta) return true;
      sawMeta = true;
      return Meta(box);
    }) && sawMeta && ExtentsInside();
  }

  bool HasPrimary() const { return hasPrimary_; }

  // Every picture the primary is decoded from has a declared size, is of a
  // kind libheif decodes, and is coded no larger than it declares; all of
  // them together are no more than `budget` pixels.
  bool Decodable(std::uint64_t budget) {
    budget_ = budget;
    std::vector<std::uint32_t> path;
    return Needs(primary_, path);
  }

  HeifLayout::Transform PrimaryTransform() const {
    HeifLayout::Transform t;
    const auto it = items_.find(primary_);
    if (it == items_.end()) return t;
    // As libheif applies them: in the order they are associated.
    for (unsigned index : it->second.properties) {
      const Box& p = properties_[index - 1];
      if (p.type == Type("clap")) t.cropped = true;
      if (p.end - p.payload < 1) continue;
      const unsigned v = b_.U8(static_cast<std::size_t>(p.payload));
      if (p.type == Type("irot")) t.orientation = Then(t.orientation, (4 - (v & 3)) % 4, false, false);
      if (p.type == Type("imir")) {
        t.mirrored = true;
        t.orientation = Then(t.orientation, 0, (v & 1) == 1, (v & 1) == 0);
      }
    }
    return t;
  }

 private:
  // --- The boxes of the meta box --------------------------------------------

  bool Meta(const Box& meta) {
    return ForEachBox(b_, meta.payload + 4, meta.end, [&](const Box& box) {
      switch (box.type) {
        case Type("pitm"): return Pitm(box);
        case Type("iloc"): return Iloc(box);
        case Type("iinf"): return Iinf(box);
        case Type("iref"): return Iref(box);
        case Type("iprp"): return Iprp(box);
        case Type("idat"):
          idat_ = box;
          hasIdat_ = true;
          return true;
        case Type("dinf"):
          return ForEachBox(b_, box.payload, box.end, [&](const Box& dref) {
            return dref.type != Type("dref") || ForEachBox(b_, dref.payload + 8, dref.end, [](const Box&) { return true; });
          });
        default: return true;
      }
    });
  }

  bool Pitm(const Box& box) {
    Cursor c(b_, box.payload, box.end);
    const unsigned version = FullBoxVersion(c);
    primary_ = static_cast<std::uint32_t>(c.Read(version == 0 ? 2 : 4));
    hasPrimary_ = c.Ok();
    return c.Ok();
  }

  bool Iloc(const Box& box) {
    Cursor c(b_, box.payload, box.end);
    const unsigned version = FullBoxVersion(c);
    const unsigned sizes = static_cast<unsigned>(c.Read(2));
    const unsigned offsetSize = sizes >> 12, lengthSize = (sizes >> 8) & 15, baseSize = (sizes >> 4) & 15;
    const unsigned indexSize = version == 1 || version == 2 ? sizes & 15 : 0;
    for (unsigned s : {offsetSize, lengthSize, baseSize, indexSize})
      if (s != 0 && s != 4 && s != 8) return false;
    const std::uint64_t count = c.Read(version < 2 ? 2 : 4);
    for (std::uint64_t i = 0; i < count && c.Ok(); ++i) {
      Item& item = items_[static_cast<std::uint32_t>(c.Read(version < 2 ? 2 : 4))];
      item.located = true;
      item.method = version == 1 || version == 2 ? static_cast<unsigned>(c.Read(2) & 15) : 0;
      c.Skip(2);  // data reference
      const std::uint64_t base = c.Read(baseSize);
      const std::uint64_t extents = c.Read(2);
      if (extents > 1 && indexSize + offsetSize + lengthSize == 0) return false;  // the same whole file again
      item.extents.clear();
      for (std::uint64_t e = 0; e < extents && c.Ok(); ++e) {
        c.Skip(indexSize);
        const std::uint64_t offset = c.Read(offsetSize);
        const std::uint64_t length = c.Read(lengthSize);
        if (offset > ~std::uint64_t{0} - base) return false;
        item.extents.push_back({base + offset, length});
      }
    }
    return c.Ok();
  }

  bool Iinf(const Box& box) {
    Cursor c(b_, box.payload, box.end);
    const unsigned version = FullBoxVersion(c);
    c.Skip(version == 0 ? 2 : 4);  // the entry count; the boxes themselves count
    return c.Ok() && ForEachBox(b_, c.At(), box.end, [&](const Box& infe) {
      if (infe.type != Type("infe")) return true;
      Cursor e(b_, infe.payload, infe.end);
      const unsigned v = FullBoxVersion(e);
      if (v < 2) return e.Ok();  // no item type: no picture
      const auto id = static_cast<std::uint32_t>(e.Read(v == 2 ? 2 : 4));
      e.Skip(2);
      const auto type = static_cast<std::uint32_t>(e.Read(4));
      if (e.Ok()) items_[id].type = type;
      return e.Ok();
    });
  }

  bool Iref(const Box& box) {
    Cursor c(b_, box.payload, box.end);
    const unsigned version = FullBoxVersion(c);
    const unsigned idSize = version == 0 ? 2 : 4;
    return c.Ok() && ForEachBox(b_, c.At(), box.end, [&](const Box& ref) {
      Cursor r(b_, ref.payload, ref.end);
      const auto from = static_cast<std::uint32_t>(r.Read(idSize));
      const std::uint64_t count = r.Read(2);
      for (std::uint64_t i = 0; i < count && r.Ok(); ++i) {
        const auto to = static_cast<std::uint32_t>(r.Read(idSize));
        if (ref.type == Type("dimg")) sources_[from].push_back(to);
        if (ref.type == Type("auxl")) auxiliaries_[to].push_back(from);
      }
      return r.Ok();
    });
  }

  bool Iprp(const Box& box) {
    return ForEachBox(b_, box.payload, box.end, [&](const Box& child) {
      if (child.type == Type("ipco")) {
        return ForEachBox(b_, child.payload, child.end, [&](const Box& p) {
          properties_.push_back(p);
          return true;
        });
      }
      if (child.type != Type("ipma")) return true;
      Cursor c(b_, child.payload, child.end);
      const unsigned version = static_cast<unsigned>(c.Read(1));
      const unsigned wide = static_cast<unsigned>(c.Read(3)) & 1;
      const std::uint64_t entries = c.Read(4);
      for (std::uint64_t i = 0; i < entries && c.Ok(); ++i) {
        Item& item = items_[static_cast<std::uint32_t>(c.Read(version < 1 ? 2 : 4))];
        const std::uint64_t n = c.Read(1);
        for (std::uint64_t k = 0; k < n && c.Ok(); ++k) {
          const auto v = static_cast<unsigned>(c.Read(wide ? 2 : 1));
          const unsigned index = v & (wide ? 0x7fff : 0x7f);
          if (index != 0) item.properties.push_back(index);
        }
      }
      return c.Ok();
    });
  }

  // --- Where items' data lie ------------------------------------------------

  bool ExtentsInside() {
    for (auto& [id, item] : items_) {
      for (const unsigned index : item.properties)
        if (index > properties_.size()) return false;
      std::uint64_t from = 0, to = b_.Size();
      if (item.method == 1) {
        if (!hasIdat_) return false;
        from = idat_.payload;
        to = idat_.end;
      } else if (item.method != 0) {
        continue;  // data in another item: libheif refuses it
      }
      for (Extent& e : item.extents) {
        if (e.offset > to - from) return false;
        if (e.length == 0) e.length = to - from - e.offset;  // to the end
        if (e.length > to - from - e.offset) return false;
        e.offset += from;
      }
    }
    return true;
  }

  // An item's data: its single extent in place, several joined in `joined`.
  bool Data(const Item& item, std::vector<unsigned char>& joined, ByteView& data) const {
    if (!item.located || item.method > 1) return false;
    if (item.extents.size() == 1) {
      data = b_.Part(static_cast<std::size_t>(item.extents[0].offset), static_cast<std::size_t>(item.extents[0].length));
      return true;
    }
    std::uint64_t total = 0;
    for (const Extent& e : item.extents) {
      total += e.length;
      if (total > b_.Size()) return false;  // extents read over and over
    }
    joined.clear();
    for (const Extent& e : item.extents)
      joined.insert(joined.end(), b_.At(static_cast<std::size_t>(e.offset)), b_.At(static_cast<std::size_t>(e.offset + e.length)));
    data = ByteView(joined.data(), joined.size());
    return true;
  }

  ByteView Payload(const Box& box) const {
    return b_.Part(static_cast<std::size_t>(box.payload), static_cast<std::size_t>(box.end - box.payload));
  }

  const Box* Property(const Item& item, std::uint32_t type) const {
    for (unsigned index : item.properties)
      if (properties_[index - 1].type == type) return &properties_[index - 1];
    return nullptr;
  }

  // --- The pictures the primary image is decoded from --------------------------

  bool Needs(std::uint32_t id, std::vector<std::uint32_t>& path) {
    if (path.size() > 8 || ++visits_ > kMaxVisits) return false;
    if (std::find(path.begin(), path.end(), id) != path.end()) return false;  // derived from itself
    const auto it = items_.find(id);
    if (it == items_.end()) return false;
    const Item& item = it->second;
    const Box* ispe = Property(item, Type("ispe"));
    if (!ispe) return false;
    Cursor c(b_, ispe->payload + 4, ispe->end);
    const PictureSize declared{c.Read(4), c.Read(4)};
    if (!c.Ok() || declared.width == 0 || declared.height == 0) return false;

    const std::vector<std::uint32_t>& sources = sources_[id];
    const bool coded = item.type == Type("hvc1") || item.type == Type("av01");
    if (coded) {
      // room for the codec's blocks beyond the declared size
      if (Padded(declared.width) > budget_ / Padded(declared.height)) return false;
      budget_ -= Padded(declared.width) * Padded(declared.height);
    }
    if (!verified_.count(id)) {
      bool sound;
      switch (item.type) {
        case Type("hvc1"):
        case Type("av01"): sound = CodedWithin(item, declared); break;
        case Type("grid"):
        case Type("iovl"): sound = CanvasMatches(item, declared, sources.size()); break;
        case Type("iden"): sound = sources.size() == 1; break;
        default: sound = false;  // libheif has no decoder for it
      }
      if (!sound) return false;
      verified_.insert(id);
    }
    path.push_back(id);
    for (std::uint32_t source : sources)
      if (!Needs(source, path)) return false;
    // the alpha (and any other auxiliary picture) that belongs to it
    for (std::uint32_t aux : auxiliaries_[id])
      if (!Needs(aux, path)) return false;
    path.pop_back();
    return true;
  }

  static std::uint64_t Padded(std::uint64_t side) { return (side + 63) / 64 * 64; }

  // Sizes compare either way round: libheif's own writer records the size of
  // a turned picture as shown, not as stored.
  static bool Within(PictureSize s, PictureSize declared) {
    const auto fits = [](PictureSize a, PictureSize b) { return a.width <= Padded(b.width) && a.height <= Padded(b.height); };
    return fits(s, declared) || fits(s, PictureSize{declared.height, declared.width});
  }
  static bool Same(PictureSize a, PictureSize b) {
    return (a.width == b.width && a.height == b.height) || (a.width == b.height && a.height == b.width);
  }

  bool CodedWithin(const Item& item, PictureSize declared) const {
    std::vector<PictureSize> coded;
    std::vector<unsigned char> joined;
    ByteView data(nullptr, 0);
    if (!Data(item, joined, data)) return false;
    if (item.type == Type("hvc1")) {
      const Box* config = Property(item, Type("hvcC"));
      if (!config || !HevcConfigSizes(Payload(*config), coded) || !HevcDataSizes(data, coded)) return false;
    } else {
      const Box* config = Property(item, Type("av1C"));
      if (!config || config->end - config->payload < 4) return false;
      const ByteView obus = Payload(*config);  // after four bytes of its own
      if (!Av1Sizes(obus.Part(4, obus.Size() - 4), coded) || !Av1Sizes(data, coded)) return false;
    }
    if (coded.empty()) return false;  // nothing the decoder could start from
    for (const PictureSize& s : coded)
      if (!Within(s, declared)) return false;
    return true;
  }

  // A grid or overlay makes a canvas of the size in its data, which must be
  // the size it declares; a grid has one source per cell.
  bool CanvasMatches(const Item& item, PictureSize declared, std::size_t sources) const {
    std::vector<unsigned char> joined;
    ByteView data(nullptr, 0);
    if (!Data(item, joined, data)) return false;
    Cursor c(data, 0, data.Size());
    c.Skip(1);  // version
    const unsigned sideBytes = (c.Read(1) & 1) ? 4 : 2;
    std::uint64_t cells = 0;
    if (item.type == Type("grid")) {
      cells = (c.Read(1) + 1) * (c.Read(1) + 1);
    } else {
      c.Skip(8);  // fill colour
    }
    const PictureSize canvas{c.Read(sideBytes), c.Read(sideBytes)};
    return c.Ok() && Same(canvas, declared) &&
           (item.type != Type("grid") || cells == sources) && sources > 0;
  }

  // --- Orientation ----------------------------------------------------------

  // `o` followed by `quarterTurns` clockwise, then a mirror or a flip.
  static Orientation Then(Orientation o, unsigned quarterTurns, bool mirror, bool flip);

  const ByteView b_;
  std::map<std::uint32_t, Item> items_;
  std::vector<Box> properties_;
  Box idat_{};
  bool hasIdat_ = false;
  std::uint32_t primary_ = 0;
  bool hasPrimary_ = false;
  // The pictures each is derived from, and the auxiliary pictures of each.
  std::map<std::uint32_t, std::vector<std::uint32_t>> sources_, auxiliaries_;
  std::set<std::uint32_t> verified_;
  std::uint64_t budget_ = 0;
  // A grid has at most 256 x 256 cells; its alpha as many.
  static constexpr unsigned kMaxVisits = 2 * 65536 + 16;
  unsigned visits_ = 0;
};

Orientation Heif::Then(Orientation o, unsigned quarterTurns, bool mirror, bool flip) {
  // As a mirror (or not) followed by k quarter turns clockwise.
  unsigned k = (o.rotate90 ? 1 : 0) + (o.flip ? 2 : 0);
  bool m = o.mirror != o.flip;
  k = (k + quarterTurns) % 4;
  if (mirror) {
    m = !m;
    k = (4 - k) % 4;
  }
  if (flip) {
    m = !m;
    k = (6 - k) % 4;
  }
  // Back to a mirror, a flip and a quarter turn: a half turn is both.
  return Orientation{(k >= 2) != m, k >= 2, (k & 1) == 1};
}

}  // namespace

HeifLayout ReadHeifLayout(const unsigned char* data, std::size_t size, std::int64_t maxSide) {
  HeifLayout layout;
  Heif heif(ByteView(data, size));
  layout.framingHolds = heif.Walk();
  if (!layout.framingHolds || !heif.HasPrimary()) return layout;
  const auto side = static_cast<std::uint64_t>(maxSide);
  layout.decodable = heif.Decodable(4 * side * side);
  layout.transform = heif.PrimaryTransform();
  return layout;
}

}  // namespace image_codec
