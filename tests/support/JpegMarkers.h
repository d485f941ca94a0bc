#pragma once
// Where a JPEG's segments lie, up to its first scan, for tests that edit a
// file the encoder wrote. The file's bytes are a std::string or a
// std::vector<std::uint8_t>.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/ByteView.h"

template <class Bytes>
image_codec::ByteView JpegView(const Bytes& jpeg) {
  return image_codec::ByteView(reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
}

// The markers up to the first scan: the offset of each (FF xx), by marker byte.
template <class Bytes>
std::vector<std::pair<unsigned, std::size_t>> JpegMarkers(const Bytes& jpeg) {
  const image_codec::ByteView b = JpegView(jpeg);
  std::vector<std::pair<unsigned, std::size_t>> found;
  for (std::size_t at = 2; b.Has(at, 4) && b.U8(at) == 0xff;) {
    const unsigned marker = b.U8(at + 1);
    found.emplace_back(marker, at);
    if (marker == 0xda) break;
    at += 2 + b.BE16(at + 2);
  }
  return found;
}

// The offset of the first such marker up to the first scan; npos when none.
template <class Bytes>
std::size_t FindJpegMarker(const Bytes& jpeg, unsigned marker) {
  for (const auto& [m, at] : JpegMarkers(jpeg))
    if (m == marker) return at;
  return std::string::npos;
}

// The first byte of a scan's coded data, after its header.
template <class Bytes>
std::size_t JpegScanData(const Bytes& jpeg, std::size_t scan) {
  return scan + 2 + JpegView(jpeg).BE16(scan + 2);
}

// The baseline frame header rewritten to claim w x h, the scan data left as
// it is; empty when the file has no such header.
template <class Bytes>
Bytes WithJpegSize(Bytes jpeg, std::uint16_t w, std::uint16_t h) {
  const std::size_t sof = FindJpegMarker(jpeg, 0xc0);
  if (sof == std::string::npos) return {};
  using Byte = typename Bytes::value_type;
  jpeg[sof + 5] = static_cast<Byte>(h >> 8);
  jpeg[sof + 6] = static_cast<Byte>(h & 0xff);
  jpeg[sof + 7] = static_cast<Byte>(w >> 8);
  jpeg[sof + 8] = static_cast<Byte>(w & 0xff);
  return jpeg;
}
