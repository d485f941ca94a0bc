// Windows: the live window of a class, construction order, property sets,
// controls placed (also inside a group box), locks, closing.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/TestSeams.h"
#include "framework/Window.h"
#include "tests/framework/UiFixtures.h"

namespace {
using WindowTest = UiTest;

class AccessorWindow : public ScratchWindow {
 public:
  static constexpr const char* kClassName = "Accessor.Accessor";
  AccessorWindow() : ScratchWindow(kClassName) {
    layout = [](ScratchWindow& w) { w.ApplyWindowProperties({P("Width", 300), P("Height", 200)}); };
    createControls = [](ScratchWindow& w) { w.Add<Label>("Caption", "Label", Place(10, 10, 100, 20)); };
  }
  int builds = 0;
  void Layout() override {
    ++builds;
    ScratchWindow::Layout();
  }
};
Ref<AccessorWindow> Accessor() { return ImplicitInstance<AccessorWindow>(AccessorWindow::kClassName); }

TEST_F(WindowTest, TheAccessorGivesOneWindowUntilItCloses) {
  Ref<AccessorWindow> first = Accessor();
  Ref<AccessorWindow> again = Accessor();
  EXPECT_TRUE(first == again);
  EXPECT_EQ(first->builds, 1) << "the second call neither rebuilds nor resets";
  EXPECT_TRUE(GetImplicitWindow(AccessorWindow::kClassName) == Ref<Window>(first));
  EXPECT_TRUE(GetImplicitWindow("Other.Other").IsNil());

  first->Close();
  EXPECT_FALSE(first->IsOpen());
  EXPECT_TRUE(GetImplicitWindow(AccessorWindow::kClassName).IsNil());
  EXPECT_EQ(first->ControlAs<Label>("Caption")->Width(), 100) << "a closed window's object lives on";

  Ref<AccessorWindow> fresh = Accessor();
  EXPECT_FALSE(fresh == first);
  EXPECT_EQ(fresh->builds, 1);
}

TEST_F(WindowTest, ConstructorRunsLayoutControlsThenTheOpenEvents) {
  auto w = BuildWindow({P("Width", 400), P("Height", 300)}, [](ScratchWindow& self) {
    self.Add<Label>("First", "Label", Place(0, 0, 50, 20));
    self.Add<Timer>("Clock", "Timer", {P("Period", 1000), P("Mode", 0)});
    self.Add<Canvas>("Second", "Canvas", Place(0, 30, 50, 50));
  });
  EXPECT_EQ(w->calls, (std::vector<std::string>{"Layout", "CreateControls", "Open First", "Open Second", "Event_Open"}));
  const std::vector<std::string> trace = TestSeams::RuntimeTrace();
  EXPECT_EQ(trace, std::vector<std::string>{"Window Scratch.Scratch"});
}

TEST_F(WindowTest, AWindowThatFailsToBuildIsNotLeftLive) {
  auto w = std::make_shared<ScratchWindow>();
  w->createControls = [](ScratchWindow& self) {
    self.Add<Label>("Ok", "Label", Place(0, 0, 10, 10));
    Ref<Label> missing;
    missing->SetText("x");
  };
  EXPECT_THROW(w->Constructor(), NilObjectException);
  EXPECT_TRUE(GetImplicitWindow("Scratch.Scratch").IsNil());
  EXPECT_FALSE(w->IsOpen());
}

std::string Text(const TestSeams::NativeWindow& n) {
  return std::string(n.shown ? "shown" : "hidden") + (n.titleBar ? " title-bar" : "") + (n.closeButton ? " close" : "") +
         (n.minimizeButton ? " minimise" : "") + (n.maximizeButton ? " maximise" : "") +
         (n.fixedSize ? " fixed" : "") + " " + std::to_string(n.width) + "x" + std::to_string(n.height) + " min " +
         std::to_string(n.minWidth) + "x" + std::to_string(n.minHeight) + " max " + std::to_string(n.maxWidth) + "x" +
         std::to_string(n.maxHeight) + " '" + n.title + "'";
}

TEST_F(WindowTest, PropertySetsShapeTheWindow) {
  struct Case {
    const char* what;
    PropertySet props;
    TestSeams::NativeWindow expected;
  };
  PropertySet splash = {P("Width", 600), P("Height", 400), P("MinWidth", 64), P("MinHeight", 64),
                        P("MaxWidth", 20000), P("MaxHeight", 20000), P("Frame", 5), P("Title", "Untitled"),
                        P("CloseButton", false), P("Resizeable", false), P("MaximizeButton", false),
                        P("MinimizeButton", false), P("FullScreenButton", false), P("Placement", 2),
                        P("Visible", true), P("HasBackColor", true), P("BackColor", RGB(65, 66, 66))};
  PropertySet about = {P("Width", 600), P("Height", 400), P("MinWidth", 600), P("MinHeight", 400),
                       P("MaxWidth", 20000), P("MaxHeight", 20000), P("Frame", 9), P("Title", ""),
                       P("CloseButton", true), P("Resizeable", true), P("MaximizeButton", false),
                       P("MinimizeButton", true), P("FullScreenButton", false), P("Placement", 2),
                       P("Visible", true)};
  PropertySet hidden = {P("Width", 320), P("Height", 240), P("Title", "Later"), P("Visible", false)};
  const Case cases[] = {
      // exists shown title close min max fixed  w h minW minH maxW maxH title
      {"editor", EditorWindowProperties(), {true, true, true, true, true, true, false, 1000, 700, 800, 600, 20000, 20000, "Pixelmoth"}},
      {"splash", splash, {true, true, false, false, false, false, true, 600, 400, 600, 400, 600, 400, "Untitled"}},
      {"about", about, {true, true, true, true, true, false, false, 600, 400, 600, 400, 20000, 20000, ""}},
      {"hidden", hidden, {true, false, true, true, true, true, false, 320, 240, 64, 64, 32000, 32000, "Later"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto w = BuildWindow(c.props);
    EXPECT_EQ(Text(TestSeams::Native(*w)), Text(c.expected)) << "on screen";
    EXPECT_EQ(w->Visible(), c.expected.shown);
    EXPECT_EQ(w->Width(), c.expected.width);
    EXPECT_EQ(w->Height(), c.expected.height);
    EXPECT_EQ(w->Title(), c.expected.title);
    w->Close();
    EXPECT_FALSE(TestSeams::Native(*w).exists);
  }
}

TEST_F(WindowTest, ShowBringsBackAHiddenWindowAndTheSizeStaysWithinItsLimits) {
  auto w = BuildWindow(EditorWindowProperties() + PropertySet{P("Visible", false)});
  EXPECT_FALSE(w->Visible());
  w->Show();
  EXPECT_TRUE(w->Visible());
  w->SetWidth(100);
  w->SetHeight(30000);
  EXPECT_EQ(w->Width(), 800);
  EXPECT_EQ(w->Height(), 20000);
  EXPECT_EQ(TestSeams::Native(*w).width, 800);
}

TEST_F(WindowTest, ALaterPropertySetChangesOnlyWhatItNames) {
  auto w = BuildWindow(EditorWindowProperties());
  TestSeams::ResizeByUser(*w, 1200, 900);
  w->SetTitle("Mothwick - photo.jpg");
  w->ApplyWindowProperties({P("BackColor", RGB(1, 2, 3)), P("MinWidth", 1100)});
  EXPECT_EQ(w->Width(), 1200);
  EXPECT_EQ(w->Height(), 900);
  EXPECT_EQ(w->Title(), "Mothwick - photo.jpg");
  EXPECT_EQ(w->MinWidth(), 1100);
  EXPECT_EQ(TestSeams::Native(*w).minWidth, 1100);
  EXPECT_TRUE(*FindProperty(w->Properties(), "BackColor") == PropertyValue{RGB(1, 2, 3)});
  EXPECT_TRUE(*FindProperty(w->Properties(), "Width") == PropertyValue{std::int64_t{1000}}) << "kept as given";
  w->ApplyWindowProperties({P("Width", 900)});
  EXPECT_EQ(w->Width(), 1100) << "held within the new minimum";
}

// The main window's kind of layout: a tool column (a group box with a button
// in it), a canvas locked on all sides, controls locked top-right, a notice
// locked to the bottom.
std::shared_ptr<ScratchWindow> EditorLikeWindow() {
  return BuildWindow(EditorWindowProperties(), [](ScratchWindow& w) {
    const PropertySet leftTop = {P("LockLeft", true), P("LockTop", true)};
    const PropertySet topRight = {P("LockTop", true), P("LockRight", true)};
    w.Add<GroupBox>("Tools", "GroupBox", Place(13, 5, 46, 679) + leftTop);
    w.Add<PushButton>("InTools", "PushButton",
                      Place(21, 13, 30, 30) + leftTop + PropertySet{P("InitialParent", "Tools"), P("HelpTag", "Load Image")});
    w.Add<Canvas>("Area", "Canvas",
                  Place(71, 37, 910, 647) + leftTop + PropertySet{P("LockRight", true), P("LockBottom", true)});
    w.Add<Slider>("Strength", "Slider", Place(175, 5, 100, 23) + leftTop);
    w.Add<CheckBox>("Switch", "CheckBox", Place(765, 5, 95, 20) + topRight);
    w.Add<PushButton>("ZoomIn", "PushButton", Place(957, 3, 22, 21) + topRight);
    w.Add<Label>("Notice", "Label",
                 Place(20, 660, 960, 20) + PropertySet{P("LockLeft", true), P("LockRight", true), P("LockBottom", true)});
  });
}

struct Geometry {
  const char* name;
  std::int64_t left, top, width, height;
};

void ExpectGeometry(const Window& w, const std::vector<Geometry>& table) {
  for (const Geometry& g : table) {
    SCOPED_TRACE(g.name);
    const Ref<RectControl> c = w.ControlAs<RectControl>(g.name);
    EXPECT_EQ(c->Left(), g.left);
    EXPECT_EQ(c->Top(), g.top);
    EXPECT_EQ(c->Width(), g.width);
    EXPECT_EQ(c->Height(), g.height);
    const TestSeams::NativeControl n = TestSeams::Native(*c);
    EXPECT_EQ(n.left, g.left) << "on screen";
    EXPECT_EQ(n.top, g.top) << "on screen";
    EXPECT_EQ(n.width, g.width) << "on screen";
    EXPECT_EQ(n.height, g.height) << "on screen";
  }
}

const std::vector<Geometry> kAsBuilt = {
    {"Tools", 13, 5, 46, 679},     {"InTools", 21, 13, 30, 30}, {"Area", 71, 37, 910, 647},
    {"Strength", 175, 5, 100, 23}, {"Switch", 765, 5, 95, 20},  {"ZoomIn", 957, 3, 22, 21},
    {"Notice", 20, 660, 960, 20},
};
// 200 wider and higher: the top-right pair moves, the canvas and the notice
// stretch, the tool column keeps its height.
const std::vector<Geometry> kEnlarged = {
    {"Tools", 13, 5, 46, 679},     {"InTools", 21, 13, 30, 30}, {"Area", 71, 37, 1110, 847},
    {"Strength", 175, 5, 100, 23}, {"Switch", 965, 5, 95, 20},  {"ZoomIn", 1157, 3, 22, 21},
    {"Notice", 20, 860, 1160, 20},
};

TEST_F(WindowTest, ControlsArePlacedInWindowCoordinatesAlsoInsideAGroupBox) {
  auto w = EditorLikeWindow();
  ExpectGeometry(*w, kAsBuilt);
  Ref<PushButton> inTools = w->ControlAs<PushButton>("InTools");
  EXPECT_EQ(TestSeams::Native(*inTools).toolTip, "Load Image");
  EXPECT_EQ(inTools->HelpTag(), "Load Image");
  // Moving the group box carries what is inside it.
  w->ControlAs<GroupBox>("Tools")->SetLeft(23);
  EXPECT_EQ(inTools->Left(), 31);
  EXPECT_EQ(TestSeams::Native(*inTools).left, 31);
}

TEST_F(WindowTest, LocksMoveAndStretchControlsWhenTheWindowIsEnlarged) {
  for (bool byUser : {false, true}) {
    SCOPED_TRACE(byUser ? "resized by the user" : "resized from code");
    auto w = EditorLikeWindow();
    w->calls.clear();
    if (byUser) {
      TestSeams::ResizeByUser(*w, 1200, 900);
    } else {
      w->SetWidth(1200);
      w->SetHeight(900);
    }
    EXPECT_EQ(w->Width(), 1200);
    EXPECT_EQ(w->Height(), 900);
    ExpectGeometry(*w, kEnlarged);
    EXPECT_FALSE(w->calls.empty());
    for (const std::string& call : w->calls) EXPECT_EQ(call, "Event_Resized");
    // Back to the first size: everything where it was.
    w->SetWidth(1000);
    w->SetHeight(700);
    ExpectGeometry(*w, kAsBuilt);
    w->Close();
  }
}

TEST_F(WindowTest, CloseStopsTimersAndTheUsersCloseButtonCloses) {
  auto w = EditorLikeWindow();
  auto timer = w->New<Timer>();
  w->AddControl("Clock", timer);
  timer->SetProperties(EncodePropertySet({P("Period", 100), P("Mode", 2)}, "Timer"));
  EXPECT_TRUE(TestSeams::TimerRunning(*timer));

  TestSeams::CloseByUser(*w);
  EXPECT_FALSE(w->IsOpen());
  EXPECT_FALSE(w->Visible());
  EXPECT_FALSE(TestSeams::TimerRunning(*timer));
  EXPECT_TRUE(GetImplicitWindow("Scratch.Scratch").IsNil());
  EXPECT_FALSE(TestSeams::Native(*w->ControlAs<Canvas>("Area")).exists) << "the native side has gone";
  EXPECT_EQ(w->ControlAs<Canvas>("Area")->Width(), 910) << "the control still answers";

  // The timer refers to its window weakly: it does not keep it alive.
  std::weak_ptr<ScratchWindow> gone = w;
  EXPECT_EQ(timer->Window(), w.get());
  int fired = 0, painted = 0;
  timer->Action.AddHandler([&fired](Timer&) { ++fired; });
  const Ref<Canvas> area = w->ControlAs<Canvas>("Area");
  area->Paint.AddHandler([&painted](Canvas&, Graphics&, const std::vector<Rect>&) { ++painted; });
  w.reset();
  EXPECT_TRUE(gone.expired());
  EXPECT_EQ(timer->Window(), nullptr);
  // Their handlers belong to the window that has gone: none of them runs.
  TestSeams::FireTimer(*timer);
  area->Refresh(true);
  auto target = MakeRef<Picture>(10, 10);
  Graphics g = target->Graphics();
  area->DrawInto(g, 0, 0);
  EXPECT_EQ(fired, 0);
  EXPECT_EQ(painted, 0);
}
}  // namespace
