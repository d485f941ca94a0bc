// The two ways in: the open dialog (whose pictures get an alpha channel) and
// a drop (taken as it comes), and the alpha conversion itself.

#include <cctype>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "editor/MainWindow.h"
#include "framework/TestSeams.h"
#include "tests/imageio/ImageIoTest.h"
#include "tests/support/Texts.h"

namespace {

// An opaque picture without an alpha channel, as a decoder gives for a JPEG.
Ref<Picture> OpaquePicture(std::int64_t w, std::int64_t h) {
  const Ref<Picture> photo = PhotoLikePicture(w, h, 7);
  auto buffer = std::make_shared<PixelBuffer>(w, h, RGB(0, 0, 0));
  RGBSurface from = photo->RGBSurface();
  for (std::int64_t y = 0; y < h; ++y)
    for (std::int64_t x = 0; x < w; ++x) buffer->pixels[y * w + x] = from.Pixel(x, y);
  return MakeRef<Picture>(buffer, false);
}

// --- ConvertToAlphaPicture ------------------------------------------------------

TEST_F(ImageIoTest, PictureWithAlphaIsUsedAsItIs) {
  const Ref<Picture> p = PhotoLikePicture(120, 110);
  ASSERT_TRUE(p->HasAlphaChannel());
  EXPECT_EQ(w->ConvertToAlphaPicture(p), p);
}

TEST_F(ImageIoTest, PictureWithoutAlphaBecomesAnAlphaCopy) {
  const Ref<Picture> p = OpaquePicture(130, 120);
  p->SetHorizontalResolution(300);
  p->SetVerticalResolution(150);

  const Ref<Picture> converted = w->ConvertToAlphaPicture(p);

  EXPECT_NE(converted, p);
  EXPECT_TRUE(converted->HasAlphaChannel());
  EXPECT_EQ(converted->HorizontalResolution(), 300);
  EXPECT_EQ(converted->VerticalResolution(), 150);
  EXPECT_TRUE(SamePixels(converted, p));
  EXPECT_FALSE(p->HasAlphaChannel());
}

// --- The open dialog -------------------------------------------------------------

TEST_F(ImageIoTest, CancelledOpenDialogChangesNothing) {
  GivePicture(SolidPicture(300, 200, RGB(1, 2, 3)));
  const std::vector<std::string> before = Snapshot();

  LoadThroughDialog(nullptr);

  EXPECT_EQ(TestSeams::OpenDialogCount(), 1);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(w->Title(), "Pixelmoth");
  EXPECT_TRUE(TestSeams::MessageBoxes().empty());
  EXPECT_TRUE(TestSeams::LogLines().empty());
}

TEST_F(ImageIoTest, DialogPictureGetsAnAlphaChannel) {
  WriteBytes(files.Path("photo.jpg"), EncodedPicture(PhotoLikePicture(640, 480), Picture::SaveAsJPEG, files));
  const Ref<Picture> decoded = Picture::Open(*files.File("photo.jpg"));
  ASSERT_FALSE(decoded.IsNil());

  LoadThroughDialog(files.File("photo.jpg"));

  ASSERT_FALSE(w->pic.IsNil());
  EXPECT_TRUE(w->pic->HasAlphaChannel());
  EXPECT_TRUE(SamePixels(w->pic, decoded));
  EXPECT_EQ(w->Title(), "Mothwick - photo.jpg");
  EXPECT_EQ(w->originalPicW, 640);
  EXPECT_EQ(w->originalPicH, 480);
  EXPECT_EQ(TestSeams::LogLines(), IntakeLines(640, 480));
  EXPECT_TRUE(TestSeams::MessageBoxes().empty());
}

// --- Drops -----------------------------------------------------------------------

enum class Offers { DataAndFile, DataOnly, FileOnly, Neither, UnreadableDataAndFile };
enum class Expect { TheData, TheFilesPicture, ThePreviousPicture, Nil };

struct DropCase {
  const char* name;
  Offers offers;
  bool pictureLoaded;
  Expect pic;
  bool titleFromFile;
};
void PrintTo(const DropCase& c, std::ostream* os) { *os << c.name; }

const DropCase kDrops[] = {
    {"data and file", Offers::DataAndFile, false, Expect::TheData, true},
    {"data only", Offers::DataOnly, true, Expect::TheData, false},
    {"file only", Offers::FileOnly, false, Expect::TheFilesPicture, true},
    {"neither, nothing loaded", Offers::Neither, false, Expect::Nil, false},
    {"neither, a picture loaded", Offers::Neither, true, Expect::ThePreviousPicture, false},
    // The data comes first: its failure is not made good by the file.
    {"unreadable data and a file", Offers::UnreadableDataAndFile, true, Expect::Nil, false},
};

class DropTest : public ImageIoTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropTest, TakesDataFirstThenTheFileAndNamesTheFile) {
  const DropCase c = GetParam();
  WriteBytes(files.Path("dropped.jpg"), EncodedPicture(PhotoLikePicture(500, 400), Picture::SaveAsJPEG, files));
  const Ref<FolderItem> file = files.File("dropped.jpg");
  const bool decodedHasAlpha = Picture::Open(*file)->HasAlphaChannel();
  const Ref<Picture> previous = SolidPicture(300, 200, RGB(1, 2, 3));
  if (c.pictureLoaded) GivePicture(previous);
  const Ref<Picture> previousLayer = w->fxLayer;
  // Data without an alpha channel: a drop must not convert it.
  const Ref<Picture> data = OpaquePicture(200, 150);
  const bool withData = c.offers == Offers::DataAndFile || c.offers == Offers::DataOnly;
  const bool withFile = c.offers == Offers::DataAndFile || c.offers == Offers::FileOnly;

  const bool unreadable = c.offers == Offers::UnreadableDataAndFile;
  Drop(withData ? data : nullptr, withFile || unreadable ? file : nullptr, withData || unreadable);

  EXPECT_EQ(w->Title(), c.titleFromFile ? "Mothwick - dropped.jpg" : "Pixelmoth");
  switch (c.pic) {
    case Expect::TheData:
      EXPECT_EQ(w->pic, data);
      EXPECT_FALSE(w->pic->HasAlphaChannel());
      break;
    case Expect::TheFilesPicture:
      ASSERT_FALSE(w->pic.IsNil());
      EXPECT_EQ(w->pic->Width(), 500);
      EXPECT_EQ(w->pic->HasAlphaChannel(), decodedHasAlpha);
      break;
    case Expect::ThePreviousPicture:
      EXPECT_EQ(w->pic, previous);
      EXPECT_NE(w->fxLayer, previousLayer);
      break;
    case Expect::Nil:
      EXPECT_TRUE(w->pic.IsNil());
      break;
  }
  if (c.pic == Expect::Nil) {
    EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kNotAnImage});
    EXPECT_TRUE(TestSeams::LogLines().empty());
  } else {
    EXPECT_TRUE(TestSeams::MessageBoxes().empty());
    EXPECT_EQ(TestSeams::LogLines(), IntakeLines(w->pic->Width(), w->pic->Height()));
  }
}

INSTANTIATE_TEST_SUITE_P(Offers, DropTest, ::testing::ValuesIn(kDrops),
                         [](const ::testing::TestParamInfo<DropCase>& info) {
                           std::string name;
                           for (const char* ch = info.param.name; *ch; ++ch)
                             if (std::isalnum(static_cast<unsigned char>(*ch))) name += *ch;
                           return name;
                         });

}  // namespace
