// Pan by dragging: screen movement since the press, folded into the
// accumulated pan on release.
#include <string>

#include "framework/System.h"
#include "framework/TestSeams.h"
#include "tests/support/EditorFixture.h"

namespace {

class PanTest : public EditorFixture {
 protected:
  bool Press(std::int64_t x, std::int64_t y) {
    TestSeams::SetMousePosition(x, y);
    // The event's canvas position is not used: give one far from the screen's.
    return w->MainCanvas_MouseDown(*w->MainCanvas(), 3, 4);
  }
  void DragTo(std::int64_t x, std::int64_t y) {
    TestSeams::SetMousePosition(x, y);
    w->MainCanvas_MouseDrag(*w->MainCanvas(), 5, 6);
  }
  void Release() { w->MainCanvas_MouseUp(*w->MainCanvas(), 7, 8); }
  MouseCursor Cursor() const { return w->MainCanvas()->MouseCursor(); }

  void ExpectIdle() {
    EXPECT_FALSE(w->draggedFlag);
    EXPECT_EQ(w->mX, 0);
    EXPECT_EQ(w->mY, 0);
    EXPECT_EQ(w->mXDelta, 0);
    EXPECT_EQ(w->mYDelta, 0);
  }
};

TEST_F(PanTest, DragMovesByTheScreenMovementAndFoldsItInOnRelease) {
  GivePicture(SolidPicture(120, 100, RGB(9, 9, 9)));
  w->permOffsetX = 5;
  w->permOffsetY = 7;
  w->ZoomFactor = 2.5;  // the pan is in canvas pixels at any zoom

  EXPECT_TRUE(Press(500, 300));
  EXPECT_EQ(Cursor(), System::Cursors::HandOpen);
  EXPECT_EQ(w->mX, 500);
  EXPECT_EQ(w->mY, 300);

  const std::int64_t paints = Paints();
  DragTo(540, 275);
  EXPECT_EQ(Paints(), paints + 1);
  EXPECT_TRUE(w->draggedFlag);
  EXPECT_EQ(w->mXDelta, 40);
  EXPECT_EQ(w->mYDelta, -25);
  EXPECT_EQ(w->permOffsetX, 5) << "the accumulated pan changes only on release";
  EXPECT_EQ(w->permOffsetY, 7);

  Release();
  EXPECT_EQ(Paints(), paints + 2);
  EXPECT_EQ(w->permOffsetX, 45);
  EXPECT_EQ(w->permOffsetY, -18);
  ExpectIdle();
  EXPECT_EQ(Cursor(), System::Cursors::StandardPointer);
}

TEST_F(PanTest, TwoDragsAddUp) {
  GivePicture(SolidPicture(120, 100, RGB(9, 9, 9)));
  w->permOffsetX = -2;
  w->permOffsetY = 1;
  Press(100, 100);
  DragTo(104, 100);  // an intermediate position counts for nothing
  DragTo(110, 100);
  Release();
  Press(50, 60);
  DragTo(46, 66);
  Release();
  EXPECT_EQ(w->permOffsetX, -2 + 6);
  EXPECT_EQ(w->permOffsetY, 1 + 6);
  ExpectIdle();
}

TEST_F(PanTest, PressAndReleaseWithoutDragChangeOnlyThePressPosition) {
  GivePicture(SolidPicture(120, 100, RGB(9, 9, 9)));
  w->permOffsetX = 12;
  const std::initializer_list<std::string> pressOnly = {"mX", "mY", "MainCanvas.MouseCursor"};
  const auto before = Snapshot(pressOnly);
  Press(640, 480);
  Release();
  EXPECT_EQ(Snapshot(pressOnly), before);
  EXPECT_EQ(w->mX, 640);
  EXPECT_EQ(w->mY, 480);
  EXPECT_EQ(Cursor(), System::Cursors::HandOpen) << "the open hand stays";
}

TEST_F(PanTest, WithoutPictureADragMovesNothing) {
  w->permOffsetX = 3;
  const std::int64_t paints = Paints();
  EXPECT_TRUE(Press(500, 300));
  DragTo(540, 275);
  Release();
  EXPECT_EQ(Paints(), paints);
  EXPECT_FALSE(w->draggedFlag);
  EXPECT_EQ(w->mXDelta, 0);
  EXPECT_EQ(w->mYDelta, 0);
  EXPECT_EQ(w->permOffsetX, 3);
  EXPECT_EQ(w->permOffsetY, 0);
  EXPECT_EQ(w->mX, 500) << "the press is still taken";
  EXPECT_EQ(Cursor(), System::Cursors::HandOpen);
}

// A zoom step during a drag clears the deltas; the next drag event
// recomputes them from the press.
TEST_F(PanTest, ZoomStepDuringDragIsOvertakenByTheNextDragEvent) {
  GivePicture(SolidPicture(120, 100, RGB(9, 9, 9)));
  Press(200, 200);
  DragTo(230, 190);
  w->ZoomInButton_Action(*w->ZoomInButton());
  EXPECT_EQ(w->mXDelta, 0);
  DragTo(231, 190);
  EXPECT_EQ(w->mXDelta, 31);
  EXPECT_EQ(w->mYDelta, -10);
  Release();
  EXPECT_EQ(w->permOffsetX, 31);
  EXPECT_EQ(w->permOffsetY, -10);
}

}  // namespace
