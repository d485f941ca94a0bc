#pragma once
// The picture sizes coded in HEVC and AV1 streams: what a decoder will
// allocate for, whatever the container around the stream declares.

#include <cstdint>
#include <vector>

#include "framework/ByteView.h"

namespace image_codec {

struct PictureSize {
  std::uint64_t width = 0, height = 0;
};

// Each adds the size of every sequence parameter set (HEVC) or sequence
// header (AV1) it finds; false when the units overrun their bytes or a size
// cannot be read.
// An HEVC configuration record (its arrays of parameter sets).
bool HevcConfigSizes(const ByteView& config, std::vector<PictureSize>& sizes);
// HEVC units, each after a four-byte length, as libheif hands them on.
bool HevcDataSizes(const ByteView& data, std::vector<PictureSize>& sizes);
// AV1 units (OBUs).
bool Av1Sizes(const ByteView& obus, std::vector<PictureSize>& sizes);

}  // namespace image_codec
