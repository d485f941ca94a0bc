// Zoom steps of 1.2 by the buttons and the minus and equals keys, the snap
// to exactly 1.0 inside (0.91, 1.09), and the timer's repaint on every tick.
#include <string>
#include <vector>

#include "framework/Numbers.h"
#include "framework/Picture.h"
#include "framework/System.h"
#include "framework/TestSeams.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/Texts.h"

namespace {

enum class Entry { InButton, OutButton, MinusKey, EqualsKey };

class ZoomTest : public EditorFixture {
 protected:
  void Step(Entry e) {
    switch (e) {
      case Entry::InButton: w->ZoomInButton_Action(*w->ZoomInButton()); break;
      case Entry::OutButton: w->ZoomOutButton_Action(*w->ZoomOutButton()); break;
      case Entry::MinusKey: Tick({Keyboard::kMinusKey}); break;
      case Entry::EqualsKey: Tick({Keyboard::kEqualsKey}); break;
    }
  }

  void Tick(const std::vector<int>& held) {
    for (int k : held) TestSeams::SetKeyDown(k, true);
    TestSeams::FireTimer(*w->mainTimer());
    for (int k : held) TestSeams::SetKeyDown(k, false);
  }
};

bool IsIn(Entry e) { return e == Entry::InButton || e == Entry::EqualsKey; }
bool IsButton(Entry e) { return e == Entry::InButton || e == Entry::OutButton; }

struct ZoomCase {
  const char* name;
  double start;
  std::vector<Entry> steps;
  std::vector<double> factors;  // after each step; 1.0 stands for a snap, compared exactly
};

const ZoomCase kCases[] = {
    {"in, in from 1.0", 1.0, {Entry::InButton, Entry::InButton}, {1.2, 1.44}},
    {"out, out from 1.44 snaps, buttons", 1.44, {Entry::OutButton, Entry::OutButton}, {1.2, 1.0}},
    {"out, out from 1.44 snaps, keys", 1.44, {Entry::MinusKey, Entry::MinusKey}, {1.2, 1.0}},
    {"out from 1.0 leaves the window, in snaps back", 1.0, {Entry::OutButton, Entry::InButton}, {1 / 1.2, 1.0}},
    {"holding minus", 1.0, {Entry::MinusKey, Entry::MinusKey, Entry::MinusKey}, {0.833333333333, 0.694444444444, 0.578703703704}},
    {"from a fitted 0.5", 0.5, {Entry::InButton, Entry::InButton, Entry::EqualsKey, Entry::InButton}, {0.6, 0.72, 0.864, 1.0}},
    {"next exactly 1.09 does not snap", 0.9083333333333334, {Entry::InButton}, {1.09}},
    {"next exactly 1.09 from above does not snap", 1.308, {Entry::OutButton}, {1.09}},
    {"next exactly 0.91 does not snap", 0.7583333333333334, {Entry::EqualsKey}, {0.91}},
    {"a run of steps passes the window by", 0.909, {Entry::InButton, Entry::InButton}, {1.0908, 1.30896}},
};

TEST_F(ZoomTest, StepSequences) {
  for (const ZoomCase& c : kCases) {
    SCOPED_TRACE(c.name);
    w->ZoomFactor = c.start;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      SCOPED_TRACE("step " + std::to_string(i + 1));
      const Entry e = c.steps[i];
      TestSeams::ClearLog();
      w->mXDelta = 8;
      w->mYDelta = -3;
      Step(e);
      const double expected = c.factors[i];
      const bool snapped = expected == 1.0;
      if (snapped) {
        EXPECT_EQ(w->ZoomFactor, 1.0);
      } else {
        EXPECT_NEAR(w->ZoomFactor, expected, 1e-9);
        EXPECT_NE(w->ZoomFactor, 1.0);
      }
      std::vector<std::string> lines = {IsIn(e) ? "zoom in" : "zoom out"};
      if (snapped && IsButton(e)) lines.push_back("---> triggered snap to 100%");
      lines.push_back(Str(w->ZoomFactor));
      EXPECT_EQ(Log(), lines);
      EXPECT_EQ(w->mXDelta, 0);
      EXPECT_EQ(w->mYDelta, 0);
    }
  }
}

TEST_F(ZoomTest, ExactBoundsAreReachedExactly) {
  // The boundary cases above rely on these products landing on the bounds.
  EXPECT_EQ(0.9083333333333334 * 1.2, 1.09);
  EXPECT_EQ(1.308 / 1.2, 1.09);
  EXPECT_EQ(0.7583333333333334 * 1.2, 0.91);
}

TEST_F(ZoomTest, StepLeavesThePanAndAsksForARepaint) {
  w->permOffsetX = 30;
  w->permOffsetY = -12;
  const std::int64_t paints = Paints();
  w->ZoomInButton_Action(*w->ZoomInButton());
  EXPECT_EQ(Paints(), paints + 1);
  EXPECT_EQ(w->permOffsetX, 30);
  EXPECT_EQ(w->permOffsetY, -12);
}

// Each step repaints at once and every tick repaints once more.
TEST_F(ZoomTest, TimerTicks) {
  struct Case {
    const char* name;
    std::vector<int> held;
    std::vector<std::string> log;
    double factor;
    std::int64_t paints;
  };
  const Case cases[] = {
      {"no key", {}, {}, 1.0, 1},
      {"minus", {Keyboard::kMinusKey}, {"zoom out", Str(1 / 1.2)}, 1 / 1.2, 2},
      // Out first, then in: 1 / 1.2 * 1.2 lands in the window and snaps, silently.
      {"both keys", {Keyboard::kMinusKey, Keyboard::kEqualsKey}, {"zoom out", Str(1 / 1.2), "zoom in", "1"}, 1.0, 3},
      {"another key", {Keyboard::kMinusKey + 1}, {}, 1.0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    w->ZoomFactor = 1.0;
    TestSeams::ClearLog();
    const std::int64_t paints = Paints();
    Tick(c.held);
    EXPECT_EQ(Log(), c.log);
    EXPECT_EQ(w->ZoomFactor, c.factor);
    EXPECT_EQ(Paints() - paints, c.paints);
  }
}

// "my-glitch-2=.jpeg" typed into the save dialog while the timer ticks
// behind it: the view stays at the 100 % of the export.
TEST_F(ZoomTest, KeysTypedIntoTheSaveDialogDoNotZoom) {
  GivePicture(SolidPicture(300, 200, RGB(10, 20, 30)));
  w->ZoomFactor = 0.5;
  TestSeams::ClearLog();
  int ticks = 0;
  TestSeams::InsideNextDialog([&] {
    for (int key : {Keyboard::kMinusKey, Keyboard::kMinusKey, Keyboard::kEqualsKey}) {
      TestSeams::PhysicalKey(key, true);
      TestSeams::FireTimer(*w->mainTimer());
      TestSeams::PhysicalKey(key, false);
      ++ticks;
    }
  });
  w->SaveButton_Action(*w->SaveButton());
  ASSERT_EQ(ticks, 3);
  EXPECT_EQ(Log(), texts::kExportLogLines) << "the export's lines only";
  EXPECT_EQ(w->ZoomFactor, 1.0);
  TestSeams::FireTimer(*w->mainTimer());
  EXPECT_EQ(w->ZoomText()->Text(), "100%");
}

}  // namespace
