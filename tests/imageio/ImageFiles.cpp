#include "tests/imageio/ImageFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <unistd.h>

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pixelmoth-imageio-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
  path_ = pattern;
  // Readable by all, so a test that drops its privileges still reaches its files.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                          std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                          std::filesystem::perms::others_exec);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // A folder a test made read-only must be writable again to be emptied.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
    if (entry.is_directory(ignored)) std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                                                  std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Path(const std::string& name) const { return path_ + "/" + name; }

Bytes AsBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {
std::uint32_t Crc32(const Bytes& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= bytes[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(Bytes& png, const char* type, const Bytes& data) {
  PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
  Bytes chunk(type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  png.insert(png.end(), chunk.begin(), chunk.end());
  PutBigEndian(png, Crc32(chunk, 0));
}
}  // namespace

Bytes PngHeader(std::uint32_t width, std::uint32_t height) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian(header, width);
  PutBigEndian(header, height);
  // Bit depth 8, colour type 6 (RGBA), deflate, adaptive filtering, no interlace.
  header.insert(header.end(), {8, 6, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", {});
  PutChunk(png, "IEND", {});
  return png;
}

Bytes EncodedPicture(const Ref<Picture>& p, int format, const TempFolder& scratch) {
  const Ref<FolderItem> file = scratch.File("encoded.tmp");
  if (!p->Save(*file, format, 100)) throw std::runtime_error("cannot encode");
  Bytes bytes = ReadBytes(file->NativePath());
  std::filesystem::remove(file->NativePath());
  return bytes;
}

bool IsJpegData(const Bytes& bytes) {
  return bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}
