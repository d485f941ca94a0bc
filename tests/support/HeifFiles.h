#pragma once
// HEIC and AVIF files made with libheif's own encoders from a picture built
// in code, and edits of their boxes; nothing here needs the toolkit.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Picture.h"

struct HeifKind {
  enum class Codec { Hevc, Av1 };
  Codec codec = Codec::Hevc;
  int bits = 8;        // 8 or 10 a channel
  bool alpha = false;  // the picture's alpha kept
  bool premultiplied = false;  // colours stored multiplied by their alpha
  const char* Name() const;
};

// The picture encoded at high quality, with an EXIF orientation (1 to 8)
// recorded as the container's rotation and mirror. libheif stores an HEVC
// picture whose sides the encoder pads (not multiples of 64) as a grid of one
// tile cropped to the picture, as phones store theirs in tiles.
std::string HeifFile(const Ref<Picture>& picture, HeifKind kind, int orientation = 1);

// A 32-bit field of the file, big-endian as the boxes store their sizes and
// the pictures' sides.
std::uint32_t Read32(const std::string& file, std::size_t at);
void Write32(std::string& file, std::size_t at, std::uint32_t v);

// Offsets of every box of the given type, at any depth of the boxes walked.
std::vector<std::size_t> BoxesOfType(const std::string& file, std::string_view type);

// Every picture's declared size (each ispe box) set to width x height.
std::string WithDeclaredSize(std::string file, std::uint32_t width, std::uint32_t height);

// The coded data (the mdat box's payload) overwritten with zeros.
std::string WithoutCodedData(std::string file);
