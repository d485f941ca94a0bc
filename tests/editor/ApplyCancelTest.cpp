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

}  // namespace
