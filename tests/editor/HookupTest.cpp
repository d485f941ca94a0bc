// Every hooked control event, raised through the framework, reaches its
// handler. Some handlers belong to other parts of the editor (loading,
// saving, the about window, the paint); for those the test looks for their
// first visible effect.
#include <algorithm>
#include <functional>
#include <string>

#include "framework/Dialogs.h"
#include "framework/TestSeams.h"
#include "shell/AboutPixelmoth.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/Texts.h"

namespace {

using HookupTest = EditorFixture;

bool HasMessage(const std::string& text) {
  const auto boxes = TestSeams::MessageBoxes();
  return std::find(boxes.begin(), boxes.end(), text) != boxes.end();
}

TEST_F(HookupTest, EffectButtonsReachTheirHandlers) {
  GivePicture(SolidPicture(120, 100, RGB(90, 60, 30)));
  for (int n = 1; n <= 12; ++n) {
    const Ref<BevelButton> button = w->ControlAs<BevelButton>("FX" + std::to_string(n));
    button->Action.Raise(*button);
    EXPECT_EQ(w->currentTool, n) << button->Name();
  }
}

TEST_F(HookupTest, EditorControlsReachTheirHandlers) {
  struct Case {
    const char* name;
    std::function<void()> raise;
    std::function<bool()> handled;
  };
  const Ref<Canvas> canvas = w->MainCanvas();
  std::int64_t tickPaints = 0;
  bool pressTaken = false;
  const Case cases[] = {
      {"mainTimer Action",
       [&] {
         const std::int64_t before = Paints();
         TestSeams::FireTimer(*w->mainTimer());
         tickPaints = Paints() - before;
       },
       [&] { return tickPaints == 1; }},
      {"FXSlider ValueChanged",
       [&] {
         w->currentTool = 7;
         w->FXSlider()->ValueChanged.Raise(*w->FXSlider());
       },
       [&] { return w->triggerFX7; }},
      {"ApplyButton Action", [&] { w->ApplyButton()->Action.Raise(*w->ApplyButton()); },
       [&] { return w->applyFX; }},
      {"CancelButton Action", [&] { w->CancelButton()->Action.Raise(*w->CancelButton()); },
       [&] { return w->cancelFX; }},
      {"superGlitchModeCHK Action",
       [&] {
         w->superGlitchModeCHK()->SetState(1);
         w->superGlitchModeCHK()->Action.Raise(*w->superGlitchModeCHK());
       },
       [&] { return w->superGlitchMode; }},
      {"ZoomInButton Action", [&] { w->ZoomInButton()->Action.Raise(*w->ZoomInButton()); },
       [&] { return w->ZoomFactor == 1.2; }},
      {"ZoomOutButton Action", [&] { w->ZoomOutButton()->Action.Raise(*w->ZoomOutButton()); },
       [&] { return w->ZoomFactor == 1.0; }},  // 1.2 / 1.2 snaps back
      {"MainCanvas Open",
       [&] {
         w->currentTool = 3;
         canvas->Open.Raise(*canvas);
       },
       [&] { return w->currentTool == 0; }},
      {"MainCanvas MouseDown",
       [&] {
         TestSeams::SetMousePosition(500, 300);
         pressTaken = canvas->MouseDown.Raise(*canvas, 1, 2);
       },
       [&] { return pressTaken && w->mX == 500 && w->mY == 300; }},
      {"MainCanvas MouseDrag",
       [&] {
         GivePicture(SolidPicture(120, 100, RGB(1, 2, 3)));
         TestSeams::SetMousePosition(510, 296);
         canvas->MouseDrag.Raise(*canvas, 3, 4);
       },
       [&] { return w->draggedFlag && w->mXDelta == 10 && w->mYDelta == -4; }},
      {"MainCanvas MouseUp", [&] { canvas->MouseUp.Raise(*canvas, 3, 4); },
       [&] { return !w->draggedFlag && w->permOffsetX == 10 && w->permOffsetY == -4; }},
  };
  for (const Case& c : cases) {
    c.raise();
    EXPECT_TRUE(c.handled()) << c.name;
  }
  EXPECT_TRUE(canvas->GotFocus.IsHooked());  // its handler does nothing
}

// Handlers written beside loading, saving, the about window and the paint.
TEST_F(HookupTest, ToolButtonsAndCanvasReachTheHandlersOfTheirSubsystems) {
  const int dialogs = TestSeams::OpenDialogCount();
  w->LoadButton()->Action.Raise(*w->LoadButton());  // no answer queued: cancelled
  EXPECT_EQ(TestSeams::OpenDialogCount(), dialogs + 1) << "LoadButton";

  w->ButtonAbout()->Action.Raise(*w->ButtonAbout());
  EXPECT_FALSE(GetImplicitWindow(AboutPixelmoth::kClassName).IsNil()) << "ButtonAbout";

  const Ref<Canvas> canvas = w->MainCanvas();
  DragItem nothing(nullptr, nullptr, false);
  canvas->DropObject.Raise(*canvas, nothing, 0);
  EXPECT_TRUE(HasMessage(texts::kNotAnImage)) << "MainCanvas DropObject";

  GivePicture(SolidPicture(120, 100, RGB(1, 2, 3)));
  w->ApplyButton()->SetVisible(true);
  w->SaveButton()->Action.Raise(*w->SaveButton());
  EXPECT_TRUE(HasMessage(texts::kApplyOrCancel)) << "SaveButton";

  canvas->Refresh(true);
  EXPECT_EQ(w->zW, 120) << "MainCanvas Paint";
}

}  // namespace
