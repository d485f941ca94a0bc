#pragma once
// Files for the image I/O tests, made at run time in a temporary folder, and
// measures on the pictures read back.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/Picture.h"

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Path(const std::string& name) const;
  Ref<FolderItem> File(const std::string& name) const { return MakeRef<FolderItem>(Path(name)); }

 private:
  std::string path_;
};

using Bytes = std::vector<std::uint8_t>;
// The bytes of a file made as a string.
Bytes AsBytes(const std::string& s);

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

// A PNG file that claims width x height (8-bit RGBA) in its header and holds
// no image data: an empty IDAT chunk, then IEND. Enough for a reader to measure.
Bytes PngHeader(std::uint32_t width, std::uint32_t height);

// A picture written with Picture::Save and read back as bytes.
Bytes EncodedPicture(const Ref<Picture>& p, int format, const TempFolder& scratch);


// True when the bytes begin as a JPEG file does.
bool IsJpegData(const Bytes& bytes);
