#pragma once
// Bounds-checked reads of a file's bytes for the structure walks: every read
// is preceded by Has(), so a walk never looks past the end of the file.

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
  std::uint64_t LE64(std::size_t at) const { return LE32(at) | (std::uint64_t{LE32(at + 4)} << 32); }
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

}  // namespace image_codec
