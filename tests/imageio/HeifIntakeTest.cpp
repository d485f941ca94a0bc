// Phone and web photos (HEIC, AVIF) chosen in the open dialog load as any
// picture does: named in the title, turned as recorded, given an alpha
// channel, the view fitted.

#include <string>
#include <vector>

#include "editor/MainWindow.h"
#include "framework/TestSeams.h"
#include "tests/imageio/ImageIoTest.h"
#include "tests/support/HeifFiles.h"

namespace {

TEST_F(ImageIoTest, PhonePhotosLoadThroughTheDialog) {
  const struct {
    const char* name;
    HeifKind kind;
  } cases[] = {{"IMG_0001.HEIC", HeifKind{}}, {"photo.avif", HeifKind{HeifKind::Codec::Av1, 10, false}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestSeams::ClearMessageBoxes();
    const std::string file = HeifFile(PhotoLikePicture(320, 240, 5), c.kind, 6);  // held upright
    WriteBytes(files.Path(c.name), AsBytes(file));

    LoadThroughDialog(files.File(c.name));

    ASSERT_FALSE(w->pic.IsNil());
    EXPECT_TRUE(TestSeams::MessageBoxes().empty());
    EXPECT_EQ(w->Title(), std::string("Mothwick - ") + c.name);
    EXPECT_EQ(w->originalPicW, 240);
    EXPECT_EQ(w->originalPicH, 320);
    EXPECT_TRUE(w->pic->HasAlphaChannel());
    EXPECT_EQ(w->fxLayer->Width(), 240);
  }
}

}  // namespace
