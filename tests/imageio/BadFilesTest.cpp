// Files that are no image, or no longer a whole one, files whose header
// claims a picture far beyond the size limit, and things that are no readable
// file at all, through both entries: the picture is dropped, the message
// shown, and the next good picture loads as usual. JPEGs are the exception:
// one cut short or with damaged scan data opens. Run under the sanitizers
// to catch a decoder reading past what it was given.

#include <cctype>
#include <filesystem>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "editor/MainWindow.h"
#include "framework/TestSeams.h"
#include "tests/imageio/ImageIoTest.h"
#include "tests/support/HeifFiles.h"
#include "tests/support/JpegMarkers.h"
#include "tests/support/Texts.h"

namespace {

enum class Refusal { NotAnImage, Oversized };

struct BadFile {
  const char* name;
  std::function<Bytes(const TempFolder&)> bytes;
  Refusal refusal = Refusal::NotAnImage;
};
void PrintTo(const BadFile& f, std::ostream* os) { *os << f.name; }

Bytes Cut(Bytes b, std::size_t keep) {
  b.resize(keep < b.size() ? keep : b.size());
  return b;
}

Bytes Photo(int format, const TempFolder& scratch) {
  return EncodedPicture(PhotoLikePicture(320, 240, 3), format, scratch);
}

// The entropy-coded data or the compressed stream overwritten with noise,
// the structure around it left in place.
Bytes Scrambled(Bytes b, std::size_t from) {
  std::uint32_t state = 12345;
  for (std::size_t i = from; i + 16 < b.size(); ++i) {
    state = state * 1103515245u + 12345u;
    b[i] = static_cast<std::uint8_t>(state >> 24);
  }
  return b;
}

// A PNG whose text chunk claims 2 GB, in 44 bytes: the signature, the
// header chunk, and the text chunk's length, type and three bytes.
Bytes PngWithHugeText() {
  Bytes b = Cut(PngHeader(320, 240), 33);
  b.insert(b.end(), {0x7F, 0xFF, 0xFF, 0xFF, 't', 'E', 'X', 't', 'P', 'i', 'x'});
  return b;
}

std::string Heic(const Ref<Picture>& p) { return HeifFile(p, HeifKind{}); }
std::string Avif(const Ref<Picture>& p) { return HeifFile(p, HeifKind{HeifKind::Codec::Av1}); }

const BadFile kBadFiles[] = {
    {"empty.jpg", [](const TempFolder&) { return Bytes{}; }},
    {"notes.txt", [](const TempFolder&) { return AsBytes("Not a picture, only words.\n"); }},
    {"words-named.jpg", [](const TempFolder&) { return AsBytes("GIF89a? no: plain text.\n"); }},
    {"noise.png", [](const TempFolder&) { return Scrambled(Bytes(4096, 0), 0); }},
    {"jpeg-start-only.jpg", [](const TempFolder&) { return Bytes{0xFF, 0xD8, 0xFF}; }},
    {"jpeg-header-only.jpg", [](const TempFolder& t) { return Cut(Photo(Picture::SaveAsJPEG, t), 400); }},
    {"jpeg-scrambled.jpg", [](const TempFolder& t) { return Scrambled(Photo(Picture::SaveAsJPEG, t), 20); }},
    {"png-header-only.png", [](const TempFolder&) { return PngHeader(320, 240); }},
    {"png-half.png", [](const TempFolder& t) {
       Bytes b = Photo(Picture::SaveAsPNG, t);
       return Cut(b, b.size() / 2);
     }},
    {"png-scrambled.png", [](const TempFolder& t) { return Scrambled(Photo(Picture::SaveAsPNG, t), 60); }},
    {"png-text-claims-2GB.png", [](const TempFolder&) { return PngWithHugeText(); }},
    {"heic-half.heic", [](const TempFolder&) {
       const std::string b = Heic(PhotoLikePicture(320, 240, 3));
       return AsBytes(b.substr(0, b.size() / 2));
     }},
    {"avif-without-coded-data.avif", [](const TempFolder&) { return AsBytes(WithoutCodedData(Avif(PhotoLikePicture(320, 240, 3)))); }},
    {"claims-60000x60000.png", [](const TempFolder&) { return PngHeader(60000, 60000); }, Refusal::Oversized},
    {"claims-6001x100.heic", [](const TempFolder&) {
       return AsBytes(WithoutCodedData(Heic(SolidPicture(6001, 100, RGB(9, 9, 9)))));
     }, Refusal::Oversized},
    {"claims-60000x60000.jpg", [](const TempFolder& t) { return WithJpegSize(Photo(Picture::SaveAsJPEG, t), 60000, 60000); },
     Refusal::Oversized},
};

enum class Entry { Dialog, Drop };

class RefusalTest : public ImageIoTest {
 protected:
  void Enter(Entry entry, const Ref<FolderItem>& file) {
    if (entry == Entry::Dialog) {
      LoadThroughDialog(file);
    } else {
      Drop(nullptr, file);
    }
  }

  // The refusal of one bad file, then the editor taking a good picture. A
  // file that cannot be decoded leaves the title; an oversized one is named
  // in it before the size check refuses it.
  void ExpectRefusedAndTheEditorGoesOn(Entry entry, const Ref<FolderItem>& bad,
                                       Refusal refusal = Refusal::NotAnImage) {
    GivePicture(SolidPicture(300, 200, RGB(1, 2, 3)));
    Enter(entry, bad);
    EXPECT_TRUE(w->pic.IsNil());
    if (refusal == Refusal::NotAnImage) {
      EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kNotAnImage});
      EXPECT_EQ(w->Title(), "Pixelmoth");
    } else {
      EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kSizeRefused});
      EXPECT_EQ(w->Title(), "Mothwick - " + bad->DisplayName());
    }
    EXPECT_TRUE(TestSeams::LogLines().empty());

    WriteBytes(files.Path("good.png"), EncodedPicture(PhotoLikePicture(200, 150, 4), Picture::SaveAsPNG, files));
    Enter(entry, files.File("good.png"));
    ASSERT_FALSE(w->pic.IsNil());
    EXPECT_EQ(w->pic->Width(), 200);
    EXPECT_EQ(w->Title(), "Mothwick - good.png");
    EXPECT_EQ(TestSeams::MessageBoxes().size(), 1u);
  }
};

class BadFileTest : public RefusalTest, public ::testing::WithParamInterface<std::tuple<BadFile, Entry>> {};

TEST_P(BadFileTest, IsRefused) {
  const auto& [bad, entry] = GetParam();
  WriteBytes(files.Path(bad.name), bad.bytes(files));
  ExpectRefusedAndTheEditorGoesOn(entry, files.File(bad.name), bad.refusal);
}

// Databent JPEGs: cut short, or with their scan data overwritten, they open
// at the size their header gives, as far as the decoder gets.
struct DatabentFile {
  const char* name;
  std::function<Bytes(const TempFolder&)> bytes;
};
void PrintTo(const DatabentFile& f, std::ostream* os) { *os << f.name; }

const DatabentFile kDatabentFiles[] = {
    {"jpeg-half.jpg", [](const TempFolder& t) {
       Bytes b = Photo(Picture::SaveAsJPEG, t);
       return Cut(b, b.size() / 2);
     }},
    {"jpeg-scan-scrambled.jpg", [](const TempFolder& t) {
       Bytes b = Photo(Picture::SaveAsJPEG, t);
       const std::size_t scan = FindJpegMarker(b, 0xDA);
       return scan == std::string::npos ? Bytes{} : Scrambled(b, JpegScanData(b, scan));
     }},
};

class DatabentFileTest : public RefusalTest, public ::testing::WithParamInterface<std::tuple<DatabentFile, Entry>> {};

TEST_P(DatabentFileTest, Opens) {
  const auto& [file, entry] = GetParam();
  WriteBytes(files.Path(file.name), file.bytes(files));
  Enter(entry, files.File(file.name));
  ASSERT_FALSE(w->pic.IsNil());
  EXPECT_EQ(w->pic->Width(), 320);
  EXPECT_EQ(w->pic->Height(), 240);
  EXPECT_TRUE(TestSeams::MessageBoxes().empty());
  EXPECT_EQ(w->Title(), std::string("Mothwick - ") + file.name);
}

// The test's name: the file's name and the entry.
template <class File>
std::string FileAndEntry(const ::testing::TestParamInfo<std::tuple<File, Entry>>& info) {
  std::string name;
  for (const char* ch = std::get<0>(info.param).name; *ch; ++ch)
    name += std::isalnum(static_cast<unsigned char>(*ch)) ? *ch : '_';
  return name + (std::get<1>(info.param) == Entry::Dialog ? "_dialog" : "_drop");
}

class NoReadableFileTest : public RefusalTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(NoReadableFileTest, AFolderIsNotAnImage) {
  std::filesystem::create_directory(files.Path("folder.jpg"));
  ExpectRefusedAndTheEditorGoesOn(GetParam(), files.File("folder.jpg"));
}

TEST_P(NoReadableFileTest, AnUnreadableFileIsNotAnImage) {
  const std::string path = files.Path("locked.jpg");
  WriteBytes(path, Photo(Picture::SaveAsJPEG, files));
  namespace fs = std::filesystem;
  // The folder open to all, the file to nobody: only the file's own
  // permissions keep it from being read.
  fs::permissions(fs::path(path).parent_path(), fs::perms::all);
  fs::permissions(path, fs::perms::none);
  Unprivileged user;
  if (!user.Effective()) GTEST_SKIP() << "runs as root and cannot give up its rights here";
  ExpectRefusedAndTheEditorGoesOn(GetParam(), files.File("locked.jpg"));
}

INSTANTIATE_TEST_SUITE_P(Entries, NoReadableFileTest, ::testing::Values(Entry::Dialog, Entry::Drop),
                         [](const ::testing::TestParamInfo<Entry>& info) {
                           return std::string(info.param == Entry::Dialog ? "dialog" : "drop");
                         });

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest,
                         ::testing::Combine(::testing::ValuesIn(kBadFiles),
                                            ::testing::Values(Entry::Dialog, Entry::Drop)),
                         FileAndEntry<BadFile>);

INSTANTIATE_TEST_SUITE_P(Files, DatabentFileTest,
                         ::testing::Combine(::testing::ValuesIn(kDatabentFiles),
                                            ::testing::Values(Entry::Dialog, Entry::Drop)),
                         FileAndEntry<DatabentFile>);

}  // namespace
