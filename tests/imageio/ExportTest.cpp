// Saving: what the file holds whatever the view, the refusals, the cancelled
// dialog, the name that is not tested, and a write that fails.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "editor/MainWindow.h"
#include "framework/TestSeams.h"
#include "tests/imageio/ImageIoTest.h"
#include "tests/support/Texts.h"

namespace {

class ExportTest : public ImageIoTest {
 protected:
  // An 800 x 600 photo-like picture loaded by a drop, fitted at 100 %.
  void LoadPhoto() {
    photo = PhotoLikePicture(800, 600, 5);
    Drop(photo, nullptr);
    ASSERT_EQ(w->pic, photo);
    TestSeams::ClearLog();
  }

  // The file read back, checked to be the working picture.
  void ExpectFileHoldsThePhoto(const std::string& path) {
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(IsJpegData(ReadBytes(path)));
    const Ref<Picture> written = Picture::Open(FolderItem(path));
    ASSERT_FALSE(written.IsNil());
    ASSERT_EQ(written->Width(), 800);
    ASSERT_EQ(written->Height(), 600);
    EXPECT_GE(Psnr(written, photo), 45.0);
  }

  Ref<Picture> photo;
};

struct View {
  const char* name;
  double zoomFactor;
  std::int64_t permOffsetX, permOffsetY, mXDelta, mYDelta;
};
void PrintTo(const View& v, std::ostream* os) { *os << v.name; }

class ExportViewTest : public ExportTest, public ::testing::WithParamInterface<View> {};

// The file is the picture at its loaded size, pixel for pixel, whatever zoom
// and pan the canvas showed; the view is left at 100 %.
TEST_P(ExportViewTest, WritesThePictureAtItsLoadedSize) {
  const View v = GetParam();
  LoadPhoto();
  w->ZoomFactor = v.zoomFactor;
  w->permOffsetX = v.permOffsetX;
  w->permOffsetY = v.permOffsetY;
  w->mXDelta = v.mXDelta;
  w->mYDelta = v.mYDelta;
  w->MainCanvas()->Refresh(true);
  const Ref<Picture> layer = w->fxLayer;

  SaveThroughDialog(files.File("out.jpeg"));

  ExpectFileHoldsThePhoto(files.Path("out.jpeg"));
  EXPECT_EQ(w->ZoomFactor, 1.0);
  EXPECT_EQ(w->ZoomText()->Text(), "100%");
  EXPECT_EQ(w->MainCanvas()->Width(), 910);
  EXPECT_EQ(w->MainCanvas()->Height(), 647);
  EXPECT_EQ(w->permOffsetX, v.permOffsetX);
  EXPECT_EQ(w->permOffsetY, v.permOffsetY);
  EXPECT_EQ(w->pic, photo);
  EXPECT_EQ(w->fxLayer, layer);
  const std::vector<TestSeams::SaveDialogRequest> asked = TestSeams::SaveDialogRequests();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].filter, "image/jpeg,png");
  EXPECT_EQ(asked[0].defaultName, "myPicture.jpeg");
  EXPECT_EQ(TestSeams::LogLines(), texts::kExportLogLines);
  EXPECT_TRUE(TestSeams::MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Views, ExportViewTest,
                         ::testing::Values(View{"fitted", 1.0, 0, 0, 0, 0},
                                           View{"zoomedInAndPanned", 1.728, 40, -25, 0, 0},
                                           View{"zoomedOutMidDrag", 1.0 / 1.2, -300, 200, 17, -9},
                                           View{"pannedOffTheCanvas", 1.44, 5000, -5000, 0, 0}),
                         [](const ::testing::TestParamInfo<View>& info) { return std::string(info.param.name); });

// In superglitch mode the preview layer is the working picture itself.
TEST_F(ExportTest, PreviewLayerThatIsTheWorkingPictureIsWrittenOnce) {
  LoadPhoto();
  w->fxLayer = w->pic;

  SaveThroughDialog(files.File("glitched.jpeg"));

  ExpectFileHoldsThePhoto(files.Path("glitched.jpeg"));
}

TEST_F(ExportTest, NameEndingInPngStillGetsJpegData) {
  LoadPhoto();

  SaveThroughDialog(files.File("picture.png"));

  ExpectFileHoldsThePhoto(files.Path("picture.png"));
}

TEST_F(ExportTest, NothingWithoutAPicture) {
  SaveThroughDialog(files.File("out.jpeg"));

  EXPECT_TRUE(TestSeams::SaveDialogRequests().empty());
  EXPECT_TRUE(TestSeams::MessageBoxes().empty());
  EXPECT_TRUE(TestSeams::LogLines().empty());
  EXPECT_FALSE(std::filesystem::exists(files.Path("out.jpeg")));
}

TEST_F(ExportTest, RefusedWhileAPreviewIsOpen) {
  LoadPhoto();
  EnterEffectPreview();
  const std::vector<std::string> before = Snapshot();

  SaveThroughDialog(files.File("out.jpeg"));

  EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kApplyOrCancel});
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(w->MainCanvas()->Width(), 910);
  EXPECT_EQ(w->MainCanvas()->Height(), 647);
  EXPECT_TRUE(TestSeams::SaveDialogRequests().empty());
  EXPECT_TRUE(TestSeams::LogLines().empty());
  EXPECT_FALSE(std::filesystem::exists(files.Path("out.jpeg")));
}

TEST_F(ExportTest, CancelledDialogWritesNothingAndRestoresTheCanvas) {
  LoadPhoto();
  w->ZoomFactor = 1.728;
  w->MainCanvas()->Refresh(true);

  SaveThroughDialog(nullptr);

  EXPECT_EQ(TestSeams::SaveDialogRequests().size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(files.Path("")));
  EXPECT_TRUE(TestSeams::MessageBoxes().empty());
  EXPECT_EQ(TestSeams::LogLines(), texts::kExportLogLines);
  EXPECT_EQ(w->MainCanvas()->Width(), 910);
  EXPECT_EQ(w->MainCanvas()->Height(), 647);
  EXPECT_EQ(w->ZoomFactor, 1.0);
  EXPECT_EQ(w->ZoomText()->Text(), "100%");
}

// --- The bytes of the file ------------------------------------------------------

// FNV-1a over the file: any change of a pixel, of the encoder's settings or
// of the layout changes it.
std::uint64_t Fingerprint(const Bytes& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (const std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

// A preview layer with clear, half-covering and covering parts, in stripes
// that cross the picture's own detail at an angle.
Ref<Picture> StripedLayer(std::int64_t width, std::int64_t height) {
  return MakePicture(width, height, [](std::int64_t x, std::int64_t y) {
    switch ((x + 2 * y) / 40 % 4) {
      case 0: return RGB(250, 20, 120, 110);
      case 1: return RGB(10, 200, 60, 0);
      default: return kTransparent;
    }
  });
}

struct SavedCase {
  const char* name;
  std::int64_t width, height;
  double zoomFactor;
  std::int64_t permOffsetX, permOffsetY;
  std::uint64_t fingerprint;
};
void PrintTo(const SavedCase& c, std::ostream* os) { *os << c.name; }

class SavedFileTest : public ExportTest, public ::testing::WithParamInterface<SavedCase> {};

// The bytes written for a picture with see-through parts, under a preview
// layer with see-through parts, from a zoomed and panned view: pinned to what
// the export wrote when the view drew pictures by nearest neighbour, so that
// the way the canvas shows a picture never reaches the file.
TEST_P(SavedFileTest, BytesAreThoseOfTheExportAtFullSize) {
  const SavedCase c = GetParam();
  const Ref<Picture> photo = PhotoLikePicture(c.width, c.height, 9);
  RGBSurface s = photo->RGBSurface();
  for (std::int64_t y = 0; y < c.height; y += 3) {
    for (std::int64_t x = 0; x < c.width / 3; ++x) {
      Color p = s.Pixel(x, y);
      p.alpha = static_cast<std::uint8_t>(x * 255 / (c.width / 3));
      s.SetPixel(x, y, p);
    }
  }
  GivePicture(photo);
  w->fxLayer = StripedLayer(c.width, c.height);
  w->ZoomFactor = c.zoomFactor;
  w->permOffsetX = c.permOffsetX;
  w->permOffsetY = c.permOffsetY;
  w->MainCanvas()->Refresh(true);

  SaveThroughDialog(files.File("pinned.jpeg"));

  const Bytes bytes = ReadBytes(files.Path("pinned.jpeg"));
  EXPECT_EQ(Fingerprint(bytes), c.fingerprint) << "0x" << std::hex << Fingerprint(bytes);
}

INSTANTIATE_TEST_SUITE_P(Pictures, SavedFileTest,
                         ::testing::Values(SavedCase{"small", 640, 480, 0.37, 55, -30, 0x4801351374110e43},
                                           SavedCase{"largest", 6000, 6000, 910.0 / 6000, -20, 13, 0xa641858a2138b22a}),
                         [](const ::testing::TestParamInfo<SavedCase>& info) { return std::string(info.param.name); });

// --- Writes that fail ------------------------------------------------------------

TEST_F(ExportTest, WriteIntoAReadOnlyFolderKeepsTheOldFileAndSaysSo) {
  LoadPhoto();
  const std::string folder = files.Path("locked");
  std::filesystem::create_directory(folder);
  const Bytes old = {'o', 'l', 'd'};
  WriteBytes(folder + "/out.jpeg", old);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                           std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                           std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
  {
    Unprivileged user;
    if (!user.Effective()) GTEST_SKIP() << "runs as root and cannot give up its rights here";
    SaveThroughDialog(MakeRef<FolderItem>(folder + "/out.jpeg"));
  }

  EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kNotSaved});
  EXPECT_EQ(ReadBytes(folder + "/out.jpeg"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
  // The rest of the save still runs.
  EXPECT_EQ(TestSeams::LogLines(), texts::kExportLogLines);
  EXPECT_EQ(w->MainCanvas()->Width(), 910);
  EXPECT_EQ(w->ZoomFactor, 1.0);
}

TEST_F(ExportTest, WriteThatCannotHappenSaysSo) {
  struct Target {
    const char* name;
    std::string path;
  };
  LoadPhoto();
  std::filesystem::create_directories(files.Path("a-folder/inside"));
  for (const Target& t : {Target{"into a missing folder", files.Path("missing/out.jpeg")},
                          Target{"over a folder", files.Path("a-folder")}}) {
    SCOPED_TRACE(t.name);
    TestSeams::ClearMessageBoxes();
    TestSeams::ClearLog();

    SaveThroughDialog(MakeRef<FolderItem>(t.path));

    EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kNotSaved});
    EXPECT_EQ(TestSeams::LogLines(), texts::kExportLogLines);
  }
  EXPECT_FALSE(std::filesystem::exists(files.Path("missing")));
  EXPECT_TRUE(std::filesystem::is_directory(files.Path("a-folder/inside")));
}

}  // namespace
