#pragma once
// Bounds-checked reads of a file's bytes for the structure walks: every read
// is preceded by Has() (or made through a Cursor), so a walk never looks past
// the end of the file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace image_codec {

class ByteView {
 public:
  ByteView(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Size() const { return size_; }
  // True when n bytes from `at` lie inside the file (overflow-safe).
  bool Has(std::uint64_t at, std::uint64_t n) const { return at <= size_ && n <= size_ - at; }
  unsigned U8(std::size_t at) const { return data_[at]; }
  std::uint32_t LE16(std::size_t at) const { return data_[at] | (std::uint32_t{data_[at + 1]} << 8); }
  std::uint32_t LE32(std::size_t at) const { return LE16(at) | (LE16(at + 2) << 16); }
  std::uint32_t BE16(std::size_t at) const { return (std::uint32_t{data_[at]} << 8) | data_[at + 1]; }
  std::uint32_t BE32(std::size_t at) const { return (BE16(at) << 16) | BE16(at + 2); }
  std::uint64_t BE64(std::size_t at) const { return (std::uint64_t{BE32(at)} << 32) | BE32(at + 4); }
  bool Equals(std::uint64_t at, std::string_view s) const {
    return Has(at, s.size()) && std::equal(s.begin(), s.end(), data_ + at, [](char a, unsigned char b) {
             return static_cast<unsigned char>(a) == b;
           });
  }
  const unsigned char* At(std::size_t at) const { return data_ + at; }
  // The n bytes from `at` as a view of their own; the caller has checked Has(at, n).
  ByteView Part(std::size_t at, std::size_t n) const { return ByteView(data_ + at, n); }

 private:
  const unsigned char* data_;
  std::size_t size_;
};

// Big-endian fields read one after another inside [at, end), a range of the
// view; a read past the end reads 0 and leaves the cursor failed.
class Cursor {
 public:
  Cursor(const ByteView& b, std::uint64_t at, std::uint64_t end) : b_(b), at_(at), end_(end), ok_(at <= end) {}
  std::uint64_t Read(unsigned bytes) {
    if (!ok_ || end_ - at_ < bytes) {
      ok_ = false;
      return 0;
    }
    std::uint64_t v = 0;
    for (unsigned i = 0; i < bytes; ++i) v = (v << 8) | b_.U8(static_cast<std::size_t>(at_ + i));
    at_ += bytes;
    return v;
  }
  void Skip(std::uint64_t bytes) {
    if (!ok_ || end_ - at_ < bytes) ok_ = false;
    else at_ += bytes;
  }
  bool Ok() const { return ok_; }
  std::uint64_t At() const { return at_; }

 private:
  ByteView b_;
  std::uint64_t at_, end_;
  bool ok_;
};

}  // namespace image_codec
