// Controls: property sets kept and acted on, every event kind reaching its
// handler through the toolkit, the dispatch's treatment of exceptions, timers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/Runtime.h"
#include "framework/TestSeams.h"
#include "tests/framework/UiFixtures.h"

namespace {
using ControlsTest = UiTest;

std::shared_ptr<ScratchWindow> EmptyWindow() { return BuildWindow({P("Width", 500), P("Height", 400), P("Visible", true)}); }

TEST_F(ControlsTest, PropertySetsAreKeptAndActedOn) {
  auto w = EmptyWindow();
  auto label = w->Add<Label>("Zoom", "Label",
                             Place(898, 4, 59, 20) + PropertySet{P("Text", "100%"), P("TextAlign", 1),
                                                                 P("TextColor", RGB(181, 181, 181)), P("TabIndex", 11),
                                                                 P("Visible", false)});
  EXPECT_EQ(label->Text(), "100%");
  EXPECT_FALSE(label->Visible());
  EXPECT_FALSE(TestSeams::Native(*label).shown);
  EXPECT_EQ(TestSeams::Native(*label).alignment, 1);
  ASSERT_NE(label->Property("TabIndex"), nullptr) << "kept although nothing acts on it";
  EXPECT_EQ(std::get<std::int64_t>(*label->Property("TabIndex")), 11);

  // A later set replaces what an earlier one gave.
  label->SetProperties(EncodePropertySet({P("TextAlign", 2), P("Visible", true)}, "Label"));
  EXPECT_EQ(TestSeams::Native(*label).alignment, 2);
  EXPECT_TRUE(TestSeams::Native(*label).shown);
  EXPECT_EQ(std::get<std::int64_t>(*label->Property("TextAlign")), 2);
  const PropertySet& all = label->Properties();
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const Property& p) { return p.name == "TextAlign"; }), 1);

  // A label shows carriage returns as line breaks but gives its text back as set.
  label->SetText("one\r\rtwo");
  EXPECT_EQ(label->Text(), "one\r\rtwo");
  EXPECT_EQ(TestSeams::Native(*label).text, "one\n\ntwo");

  auto slider = w->Add<Slider>("Strength", "Slider",
                               Place(175, 5, 100, 23) + PropertySet{P("Minimum", 1), P("Maximum", 100), P("Value", 20),
                                                                    P("LineStep", 1), P("PageStep", 20)});
  EXPECT_EQ(slider->Value(), 20);
  slider->SetValue(500);
  EXPECT_EQ(slider->Value(), 100) << "held within the range";
  EXPECT_EQ(slider->Minimum(), 1);
  EXPECT_EQ(slider->Maximum(), 100);

  auto box = w->Add<CheckBox>("Switch", "CheckBox", Place(10, 10, 95, 20) + PropertySet{P("Value", true)});
  EXPECT_EQ(box->State(), 1);
  box->SetState(2);
  EXPECT_EQ(box->State(), 2);
}

// The switch must be seen on the editor's dark window, unchecked as checked:
// its box stands out from the window's colour.
TEST_F(ControlsTest, ACheckBoxShowsItsBoxOnADarkWindow) {
  const Color back = RGB(40, 40, 42);
  auto w = BuildWindow({P("Width", 300), P("Height", 100), P("Visible", true), P("HasBackColor", true),
                        P("BackColor", back)});
  auto box = w->Add<CheckBox>("Switch", "CheckBox", Place(10, 10, 95, 20) + PropertySet{P("Caption", "")});
  for (std::int64_t state : {0, 1}) {
    SCOPED_TRACE(state);
    box->SetState(state);
    const Ref<Picture> shown = TestSeams::ControlImage(*box);
    ASSERT_FALSE(shown.IsNil());
    const RGBSurface s = shown->RGBSurface();
    int standingOut = 0;
    for (std::int64_t y = 0; y < shown->Height(); ++y) {
      for (std::int64_t x = 0; x < shown->Width(); ++x) {
        const Color c = s.Pixel(x, y);
        standingOut += std::max({std::abs(c.red - back.red), std::abs(c.green - back.green), std::abs(c.blue - back.blue)}) >= 60;
      }
    }
    EXPECT_GE(standingOut, 40) << "the edge of the box";
  }
}

TEST_F(ControlsTest, EveryEventKindReachesItsHandlerThroughTheToolkit) {
  auto w = EmptyWindow();
  std::vector<std::string> got;
  auto bevel = w->Add<BevelButton>("Tool", "BevelButton", Place(10, 10, 30, 30));
  auto push = w->Add<PushButton>("Apply", "PushButton", Place(50, 10, 80, 20) + PropertySet{P("Caption", "Apply")});
  auto check = w->Add<CheckBox>("Switch", "CheckBox", Place(10, 50, 95, 20));
  auto slider = w->Add<Slider>("Strength", "Slider",
                               Place(10, 80, 100, 23) + PropertySet{P("Minimum", 1), P("Maximum", 100), P("Value", 20),
                                                                    P("LiveScroll", false)});
  bevel->Action.AddHandler([&](BevelButton& b) { got.push_back("bevel " + b.Name()); });
  push->Action.AddHandler([&](PushButton& b) { got.push_back("push " + b.Caption()); });
  check->Action.AddHandler([&](CheckBox& c) { got.push_back("check " + std::to_string(c.State())); });
  slider->ValueChanged.AddHandler([&](Slider& s) { got.push_back("slider " + std::to_string(s.Value())); });

  EXPECT_TRUE(TestSeams::Click(*bevel));
  EXPECT_TRUE(TestSeams::Click(*push));
  EXPECT_TRUE(TestSeams::Click(*check));
  EXPECT_TRUE(TestSeams::Click(*check));
  EXPECT_TRUE(TestSeams::DragSlider(*slider, 63));
  EXPECT_EQ(got, (std::vector<std::string>{"bevel Tool", "push Apply", "check 1", "check 0", "slider 63"}));

  // Assignments from code raise nothing, also when the value does not change.
  got.clear();
  slider->SetValue(20);
  slider->SetValue(20);
  check->SetState(1);
  slider->SetProperties(EncodePropertySet({P("Value", 30)}, "Slider"));
  EXPECT_TRUE(got.empty());

  // A person cannot click what is hidden or disabled.
  push->SetVisible(false);
  check->SetEnabled(false);
  EXPECT_FALSE(TestSeams::Click(*push));
  EXPECT_FALSE(TestSeams::Click(*check));
  EXPECT_TRUE(got.empty());
}

TEST_F(ControlsTest, AHandlerThatThrowsIsLoggedOnceAndTheNextEventRuns) {
  auto w = EmptyWindow();
  auto push = w->Add<PushButton>("Go", "PushButton", Place(10, 10, 80, 20));
  int calls = 0;
  push->Action.AddHandler([&](PushButton&) {
    ++calls;
    Ref<Picture> none;
    if (calls == 1) (void)none->Width();  // a member of nil
  });
  TestSeams::ClearLog();
  EXPECT_TRUE(TestSeams::Click(*push));
  const std::vector<std::string> log = TestSeams::LogLines();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("NilObjectException"), std::string::npos) << log[0];
  EXPECT_TRUE(TestSeams::Click(*push));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(TestSeams::LogLines().size(), 1u);
}

TEST_F(ControlsTest, MembersOfNilThrowNilObjectException) {
  Ref<Label> noLabel;
  EXPECT_THROW(noLabel->Text(), NilObjectException);
  Ref<ScratchWindow> noWindow;
  EXPECT_THROW(noWindow->ControlAs<Label>("Zoom"), NilObjectException);
  auto w = EmptyWindow();
  w->Add<Label>("Zoom", "Label", Place(0, 0, 10, 10));
  EXPECT_TRUE(w->ControlAs<Label>("Missing").IsNil());
  EXPECT_THROW(w->ControlAs<Slider>("Zoom"), IllegalCastException);
}

TEST_F(ControlsTest, BevelButtonsNeedTheClassicControlsPlugin) {
  auto w = EmptyWindow();
  fw::SetClassicControlsAvailable(false);
  EXPECT_THROW(w->New<BevelButton>(), UnsupportedOperationException);
  FillPluginEntryPoints();
  auto b = w->New<BevelButton>();
  b->SetIcon(MakeRef<Picture>(24, 24));
  EXPECT_EQ(b->Icon()->Width(), 24);
  b->SetIcon(nullptr);
  EXPECT_TRUE(b->Icon().IsNil());
}

TEST_F(ControlsTest, TimersFireByHandRepeatOrOnceAndStopWithTheirWindow) {
  auto w = EmptyWindow();
  int fired = 0;
  auto make = [&](const char* name, int period, int mode) {
    auto t = w->Add<Timer>(name, "Timer", {P("Period", period), P("Mode", mode)});
    t->Action.AddHandler([&](Timer&) { ++fired; });
    return t;
  };
  auto off = make("Off", 1, 0);
  EXPECT_FALSE(TestSeams::TimerRunning(*off));
  TestSeams::FireTimer(*off);
  EXPECT_EQ(fired, 1) << "whatever the mode";

  fired = 0;
  auto repeating = make("Repeating", 1, 2);
  EXPECT_TRUE(TestSeams::ProcessEvents(5000, [&] { return fired >= 3; })) << "a repeating timer fires again and again";
  EXPECT_TRUE(TestSeams::TimerRunning(*repeating));
  repeating->SetMode(0);

  fired = 0;
  auto once = make("Once", 1, 1);
  EXPECT_TRUE(TestSeams::ProcessEvents(5000, [&] { return fired >= 1; }));
  TestSeams::ProcessEvents(20);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(once->Mode(), 0);
  EXPECT_FALSE(TestSeams::TimerRunning(*once));

  repeating->SetMode(2);
  w->Close();
  fired = 0;
  EXPECT_FALSE(TestSeams::TimerRunning(*repeating));
  TestSeams::ProcessEvents(20);
  EXPECT_EQ(fired, 0);
}
}  // namespace
