#pragma once
// What the framing walk and the completeness check both read of a GIF file's
// blocks: the colour tables' sizes and the runs of sub-blocks.

#include <cstddef>
#include <vector>

#include "framework/ByteView.h"

namespace image_codec {

// Bytes of the colour table that a screen or image descriptor's flags announce.
inline std::size_t ColorTableSize(unsigned flags) { return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0; }

// How a run of sub-blocks ends: with its terminator, with the file before
// any terminator, or with a sub-block the end of the file cuts.
enum class SubBlocks { Terminated, FileEnded, Cut };

// Walks the sub-blocks from `at`, appending their bytes to `payload` when given.
inline SubBlocks WalkSubBlocks(const ByteView& b, std::size_t& at, std::vector<unsigned char>* payload = nullptr) {
  while (b.Has(at, 1)) {
    const std::size_t n = b.U8(at++);
    if (n == 0) return SubBlocks::Terminated;
    if (!b.Has(at, n)) return SubBlocks::Cut;
    if (payload) payload->insert(payload->end(), b.At(at), b.At(at) + n);
    at += n;
  }
  return SubBlocks::FileEnded;
}

}  // namespace image_codec
