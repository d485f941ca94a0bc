#pragma once
// Framework internals: memory for pixels that costs nothing until it is
// written, and that tells when it was written without a cost per pixel.
//
// A large fresh transparent buffer maps one shared page of transparent
// pixels over and over, copy-on-write: it takes memory only where something
// is written into it. A watched buffer's pages are read-only; the first
// write into them faults, and the fault handler records the write and lifts
// the protection, so the write goes ahead and every later one runs at full
// speed. The bytes of a buffer's first and last pages that it shares with
// other memory cannot be protected: a watch keeps a copy of them and
// compares. (In gdb: `handle SIGSEGV nostop noprint`.)
//
// Writes by the kernel (read(2) into a watched buffer) fail with EFAULT
// instead of faulting: nothing hands pixel buffers to system calls.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/Color.h"

namespace pixel_memory {

// Buffers of at least this many bytes are worth pages of their own.
constexpr std::size_t kMappedMinimum = std::size_t{1} << 18;

// count transparent pixels in pages of their own; nil when the system
// cannot map them (the caller then allocates and fills as usual).
Color* MapTransparent(std::size_t count);
// Releases what MapTransparent gave.
void Unmap(Color* pixels, std::size_t count) noexcept;

// Notices any write into a range of pixels between Start and Stop.
class WriteWatch {
 public:
  WriteWatch() = default;
  ~WriteWatch() { Stop(); }
  WriteWatch(const WriteWatch&) = delete;
  WriteWatch& operator=(const WriteWatch&) = delete;

  // False when the range cannot be watched (the system's limit on watched
  // ranges is reached): Written then always answers true.
  bool Start(const Color* pixels, std::size_t count);
  // Start for a range that holds the one watched, if any; while nothing
  // was written, only the pages added are protected, which for a large
  // range costs far less.
  bool Grow(const Color* pixels, std::size_t count);
  void Stop() noexcept;
  bool Active() const noexcept { return active_; }
  // True when something wrote into the range since Start, or when nothing
  // watches it.
  bool Written() const noexcept;

 private:
  bool active_ = false;
  int slot_ = -1;
  const std::uint8_t* begin_ = nullptr;
  const std::uint8_t* pagesBegin_ = nullptr;
  const std::uint8_t* pagesEnd_ = nullptr;
  std::vector<std::uint8_t> head_;  // [begin_, pagesBegin_) as it was
  std::vector<std::uint8_t> tail_;  // from pagesEnd_ to the range's end, as it was
};

}  // namespace pixel_memory
