// The paint's guard and view: what is drawn where, the caption, a view
// that shows a big picture faithfully at every zoom, and whose cost stays
// bounded by the canvas at any zoom.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "framework/TestSeams.h"
#include "render/View.h"
#include "tests/render/RenderFixture.h"

namespace {
// A colour per 2 x 2 block, so that a view at 0.5, where each shown pixel
// is the average of one block, shows block (k, j) at canvas offset (k, j).
Color BlockColour(std::int64_t bx, std::int64_t by) {
  return RGB(static_cast<int>(bx % 251), static_cast<int>(by % 241),
             static_cast<int>((bx / 251 + by / 241) % 256));
}
Ref<Picture> BlockPicture(std::int64_t w, std::int64_t h, std::int64_t block) {
  return MakePicture(w, h,
                     [block](std::int64_t x, std::int64_t y) { return BlockColour(x / block, y / block); });
}

class ViewTest : public RenderTest {
 protected:
  // A paint with every request set and a caption of its own in ZoomText,
  // for a paint that must leave all of them: the draw calls it made.
  std::vector<TestSeams::DrawCall> PaintWithEveryRequestSet() {
    SetAllFlags(true);
    w->ZoomText()->SetText("kept");
    TestSeams::ClearLog();
    std::vector<TestSeams::DrawCall> calls = PaintRecordingDraws();
    EXPECT_EQ(Flags(), std::vector<bool>(14, true));
    EXPECT_EQ(w->ZoomText()->Text(), "kept");
    return calls;
  }
};

TEST_F(ViewTest, NoPictureDrawsNothingAndLeavesEveryRequest) {
  Paint();
  const Ref<Picture> before = TestSeams::CanvasImage(*w->MainCanvas());

  EXPECT_TRUE(PaintWithEveryRequestSet().empty());

  EXPECT_TRUE(SamePixels(TestSeams::CanvasImage(*w->MainCanvas()), before));
  EXPECT_TRUE(TestSeams::LogLines().empty());
  EXPECT_EQ(w->zW, 0);
  EXPECT_EQ(w->theLeft, 0);
}

TEST_F(ViewTest, RequestsSetWithoutAPictureAreServedByTheFirstPaintWithOne) {
  w->applyFX = true;
  w->triggerFX3 = true;
  Paint();
  ASSERT_TRUE(w->applyFX);
  ASSERT_TRUE(w->triggerFX3);

  GivePicture(SolidPicture(120, 100, RGB(10, 20, 30)));
  TestSeams::ClearLog();
  Paint();

  EXPECT_FALSE(w->applyFX);
  EXPECT_FALSE(w->triggerFX3);
  EXPECT_EQ(TestSeams::LogLines(), std::vector<std::string>{"apply detected"});
}

// The invariant broken: pic without a preview layer. The paint stops where it
// fetches fxSurf, before drawing, captioning or serving anything.
TEST_F(ViewTest, NilPreviewLayerEndsThePaintBeforeAnythingIsDrawn) {
  GivePicture(SolidPicture(1000, 700, RGB(1, 2, 3)));
  w->fxLayer = nullptr;
  w->ZoomFactor = 0.5;

  EXPECT_TRUE(PaintWithEveryRequestSet().empty());

  EXPECT_EQ(w->zW, 500);  // the zoomed size comes before the surfaces
  EXPECT_EQ(w->theLeft, 0);
  const std::vector<std::string> log = TestSeams::LogLines();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("NilObjectException"), std::string::npos) << log[0];
}

TEST_F(ViewTest, ViewNumbersAndDrawCalls) {
  struct Case {
    std::int64_t picW, picH;
    double zoom;
    std::int64_t zW, zH, theLeft, theTop;
    double sourceW, sourceH;
  } cases[] = {
      // Halves truncated toward zero; at exactly 1.0 the source size is left out.
      {1001, 700, 1.0, 1001, 700, -45, -26, Graphics::kLeftOut, Graphics::kLeftOut},
      {1000, 700, 0.5, 500, 350, 205, 148, 1000, 700},
      {1000, 700, 1 / 1.2, 833, 583, 38, 32, 1000, 700},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom);
    GivePicture(SolidPicture(c.picW, c.picH, RGB(1, 2, 3)));
    w->ZoomFactor = c.zoom;
    const std::vector<TestSeams::DrawCall> calls = PaintRecordingDraws();
    EXPECT_EQ(w->zW, c.zW);
    EXPECT_EQ(w->zH, c.zH);
    EXPECT_EQ(w->theLeft, c.theLeft);
    EXPECT_EQ(w->theTop, c.theTop);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].picture, w->pic.Get());
    EXPECT_EQ(calls[1].picture, w->fxLayer.Get());
    for (const TestSeams::DrawCall& d : calls) {
      EXPECT_EQ(d.x, static_cast<double>(c.theLeft));
      EXPECT_EQ(d.y, static_cast<double>(c.theTop));
      EXPECT_EQ(d.destWidth, static_cast<double>(c.zW));
      EXPECT_EQ(d.destHeight, static_cast<double>(c.zH));
      EXPECT_EQ(d.sourceX, 0.0);
      EXPECT_EQ(d.sourceY, 0.0);
      EXPECT_EQ(d.sourceWidth, c.sourceW);
      EXPECT_EQ(d.sourceHeight, c.sourceH);
    }
  }
}

TEST_F(ViewTest, PanDragAndCorrectionTerms) {
  struct Case {
    double zoom;
    std::int64_t picX, mXDelta, permOffsetX, correctionX;
    std::int64_t picY, mYDelta, permOffsetY, correctionY;
    std::int64_t dx, dy;  // from the centred place
  } cases[] = {
      {1.0, 0, -10, 30, 0, 0, 0, 0, 0, 20, 0},    // a drag back during an accumulated pan
      {0.5, 0, -10, 30, 0, 0, 4, -9, 0, 20, -5},  // the always-zero corrections change nothing
      {1.0, 2, 0, 0, 7, 3, 0, 0, 5, 2, 3},        // at exactly 1.0 the corrections are left out
      {0.5, 2, 0, 0, 7, 3, 0, 0, 5, 9, 8},
  };
  GivePicture(SolidPicture(1000, 700, RGB(1, 2, 3)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom);
    w->ZoomFactor = c.zoom;
    w->picX = c.picX, w->mXDelta = c.mXDelta, w->permOffsetX = c.permOffsetX,
    w->ZoomCorrectionX = c.correctionX;
    w->picY = c.picY, w->mYDelta = c.mYDelta, w->permOffsetY = c.permOffsetY,
    w->ZoomCorrectionY = c.correctionY;
    const std::vector<TestSeams::DrawCall> calls = PaintRecordingDraws();
    ASSERT_EQ(calls.size(), 2u);
    for (const TestSeams::DrawCall& d : calls) {
      EXPECT_EQ(d.x, static_cast<double>(w->theLeft + c.dx));
      EXPECT_EQ(d.y, static_cast<double>(w->theTop + c.dy));
    }
  }
}

TEST_F(ViewTest, CanvasShowsThePictureWithThePreviewOverIt) {
  // 1001 x 700 at 1.0: drawn at (-45, -26) at its own size.
  GivePicture(BlockPicture(1001, 700, 1));
  w->fxLayer->RGBSurface().SetPixel(100, 50, RGB(255, 0, 255));
  Paint();
  EXPECT_EQ(CanvasPixel(0, 0), BlockColour(45, 26));
  EXPECT_EQ(CanvasPixel(909, 646), BlockColour(954, 672));
  EXPECT_EQ(CanvasPixel(55, 24), RGB(255, 0, 255));
  EXPECT_EQ(CanvasPixel(56, 24), BlockColour(101, 50));
  EXPECT_EQ(w->ZoomText()->Text(), "100%");
}

TEST_F(ViewTest, CanvasShowsTheScaledPictureAtItsCentredPlace) {
  // 1000 x 700 at 0.5: the whole picture scaled into 500 x 350 at (205, 148).
  Paint();
  const Color background = CanvasPixel(204, 148);
  GivePicture(BlockPicture(1000, 700, 2));
  w->ZoomFactor = 0.5;
  Paint();
  const std::pair<std::int64_t, std::int64_t> inside[] = {{0, 0}, {499, 349}, {250, 100}, {13, 340}};
  for (const auto& [k, j] : inside)
    EXPECT_EQ(CanvasPixel(205 + k, 148 + j), BlockColour(k, j)) << k << ", " << j;
  EXPECT_EQ(CanvasPixel(204, 148), background);
  EXPECT_EQ(CanvasPixel(705, 498), background);
  EXPECT_EQ(w->ZoomText()->Text(), "50%");
}

TEST_F(ViewTest, CaptionFollowsTheZoomOnEveryPaint) {
  GivePicture(SolidPicture(200, 100, RGB(1, 2, 3)));
  const std::pair<double, const char*> cases[] = {
      {1.0, "100%"}, {1.2 * 1.2 * 1.2, "172.80%"}, {1 / 1.2, "83.33%"}};
  for (const auto& [zoom, caption] : cases) {
    w->ZoomFactor = zoom;
    Paint();
    EXPECT_EQ(w->ZoomText()->Text(), caption);
  }
}

// A 6000 x 6000 picture at the factors a zoom key held for a minute reaches
// either way: the view touches only the canvas's pixels and nothing
// overflows (the suite runs under UBSan too).
TEST_F(ViewTest, ViewCostIsBoundedAtAnyZoom) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const Color inner = RGB(200, 30, 30), outer = RGB(20, 20, 200);
  auto big = MakeRef<Picture>(6000, 6000);
  {
    RGBSurface s = big->RGBSurface();
    for (std::int64_t y = 0; y < 6000; ++y)
      for (std::int64_t x = 0; x < 6000; ++x)
        s.SetPixel(x, y, (x >= 1000 && x < 5000 && y >= 1000 && y < 5000) ? inner : outer);
  }
  Paint();
  const Ref<Picture> empty = TestSeams::CanvasImage(*w->MainCanvas());
  GivePicture(big);

  w->ZoomFactor = 1e40;
  Paint();
  EXPECT_EQ(w->zW, kMax);
  EXPECT_EQ(w->zH, kMax);
  EXPECT_EQ(w->theLeft, CentredOffset(kCanvasW, kMax));
  EXPECT_TRUE(SamePixels(TestSeams::CanvasImage(*w->MainCanvas()), SolidPicture(kCanvasW, kCanvasH, inner)));

  // The pan at its limits as well: the sums stop at the limits, which puts
  // the picture right of and above the canvas. Sums that wrapped around would
  // bring it back over the whole canvas.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  w->permOffsetX = w->mXDelta = kMax;
  w->permOffsetY = w->mYDelta = kMin;
  const std::vector<TestSeams::DrawCall> calls = PaintRecordingDraws();
  ASSERT_EQ(calls.size(), 2u);
  for (const TestSeams::DrawCall& d : calls) {
    EXPECT_EQ(d.x, static_cast<double>(kMax));
    EXPECT_EQ(d.y, static_cast<double>(kMin));
  }
  EXPECT_TRUE(SamePixels(TestSeams::CanvasImage(*w->MainCanvas()), empty));
  w->permOffsetX = w->mXDelta = w->permOffsetY = w->mYDelta = 0;

  w->ZoomFactor = 1e-40;
  Paint();
  EXPECT_EQ(w->zW, 0);
  EXPECT_EQ(w->zH, 0);
  EXPECT_EQ(w->theLeft, 455);
  EXPECT_EQ(w->theTop, 323);
  EXPECT_TRUE(SamePixels(TestSeams::CanvasImage(*w->MainCanvas()), empty));
  EXPECT_EQ(w->ZoomText()->Text(), "0.00%");
}

// --- What the view shows, zoomed out, at 100 % and zoomed in ---------------------

const Color kBlack = RGB(0, 0, 0);
const Color kWhite = RGB(255, 255, 255);
const Color kGrey = RGB(90, 90, 90);
const Color kRed = RGB(255, 0, 0);

// The canvas's pixels where the picture is shown, as a picture of zW x zH.
Ref<Picture> Shown(const class MainWindow& w) {
  const Ref<Picture> canvas = TestSeams::CanvasImage(*w.MainCanvas());
  const RGBSurface c = canvas->RGBSurface();
  return MakePicture(w.zW, w.zH, [&](std::int64_t x, std::int64_t y) { return c.Pixel(w.theLeft + x, w.theTop + y); });
}

// One-pixel black and white lines zoomed out are grey, as any viewer shows
// them, never a sample of their black or white.
TEST_F(ViewTest, FineLinesZoomedOutShowTheirMean) {
  const struct {
    const char* name;
    Color (*f)(std::int64_t, std::int64_t);
  } patterns[] = {
      {"columns", [](std::int64_t x, std::int64_t) { return x % 2 ? kWhite : kBlack; }},
      {"rows", [](std::int64_t, std::int64_t y) { return y % 2 ? kWhite : kBlack; }},
  };
  for (const auto& pattern : patterns) {
    GivePicture(MakePicture(1820, 1294, pattern.f));
    for (const double zoom : {0.5, 0.25, 0.1}) {
      w->ZoomFactor = zoom;
      Paint();
      RGBSurface shown = Shown(*w)->RGBSurface();
      int lightest = 0, darkest = 255;
      for (std::int64_t y = 0; y < w->zH; ++y) {
        for (std::int64_t x = 0; x < w->zW; ++x) {
          lightest = std::max<int>(lightest, shown.Pixel(x, y).green);
          darkest = std::min<int>(darkest, shown.Pixel(x, y).green);
        }
      }
      EXPECT_LE(lightest, 131) << pattern.name << " at " << zoom;
      EXPECT_GE(darkest, 125) << pattern.name << " at " << zoom;
    }
  }
}

// Zoomed in, each picture pixel is a crisp square of the zoom's size.
TEST_F(ViewTest, ZoomedInPixelsAreCrispSquares) {
  auto checks = [](std::int64_t x, std::int64_t y) { return (x + y) % 2 ? kWhite : kBlack; };
  GivePicture(MakePicture(200, 150, checks));
  w->ZoomFactor = 4.0;
  Paint();
  ASSERT_EQ(w->zW, 800);
  EXPECT_TRUE(Shows(Shown(*w), [&](std::int64_t x, std::int64_t y) { return checks(x / 4, y / 4); }));
}

// A preview layer that shows nothing, fresh or written with transparent
// pixels, leaves the view exactly as the picture alone, at every zoom.
TEST_F(ViewTest, ATransparentPreviewLayerChangesNothingShown) {
  const Ref<Picture> pic = PhotoLikePicture(1500, 1100, 4);
  const Ref<Picture> written = MakePicture(1500, 1100, [](std::int64_t x, std::int64_t) {
    return x % 3 ? kTransparent : RGB(255, 0, 0, 255);
  });
  for (const double zoom : {0.1, 0.18, 1.0 / 3, 0.5, 1 / 1.2, 1.0, 1.44, 4.0}) {
    w->ZoomFactor = zoom;
    GivePicture(pic);
    const std::vector<TestSeams::DrawCall> calls = PaintRecordingDraws();
    ASSERT_EQ(calls.size(), 2u);
    const TestSeams::DrawCall& d = calls[0];
    const auto alone = MakeRef<Picture>(kCanvasW, kCanvasH);
    alone->Graphics().DrawPicture(pic, d.x, d.y, d.destWidth, d.destHeight, d.sourceX, d.sourceY, d.sourceWidth,
                                  d.sourceHeight);
    EXPECT_TRUE(SamePixels(TestSeams::CanvasImage(*w->MainCanvas()), alone)) << "fresh layer at " << zoom;

    w->fxLayer = written;
    Paint();
    EXPECT_TRUE(SamePixels(TestSeams::CanvasImage(*w->MainCanvas()), alone)) << "written layer at " << zoom;
  }
}

// Pixels written through a surface held from an earlier paint show in the
// next paint at every zoom, the picture's and the preview layer's alike: no
// reduced copy of the pixels before outlives the write.
TEST_F(ViewTest, WrittenPixelsShowInTheNextPaintAtEveryZoom) {
  for (const bool layer : {false, true}) {
    for (const double zoom : {0.1, 0.18, 0.37, 0.5, 1 / 1.2, 1.0, 1.44, 8.0}) {
      SCOPED_TRACE(std::string(layer ? "preview layer" : "picture") + " at " + std::to_string(zoom));
      GivePicture(SolidPicture(2000, 1500, kGrey));
      w->ZoomFactor = zoom;
      Paint();
      const RGBSurface held = (layer ? w->fxLayer : w->pic)->RGBSurface();
      Paint();  // the surface fetched, the reduced copies made
      const std::int64_t x = w->theLeft + w->zW / 2, y = w->theTop + w->zH / 2;
      ASSERT_EQ(CanvasPixel(x, y), kGrey);

      // Around the shown pixel's footprint, and the reduced copy's pixels
      // that it reads.
      const auto half = static_cast<std::int64_t>(2 / zoom) + 20;
      for (std::int64_t j = 750 - half; j < 750 + half; ++j)
        for (std::int64_t i = 1000 - half; i < 1000 + half; ++i) held.SetPixel(i, j, kRed);
      Paint();
      EXPECT_EQ(CanvasPixel(x, y), kRed);
    }
  }
}
}  // namespace
