// The effect buttons select an effect and request its preview; the slider
// requests the selected effect again.
#include <functional>
#include <ostream>
#include <string>

#include "app/Pixelmoth.h"
#include "framework/TestSeams.h"
#include "render/effects/Effect.h"
#include "tests/render/effects/EffectHarness.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/Texts.h"

namespace {

class EffectButtonsTest : public EditorFixture {
 protected:
  void Press(int n) {
    using Handler = void (MainWindow::*)(BevelButton&);
    static constexpr Handler kHandlers[] = {
        &MainWindow::FX1_Action, &MainWindow::FX2_Action,  &MainWindow::FX3_Action,
        &MainWindow::FX4_Action, &MainWindow::FX5_Action,  &MainWindow::FX6_Action,
        &MainWindow::FX7_Action, &MainWindow::FX8_Action,  &MainWindow::FX9_Action,
        &MainWindow::FX10_Action, &MainWindow::FX11_Action, &MainWindow::FX12_Action,
    };
    const Ref<BevelButton> button = w->ControlAs<BevelButton>("FX" + std::to_string(n));
    std::invoke(kHandlers[n - 1], *w, *button);
  }

  void ExpectPreviewPending(int n) {
    EXPECT_EQ(w->currentTool, n);
    EXPECT_EQ(w->FXSlider()->Value(), 20);
    ExpectPreviewControls(true);
  }

  std::vector<int> SetTriggers() {
    std::vector<int> set;
    for (int n = 1; n <= 12; ++n)
      if (w->EffectTrigger(n)) set.push_back(n);
    return set;
  }

  void SetUp() override {
    EditorFixture::SetUp();
    picture = SolidPicture(120, 100, RGB(200, 120, 40));
  }

  Ref<Picture> picture;
};

TEST_F(EffectButtonsTest, WithoutPictureNoButtonChangesAnything) {
  w->currentTool = 4;
  w->FXSlider()->SetValue(63);
  w->triggerFX9 = true;
  for (int n = 1; n <= 12; ++n) {
    const auto before = Snapshot();
    Press(n);
    EXPECT_EQ(Snapshot(), before) << "FX" << n;
  }
}

// Each button requests its own effect: the trigger of its number and no other.
TEST_F(EffectButtonsTest, EachButtonRequestsItsOwnEffect) {
  GivePicture(picture);
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE("FX" + std::to_string(n));
    w->MainCanvas_Open(*w->MainCanvas());
    w->FXSlider()->SetValue(77);
    const std::int64_t paints = Paints();
    DuringPaint([&] {
      Press(n);
      EXPECT_EQ(SetTriggers(), std::vector<int>{n});
      ExpectPreviewPending(n);
    });
    EXPECT_GE(Paints(), paints + 2) << "the button asks for a repaint";
    EXPECT_EQ(w->pic.Get(), picture.Get()) << "no picture is touched";
    for (int m = 1; m <= 12; ++m) w->EffectTrigger(m) = false;
  }
}

// The repaint runs the paint before the handler returns: Blockr is computed
// into the preview layer and its request served.
TEST_F(EffectButtonsTest, PressingFX3WithPictureComputesItsPreviewAtOnce) {
  GivePicture(picture);
  const std::int64_t paints = Paints();
  Press(3);
  ExpectPreviewPending(3);
  EXPECT_GT(Paints(), paints);
  EXPECT_FALSE(w->triggerFX3);
  EXPECT_EQ(w->ToolText()->Text(), "Blockr");
  EXPECT_FALSE(IsFreshLayer(w->fxLayer, 120, 100)) << "the preview layer holds Blockr's result";
  EXPECT_TRUE(SamePixels(w->pic, SolidPicture(120, 100, RGB(200, 120, 40))));
}

TEST_F(EffectButtonsTest, SameButtonTwicePutsTheSliderBackAndRequestsAgain) {
  GivePicture(picture);
  Press(3);
  w->FXSlider()->SetValue(64);
  w->triggerFX3 = false;  // as the paint leaves it once served
  DuringPaint([&] {
    Press(3);
    EXPECT_TRUE(w->triggerFX3);
    ExpectPreviewPending(3);
  });
}

// The slider's value is assigned from code, which raises no ValueChanged:
// effect 3 is not requested once more at strength 20.
TEST_F(EffectButtonsTest, AnotherButtonWhilePreviewPendingSwitchesEffect) {
  GivePicture(picture);
  Press(3);
  struct Case {
    const char* name;
    bool effect3StillPending;
  };
  for (const Case c : {Case{"effect 3 served", false}, Case{"effect 3 not yet served", true}}) {
    SCOPED_TRACE(c.name);
    w->currentTool = 3;
    w->FXSlider()->SetValue(45);
    DuringPaint([&] {
      w->triggerFX3 = c.effect3StillPending;  // set here, after this paint's own service
      Press(5);
      EXPECT_EQ(w->triggerFX3, c.effect3StillPending);
      EXPECT_TRUE(w->triggerFX5);
      ExpectPreviewPending(5);
    });
    w->triggerFX5 = false;
  }
}

// The slider's handler tests no picture and reads no value: it requests
// whatever effect is selected, and repaints in every case.
TEST_F(EffectButtonsTest, SliderRequestsTheSelectedEffectAndAlwaysRepaints) {
  struct Case {
    std::int64_t currentTool;
    std::vector<int> requested;
  };
  for (const Case& c : {Case{7, {7}}, Case{0, {}}, Case{1, {1}}, Case{12, {12}}}) {
    SCOPED_TRACE(c.currentTool);
    w->currentTool = c.currentTool;
    for (int m = 1; m <= 12; ++m) w->EffectTrigger(m) = false;
    const bool sliderVisible = w->FXSlider()->Visible();
    const std::int64_t paints = Paints();
    w->FXSlider_ValueChanged(*w->FXSlider());
    EXPECT_EQ(SetTriggers(), c.requested);
    EXPECT_EQ(Paints(), paints + 1);
    EXPECT_EQ(w->currentTool, c.currentTool);
    EXPECT_EQ(w->FXSlider()->Visible(), sliderVisible);
  }
  EXPECT_TRUE(w->pic.IsNil()) << "the requests wait for a picture";
}

// Button n previews effect n: a click on it, through its handler and the
// paint it asks for, leaves in the preview layer exactly what effect n
// computes on its own from the same picture, strength and seeds, and the
// caption names effect n. Hertz reads the view: at this zoom its step is
// one less than at 100 %.
struct ButtonCase {
  int n;
  EffectFunction effect;
};
void PrintTo(const ButtonCase& c, std::ostream* os) { *os << "FX" << c.n; }

class EffectButtonPreviewTest : public EditorFixture, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(EffectButtonPreviewTest, ClickPreviewsItsOwnEffect) {
  constexpr std::uint64_t kSeed = 41, kRndSeed = 43;
  constexpr std::int64_t W = 160, H = 120;
  constexpr double kZoom = 1 / 1.2;  // shows the picture at 133 x 100
  const ButtonCase& c = GetParam();
  GivePicture(PhotoLikePicture(W, H, 3));
  w->ZoomFactor = kZoom;
  TestSeams::Seed(*App()->glitchRandom, kSeed);
  TestSeams::SeedRnd(kRndSeed);

  ASSERT_TRUE(TestSeams::Click(*w->ControlAs<BevelButton>("FX" + std::to_string(c.n))));

  const Ref<Picture> source = PhotoLikePicture(W, H, 3);
  const Ref<Picture> expected =
      RunEffect(c.effect, source, {.v = 20, .seed = kSeed, .rndSeed = kRndSeed, .zoomFactor = kZoom}).fxLayer;
  ASSERT_FALSE(IsFreshLayer(expected, W, H)) << "the effect changes this picture";

  EXPECT_TRUE(SamePixels(w->fxLayer, expected));
  EXPECT_EQ(w->ToolText()->Text(), texts::EffectName(c.n));
  EXPECT_TRUE(SamePixels(w->pic, source)) << "the working picture stays as it was";
}

INSTANTIATE_TEST_SUITE_P(
    EveryButton, EffectButtonPreviewTest,
    ::testing::Values(ButtonCase{1, &YGlitch}, ButtonCase{2, &Hertz}, ButtonCase{3, &Blockr},
                      ButtonCase{4, &Ghost}, ButtonCase{5, &Diacritix}, ButtonCase{6, &Taraxacum},
                      ButtonCase{7, &Coaxial}, ButtonCase{8, &Corrupted}, ButtonCase{9, &Broken},
                      ButtonCase{10, &BadCopy}, ButtonCase{11, &Amplifier}, ButtonCase{12, &Overdrive}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return "FX" + std::to_string(info.param.n); });

}  // namespace
