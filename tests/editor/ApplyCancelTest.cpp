// Apply and Cancel record their request, log it and repaint; the superglitch
// switch sets the mode, and turning it off requests an apply only while the
// working picture and the preview layer are one picture.
#include <string>

#include "framework/TestSeams.h"
#include "tests/support/EditorFixture.h"

namespace {

using ApplyCancelTest = EditorFixture;

void Request(class MainWindow& m, bool apply) {
  if (apply) {
    m.ApplyButton_Action(*m.ApplyButton());
  } else {
    m.CancelButton_Action(*m.CancelButton());
  }
}

const char* LineOf(bool apply) { return apply ? "apply set to true" : "cancel set to true"; }

// Without a picture no paint serves the request: it stays pending, and
// nothing but the flag changes.
TEST_F(ApplyCancelTest, WithoutPictureTheRequestIsRecordedLoggedAndRepainted) {
  for (const bool apply : {true, false}) {
    SCOPED_TRACE(LineOf(apply));
    w->applyFX = w->cancelFX = false;
    w->FXSlider()->SetVisible(true);
    TestSeams::ClearLog();
    const auto before = Snapshot({"applyFX", "cancelFX", "paints"});
    const std::int64_t paints = Paints();

    Request(*w, apply);

    EXPECT_EQ(w->applyFX, apply);
    EXPECT_EQ(w->cancelFX, !apply);
    EXPECT_EQ(Log(), std::vector<std::string>{LineOf(apply)});
    EXPECT_EQ(Paints(), paints + 1);
    EXPECT_EQ(Snapshot({"applyFX", "cancelFX", "paints"}), before);
  }
}

// Neither handler tests the picture. Inside a paint the repaint is only
// marked, so the request can be seen before a paint serves it.
TEST_F(ApplyCancelTest, WithPictureTheRequestIsMadeTheSameWay) {
  for (const bool apply : {true, false}) {
    SCOPED_TRACE(LineOf(apply));
    GivePicture(SolidPicture(120, 100, RGB(5, 6, 7)));
    w->applyFX = w->cancelFX = false;
    std::int64_t paints = 0;
    DuringPaint([&] {
      TestSeams::ClearLog();
      paints = Paints();
      Request(*w, apply);
      EXPECT_EQ(w->applyFX, apply);
      EXPECT_EQ(w->cancelFX, !apply);
      EXPECT_EQ(Log(), std::vector<std::string>{LineOf(apply)});
    });
    EXPECT_GT(Paints(), paints) << "asks for a repaint";
  }
}

// State 0 unchecked, 1 checked, 2 mixed. The handler logs nothing and leaves
// the repaint to the timer.
TEST_F(ApplyCancelTest, SuperglitchSwitchSetsTheModeAndMendsTheApplyOnSwitchingOff) {
  enum class Pictures { None, Separate, OnePicture };
  struct Case {
    const char* name;
    Pictures pictures;
    bool modeBefore;
    std::int64_t state;
    bool mode;
    bool applyRequested;
  };
  const Case cases[] = {
      {"checked", Pictures::Separate, false, 1, true, false},
      {"checked, no picture", Pictures::None, false, 1, true, false},
      {"mixed", Pictures::Separate, true, 2, false, false},
      // After an apply in superglitch mode: separates the two, keeping the result.
      {"unchecked, one picture", Pictures::OnePicture, true, 0, false, true},
      // An apply here would make the empty preview layer the working picture.
      {"unchecked, separate pictures", Pictures::Separate, true, 0, false, false},
      {"unchecked, no picture", Pictures::None, true, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    w->pic = nullptr;
    w->fxLayer = nullptr;
    if (c.pictures != Pictures::None) GivePicture(SolidPicture(120, 100, RGB(50, 60, 70)));
    if (c.pictures == Pictures::OnePicture) w->fxLayer = w->pic;
    w->superGlitchMode = c.modeBefore;
    w->applyFX = false;
    w->superGlitchModeCHK()->SetState(c.state);
    TestSeams::ClearLog();
    const std::int64_t paints = Paints();
    const Ref<Picture> pic = w->pic, layer = w->fxLayer;

    w->superGlitchModeCHK_Action(*w->superGlitchModeCHK());

    EXPECT_EQ(w->superGlitchMode, c.mode);
    EXPECT_EQ(w->applyFX, c.applyRequested);
    EXPECT_FALSE(w->cancelFX);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Paints(), paints);
    EXPECT_EQ(w->pic.Get(), pic.Get());
    EXPECT_EQ(w->fxLayer.Get(), layer.Get());
  }
}

// The superglitch switch, Apply, Cancel, the effect buttons, the slider and
// the timer together, through the paints they bring and the real effects.
class SuperglitchFlowTest : public EditorFixture {
 protected:
  void SetUp() override {
    EditorFixture::SetUp();
    GivePicture(PhotoLikePicture(120, 100));
  }
  void Switch(std::int64_t state) {
    w->superGlitchModeCHK()->SetState(state);
    w->superGlitchModeCHK_Action(*w->superGlitchModeCHK());
  }
  void Press(void (MainWindow::*handler)(BevelButton&)) { ((*w).*handler)(*w->FX1()); }
  void Tick() { TestSeams::FireTimer(*w->mainTimer()); }
  // What the picture shows now, kept apart from it.
  static Ref<Picture> Copy(const Ref<Picture>& p) {
    RGBSurface s = p->RGBSurface();
    return MakePicture(p->Width(), p->Height(), [&](std::int64_t x, std::int64_t y) { return s.Pixel(x, y); });
  }
  // Switched on, a YGlitch preview applied: pic and fxLayer are one picture.
  void ApplyInSuperglitchMode() {
    Switch(1);
    Press(&MainWindow::FX1_Action);
    w->ApplyButton_Action(*w->ApplyButton());
    ASSERT_EQ(w->pic, w->fxLayer);
  }
};

TEST_F(SuperglitchFlowTest, EffectsPileUpInThePictureAndCancelKeepsThem) {
  ApplyInSuperglitchMode();
  const Ref<Picture> one = w->pic;

  Press(&MainWindow::FX1_Action);
  const Ref<Picture> first = Copy(one);
  w->FXSlider()->SetValue(60);
  w->FXSlider_ValueChanged(*w->FXSlider());
  const Ref<Picture> second = Copy(one);
  EXPECT_EQ(w->pic, one);
  EXPECT_EQ(w->fxLayer, one);
  EXPECT_FALSE(SamePixels(first, second)) << "the slider's recomputation changed the picture again";

  w->CancelButton_Action(*w->CancelButton());

  EXPECT_EQ(w->pic, one);
  EXPECT_TRUE(SamePixels(w->pic, second));
  EXPECT_TRUE(IsFreshLayer(w->fxLayer, 120, 100));
}

TEST_F(SuperglitchFlowTest, SwitchingOffSeparatesThePicturesAtTheTimersPaint) {
  ApplyInSuperglitchMode();
  const Ref<Picture> one = w->pic;
  const Ref<Picture> shown = Copy(one);
  const std::int64_t paints = Paints();

  Switch(0);
  EXPECT_FALSE(w->superGlitchMode);
  EXPECT_TRUE(w->applyFX);
  EXPECT_EQ(Paints(), paints);

  Tick();

  EXPECT_FALSE(w->applyFX);
  EXPECT_EQ(w->pic, one);
  EXPECT_TRUE(SamePixels(w->pic, shown));
  EXPECT_TRUE(IsFreshLayer(w->fxLayer, 120, 100));
}

// Without an apply in between the pictures are separate, and switching off
// must not make the empty preview layer the working picture.
TEST_F(SuperglitchFlowTest, SwitchingOnAndOffKeepsTheImage) {
  const Ref<Picture> image = w->pic;
  Switch(1);
  Switch(0);
  Tick();
  EXPECT_EQ(w->pic, image);
  EXPECT_TRUE(SamePixels(w->pic, PhotoLikePicture(120, 100)));
}

// The switch asks for an apply without a repaint; the effect button's paint
// serves the apply first and then the effect, in place in the picture.
TEST_F(SuperglitchFlowTest, AnEffectPressedBeforeThePendingApplyIsServedWorksInPlace) {
  ApplyInSuperglitchMode();
  const Ref<Picture> one = w->pic;
  const Ref<Picture> before = Copy(one);
  Switch(0);

  Press(&MainWindow::FX3_Action);

  EXPECT_FALSE(w->applyFX);
  EXPECT_FALSE(w->triggerFX3);
  EXPECT_EQ(w->pic, one);
  EXPECT_FALSE(SamePixels(w->pic, before)) << "Blockr wrote into the picture";
  EXPECT_TRUE(IsFreshLayer(w->fxLayer, 120, 100));
  EXPECT_EQ(w->ToolText()->Text(), "Blockr");
  EXPECT_EQ(w->currentTool, 0);
  ExpectPreviewControls(false);
}

}  // namespace
