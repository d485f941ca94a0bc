// The canvas's paint rules, its mouse and drop events, and DrawInto.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/TestSeams.h"
#include "tests/framework/UiFixtures.h"
#include "tests/support/Pictures.h"

namespace {
class CanvasTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    w = BuildWindow({P("Width", 400), P("Height", 300), P("Visible", true)}, [this](ScratchWindow& self) {
      canvas = self.Add<Canvas>("Area", "Canvas", Place(10, 20, 200, 100) + PropertySet{P("Transparent", true)});
    });
    TestSeams::ProcessEvents();  // the paint that the first sizing queued
    canvas->Paint.AddHandler([this](Canvas& c, Graphics& g, const std::vector<Rect>& areas) {
      ++depth;
      maxDepth = std::max(maxDepth, depth);
      events.push_back("begin");
      EXPECT_TRUE(c.IsPainting());
      lastAreas = areas;
      if (onPaint) onPaint(g);
      events.push_back("end");
      --depth;
    });
  }
  std::int64_t Paints() const { return TestSeams::PaintCount(*canvas); }

  std::shared_ptr<ScratchWindow> w;
  std::shared_ptr<Canvas> canvas;
  std::function<void(Graphics&)> onPaint;
  std::vector<std::string> events;
  std::vector<Rect> lastAreas;
  int depth = 0, maxDepth = 0;
};

TEST_F(CanvasTest, RefreshOutsideAPaintRunsItBeforeReturning) {
  const std::int64_t before = Paints();
  canvas->Refresh(true);
  EXPECT_EQ(Paints(), before + 1);
  EXPECT_EQ(events, (std::vector<std::string>{"begin", "end"}));
  ASSERT_EQ(lastAreas.size(), 1u);
  EXPECT_EQ(lastAreas[0].width, 200);
  EXPECT_EQ(lastAreas[0].height, 100);
  EXPECT_FALSE(canvas->IsPainting());
}

TEST_F(CanvasTest, RepaintsAskedInsideAPaintNeverNestAndBringExactlyOneMore) {
  int run = 0;
  onPaint = [&](Graphics&) {
    if (++run == 1) {
      canvas->Refresh(true);
      canvas->Invalidate(true);
      canvas->Refresh(true);
    }
  };
  const std::int64_t before = Paints();
  canvas->Refresh(true);
  EXPECT_EQ(Paints(), before + 2);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"begin", "end", "begin", "end"}));
  TestSeams::ProcessEvents();
  EXPECT_EQ(Paints(), before + 2) << "nothing was left queued";

  // A paint that always asks for another returns all the same, and its last
  // request is not lost: the event loop runs it.
  onPaint = [&](Graphics&) { canvas->Refresh(true); };
  canvas->Refresh(true);
  EXPECT_EQ(Paints(), before + 2 + 65);
  onPaint = nullptr;
  TestSeams::ProcessEvents();
  EXPECT_EQ(Paints(), before + 2 + 66);
  EXPECT_EQ(maxDepth, 1);
}

TEST_F(CanvasTest, InvalidateOutsideAPaintQueuesOneCoalescedPaint) {
  const std::int64_t before = Paints();
  canvas->Invalidate(true);
  canvas->Invalidate(true);
  EXPECT_EQ(Paints(), before);
  TestSeams::ProcessEvents();
  EXPECT_EQ(Paints(), before + 1);
}

TEST_F(CanvasTest, EachPaintStartsFromATransparentStoreOfTheCanvasSize) {
  const Color red = RGB(255, 0, 0);
  auto solid = SolidPicture(5, 5, red);
  int run = 0;
  onPaint = [&](Graphics& g) { g.DrawPicture(solid, ++run == 1 ? 0 : 50, 0); };
  canvas->Refresh(true);
  canvas->Refresh(true);
  Ref<Picture> shown = TestSeams::CanvasImage(*canvas);
  ASSERT_FALSE(shown.IsNil());
  EXPECT_EQ(shown->Width(), 200);
  EXPECT_EQ(shown->Height(), 100);
  EXPECT_EQ(shown->RGBSurface().Pixel(2, 2), kTransparent) << "the first paint's drawing is gone";
  EXPECT_EQ(shown->RGBSurface().Pixel(52, 2), red);

  // A resize queues a paint into a store of the new size.
  const std::int64_t before = Paints();
  canvas->SetWidth(120);
  EXPECT_EQ(Paints(), before);
  TestSeams::ProcessEvents();
  EXPECT_EQ(Paints(), before + 1);
  EXPECT_EQ(TestSeams::CanvasImage(*canvas)->Width(), 120);
}

// Made larger than its window for a moment, as the export makes it, the
// canvas paints into a store that ends where the window does; drawn into
// another Graphics it still paints its whole size.
TEST_F(CanvasTest, AStoreEndsAtTheWindowHoweverLargeTheCanvas) {
  const Color red = RGB(255, 0, 0);
  auto solid = SolidPicture(6000, 5000, red);
  onPaint = [&](Graphics& g) { g.DrawPicture(solid, 0, 0); };
  canvas->SetWidth(6000);
  canvas->SetHeight(5000);
  canvas->Refresh(true);
  // The window is 400 x 300 and the canvas starts at (10, 20).
  Ref<Picture> shown = TestSeams::CanvasImage(*canvas);
  EXPECT_EQ(shown->Width(), 390);
  EXPECT_EQ(shown->Height(), 280);
  ASSERT_EQ(lastAreas.size(), 1u);
  EXPECT_EQ(lastAreas[0].width, 390);
  EXPECT_EQ(lastAreas[0].height, 280);
  EXPECT_EQ(shown->RGBSurface().Pixel(389, 279), red);
  EXPECT_EQ(canvas->Width(), 6000);

  auto capture = MakeRef<Picture>(6000, 5000);
  Graphics g = capture->Graphics();
  canvas->DrawInto(g, 0, 0);
  EXPECT_TRUE(SamePixels(capture, solid));

  canvas->SetWidth(200);
  canvas->SetHeight(100);
  canvas->Refresh(true);
  EXPECT_EQ(TestSeams::CanvasImage(*canvas)->Width(), 200);
  EXPECT_EQ(TestSeams::CanvasImage(*canvas)->Height(), 100);
}

TEST_F(CanvasTest, DrawIntoPaintsIntoAnotherGraphicsAtTheOffset) {
  const Color blue = RGB(0, 0, 255);
  auto dot = MakeRef<Picture>(1, 1);
  dot->RGBSurface().SetPixel(0, 0, blue);
  onPaint = [&](Graphics& g) {
    g.DrawPicture(dot, 0, 0);
    canvas->Refresh(true);  // as a served request does
  };
  auto target = MakeRef<Picture>(40, 30);
  Graphics g = target->Graphics();
  const std::int64_t before = Paints();
  canvas->DrawInto(g, 7, 5);
  EXPECT_EQ(Paints(), before + 1);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_TRUE(lastAreas.empty());
  EXPECT_EQ(target->RGBSurface().Pixel(7, 5), blue);
  EXPECT_EQ(target->RGBSurface().Pixel(0, 0), kTransparent);
  // The repaint asked for meanwhile reaches the screen afterwards, not the target.
  onPaint = nullptr;
  TestSeams::ProcessEvents();
  EXPECT_EQ(Paints(), before + 2);
}

TEST_F(CanvasTest, AFailingPaintIsLoggedAndTheNextPaintRuns) {
  onPaint = [](Graphics&) { throw OutOfBoundsException("x"); };
  TestSeams::ClearLog();
  canvas->Refresh(true);
  EXPECT_EQ(TestSeams::LogLines().size(), 1u);
  EXPECT_FALSE(canvas->IsPainting());
  onPaint = nullptr;
  const std::int64_t before = Paints();
  canvas->Refresh(true);
  EXPECT_EQ(Paints(), before + 1);
}

TEST_F(CanvasTest, APressAnsweredTrueBringsDragsAndTheRelease) {
  std::vector<std::string> got;
  bool answer = false;
  canvas->MouseDown.AddHandler([&](Canvas&, std::int64_t x, std::int64_t y) {
    got.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    return answer;
  });
  canvas->MouseDrag.AddHandler([&](Canvas&, std::int64_t x, std::int64_t y) {
    got.push_back("drag " + std::to_string(x) + "," + std::to_string(y));
  });
  canvas->MouseUp.AddHandler([&](Canvas&, std::int64_t x, std::int64_t y) {
    got.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  });
  using TestSeams::MouseStep;
  for (bool a : {false, true}) {
    answer = a;
    TestSeams::Mouse(*canvas, MouseStep::Press, 5, 6);
    TestSeams::Mouse(*canvas, MouseStep::Move, 15, 16);
    TestSeams::Mouse(*canvas, MouseStep::Release, 25, 26);
  }
  EXPECT_EQ(got, (std::vector<std::string>{"down 5,6", "down 5,6", "drag 15,16", "up 25,26"}));
}

TEST_F(CanvasTest, DropsOfPicturesAndOfFilesOfTheAcceptedType) {
  struct Dropped {
    bool picture, file;
    std::int64_t width;  // -1: the picture data could not be read
    std::string name;
  };
  std::vector<Dropped> got;
  canvas->DropObject.AddHandler([&](Canvas&, DragItem& item, std::int64_t) {
    const Ref<Picture> picture = item.Picture();
    got.push_back({item.PictureAvailable(), item.FolderItemAvailable(), picture ? picture->Width() : -1,
                   item.FolderItemAvailable() ? item.FolderItem()->DisplayName() : ""});
  });
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pixelmoth-drop-test";
  std::filesystem::create_directories(dir);
  const std::string jpeg = (dir / "photo.jpg").string(), png = (dir / "photo.png").string();
  std::ofstream(jpeg) << "x";
  std::ofstream(png) << "x";

  EXPECT_FALSE(TestSeams::Drop(*canvas, MakeRef<Picture>(120, 110), "")) << "nothing accepted yet";
  canvas->AcceptPictureDrop();
  canvas->AcceptFileDrop("image/jpeg");
  EXPECT_TRUE(TestSeams::Drop(*canvas, MakeRef<Picture>(120, 110), ""));
  EXPECT_TRUE(TestSeams::Drop(*canvas, nullptr, jpeg));
  EXPECT_FALSE(TestSeams::Drop(*canvas, nullptr, png));
  // Picture data that cannot be read still reaches the handler, to be refused there.
  EXPECT_TRUE(TestSeams::Drop(*canvas, Picture::Undecoded(120, 110), ""));
  ASSERT_EQ(got.size(), 3u);
  EXPECT_TRUE(got[0].picture);
  EXPECT_FALSE(got[0].file);
  EXPECT_EQ(got[0].width, 120);
  EXPECT_FALSE(got[1].picture);
  EXPECT_TRUE(got[1].file);
  EXPECT_EQ(got[1].name, "photo.jpg");
  EXPECT_TRUE(got[2].picture);
  EXPECT_EQ(got[2].width, -1);
  EXPECT_FALSE(got[2].file);
  std::filesystem::remove_all(dir);
}
}  // namespace
