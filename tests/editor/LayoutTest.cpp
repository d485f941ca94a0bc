// The window's property set, its 27 controls as built, the state the
// canvas's Open event leaves, and how the controls follow a resize.
#include <string>
#include <variant>

#include "framework/TestSeams.h"
#include "shell/NamedPictures.h"
#include "tests/support/EditorFixture.h"

namespace {

using LayoutTest = EditorFixture;

std::string ClassOf(const Control& c) {
  if (dynamic_cast<const GroupBox*>(&c)) return "GroupBox";
  if (dynamic_cast<const BevelButton*>(&c)) return "BevelButton";
  if (dynamic_cast<const Canvas*>(&c)) return "Canvas";
  if (dynamic_cast<const Timer*>(&c)) return "Timer";
  if (dynamic_cast<const Slider*>(&c)) return "Slider";
  if (dynamic_cast<const PushButton*>(&c)) return "PushButton";
  if (dynamic_cast<const Label*>(&c)) return "Label";
  if (dynamic_cast<const CheckBox*>(&c)) return "CheckBox";
  return "?";
}

// The caption of a button, box or check box, or the text of a label.
std::string TextOf(const Control& c) {
  if (auto* b = dynamic_cast<const BevelButton*>(&c)) return b->Caption();
  if (auto* b = dynamic_cast<const PushButton*>(&c)) return b->Caption();
  if (auto* b = dynamic_cast<const CheckBox*>(&c)) return b->Caption();
  if (auto* b = dynamic_cast<const GroupBox*>(&c)) return b->Caption();
  if (auto* l = dynamic_cast<const Label*>(&c)) return l->Text();
  return "";
}

template <class T>
T PropertyOf(const Control& c, const std::string& name) {
  const PropertyValue* v = c.Property(name);
  if (!v) {
    ADD_FAILURE() << c.Name() << " has no property " << name;
    return T{};
  }
  if (!std::holds_alternative<T>(*v)) {
    ADD_FAILURE() << c.Name() << "." << name << " has a value of another kind";
    return T{};
  }
  return std::get<T>(*v);
}

enum : unsigned { L = 1, T = 2, R = 4, B = 8 };

struct ControlCase {
  const char* name;
  const char* cls;
  std::int64_t left, top, width, height;
  unsigned locks;
  const char* text;
  const char* helpTag;
  std::int64_t tab;
};

// In creation order.
const ControlCase kControls[] = {
    {"Tools", "GroupBox", 13, 5, 46, 679, L | T, "", "", 0},
    {"LoadButton", "BevelButton", 21, 13, 30, 30, L | T, "", "Load Image", 10},
    {"SaveButton", "BevelButton", 21, 51, 30, 30, L | T, "", "Save Image", 11},
    {"FX1", "BevelButton", 21, 89, 30, 30, L | T, "", "YGlitch", 12},
    {"FX2", "BevelButton", 21, 127, 30, 30, L | T, "", "Hertz", 13},
    {"FX3", "BevelButton", 21, 165, 30, 30, L | T, "", "Blockr", 14},
    {"FX4", "BevelButton", 21, 203, 30, 30, L | T, "", "Ghost", 15},
    {"FX5", "BevelButton", 21, 241, 30, 30, L | T, "", "Diacritix", 16},
    {"FX6", "BevelButton", 21, 279, 30, 30, L | T, "", "Taraxacum", 17},
    {"FX7", "BevelButton", 21, 317, 30, 30, L | T, "", "Coaxial", 18},
    {"FX8", "BevelButton", 21, 355, 30, 30, L | T, "", "Corrupted", 19},
    {"ButtonAbout", "BevelButton", 21, 545, 30, 30, L | T, "", "About Pixelmoth", 20},
    {"FX9", "BevelButton", 21, 393, 30, 30, L | T, "", "Broken", 21},
    {"FX10", "BevelButton", 21, 431, 30, 30, L | T, "", "Bad Copy", 22},
    {"FX11", "BevelButton", 21, 469, 30, 30, L | T, "", "Amplifier", 23},
    {"FX12", "BevelButton", 21, 507, 30, 30, L | T, "", "Overdrive", 24},
    {"MainCanvas", "Canvas", 71, 37, 910, 647, L | T | R | B, "", "", 1},
    {"mainTimer", "Timer", 0, 0, 0, 0, 0, "", "", 0},
    {"FXSlider", "Slider", 175, 5, 100, 23, L | T, "", "", 5},
    {"ApplyButton", "PushButton", 287, 5, 80, 20, L | T, "Apply", "Apply current effect", 6},
    {"CancelButton", "PushButton", 371, 5, 56, 20, L | T, "Cancel", "Cancel current effect", 7},
    {"ToolText", "Label", 70, 3, 93, 20, L | T, "", "", 8},
    {"superGlitchModeCHK", "CheckBox", 765, 5, 95, 20, T | R, "", "", 9},
    {"ZoomInButton", "PushButton", 957, 3, 22, 21, T | R, "+", "", 10},
    {"ZoomText", "Label", 898, 4, 59, 20, T | R, "100%", "", 11},
    {"ZoomOutButton", "PushButton", 874, 3, 22, 21, T | R, "-", "", 12},
    {"superglitchLabel", "Label", 787, 4, 72, 20, T | R, "superglitch", "", 13},
};

const RectControl& AsRect(const Control& c) { return dynamic_cast<const RectControl&>(c); }

TEST_F(LayoutTest, WindowGetsItsPropertySet) {
  EXPECT_EQ(w->Width(), 1000);
  EXPECT_EQ(w->Height(), 700);
  EXPECT_EQ(w->MinWidth(), 800);
  EXPECT_EQ(w->MinHeight(), 600);
  EXPECT_EQ(w->MaxWidth(), 20000);
  EXPECT_EQ(w->MaxHeight(), 20000);
  EXPECT_EQ(w->Title(), "Pixelmoth");
  const PropertySet expected = {
      {"Width", std::int64_t{1000}}, {"Height", std::int64_t{700}}, {"MinWidth", std::int64_t{800}},
      {"MinHeight", std::int64_t{600}}, {"MaxWidth", std::int64_t{20000}}, {"MaxHeight", std::int64_t{20000}},
      {"Frame", std::int64_t{9}}, {"Title", std::string("Pixelmoth")}, {"CloseButton", true},
      {"Resizeable", true}, {"MaximizeButton", true}, {"MinimizeButton", true},
      {"FullScreenButton", true}, {"Composite", false}, {"MacProcID", std::int64_t{0}},
      {"FullScreen", false}, {"LiveResize", true}, {"Placement", std::int64_t{2}}, {"Visible", true},
      {"HasBackColor", true}, {"BackColor", RGB(40, 40, 42, 0)}, {"MenuBarVisible", true},
  };
  for (const Property& p : expected) {
    const PropertyValue* v = FindProperty(w->Properties(), p.name);
    ASSERT_NE(v, nullptr) << p.name;
    EXPECT_TRUE(*v == p.value) << p.name;
  }
  EXPECT_TRUE(w->QuitOnClose()) << "closing the editor ends the application";
}

TEST_F(LayoutTest, ControlsAreBuiltInOrderWithTheirClassPlaceAndTexts) {
  const auto& controls = w->Controls();
  ASSERT_EQ(controls.size(), std::size(kControls));
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    const ControlCase& e = kControls[i];
    SCOPED_TRACE(e.name);
    const Control& c = *controls[i];
    EXPECT_EQ(c.Name(), e.name);
    EXPECT_EQ(ClassOf(c), e.cls);
    EXPECT_EQ(w->ControlByName(e.name).Get(), &c);
    if (std::string(e.cls) == "Timer") continue;
    const RectControl& r = AsRect(c);
    EXPECT_EQ(r.Left(), e.left);
    EXPECT_EQ(r.Top(), e.top);
    EXPECT_EQ(r.Width(), e.width);
    EXPECT_EQ(r.Height(), e.height);
    EXPECT_EQ(r.LockLeft(), (e.locks & L) != 0);
    EXPECT_EQ(r.LockTop(), (e.locks & T) != 0);
    EXPECT_EQ(r.LockRight(), (e.locks & R) != 0);
    EXPECT_EQ(r.LockBottom(), (e.locks & B) != 0);
    EXPECT_EQ(TextOf(c), e.text);
    EXPECT_EQ(r.HelpTag(), e.helpTag);
    EXPECT_EQ(PropertyOf<std::int64_t>(c, "TabIndex"), e.tab);
    // Shared by every control but the timer.
    EXPECT_TRUE(r.Enabled());
    EXPECT_TRUE(PropertyOf<bool>(c, "Visible"));
    EXPECT_TRUE(PropertyOf<bool>(c, "AutoDeactivate"));
    EXPECT_TRUE(PropertyOf<bool>(c, "TabStop"));
    EXPECT_EQ(PropertyOf<std::int64_t>(c, "TabPanelIndex"), 0);
    EXPECT_EQ(PropertyOf<std::int64_t>(c, "Index"), -2147483648LL);
    EXPECT_EQ(PropertyOf<bool>(c, "Transparent"), std::string(e.name) == "MainCanvas");
  }
}

TEST_F(LayoutTest, TextControlsUseTheSystemFontAtDefaultSizeUnlessSaidOtherwise) {
  struct Style {
    const char* name;
    float size;
    bool bold;
  };
  const Style styles[] = {
      {"Tools", 0, false},       {"LoadButton", 0, false},         {"ButtonAbout", 0, false},
      {"FX12", 0, false},        {"ApplyButton", 9, false},        {"CancelButton", 9, false},
      {"ToolText", 0, false},    {"superGlitchModeCHK", 12, false}, {"ZoomInButton", 9, true},
      {"ZoomText", 0, false},    {"ZoomOutButton", 9, true},       {"superglitchLabel", 0, false},
  };
  for (const Style& s : styles) {
    SCOPED_TRACE(s.name);
    const Control& c = *w->ControlByName(s.name);
    EXPECT_EQ(PropertyOf<std::string>(c, "TextFont"), "System");
    EXPECT_EQ(PropertyOf<std::int64_t>(c, "TextUnit"), 0);
    EXPECT_EQ(PropertyOf<TextSize>(c, "TextSize").points, s.size);
    EXPECT_EQ(PropertyOf<bool>(c, "Bold"), s.bold);
    EXPECT_FALSE(PropertyOf<bool>(c, "Italic"));
    EXPECT_FALSE(PropertyOf<bool>(c, "Underline"));
  }
}

TEST_F(LayoutTest, ToolButtonsSitInTheToolColumnWithTheirNamedIcons) {
  struct IconCase {
    const char* name;
    Ref<Picture> (*icon)();
  };
  const IconCase icons[] = {
      {"LoadButton", &iconopen},       {"SaveButton", &iconsave},         {"FX1", &iconycoord},
      {"FX2", &iconhertz},             {"FX3", &iconblockr},              {"FX4", &iconghost},
      {"FX5", &icondiacritix},         {"FX6", &icontaraxacum1},          {"FX7", &iconcoaxial},
      {"FX8", &iconcorrupted},         {"ButtonAbout", &iconabout1},      {"FX9", &iconbroken},
      {"FX10", &iconbadcopy},          {"FX11", &iconamplifier},          {"FX12", &iconoverdrive},
  };
  for (const IconCase& i : icons) {
    SCOPED_TRACE(i.name);
    const Ref<BevelButton> b = w->ControlAs<BevelButton>(i.name);
    EXPECT_EQ(PropertyOf<std::string>(*b, "InitialParent"), "Tools");
    // The named picture is kept once opened, so the button holds that very picture.
    EXPECT_FALSE(b->Icon().IsNil());
    EXPECT_EQ(b->Icon().Get(), i.icon().Get());
    for (const char* zero : {"ButtonType", "Bevel", "MenuValue", "HasMenu", "IconDX", "IconDY", "CaptionDelta"})
      EXPECT_EQ(PropertyOf<std::int64_t>(*b, zero), 0) << zero;
    EXPECT_EQ(PropertyOf<std::int64_t>(*b, "IconAlign"), 1);
    EXPECT_EQ(PropertyOf<std::int64_t>(*b, "CaptionAlign"), 3);
    EXPECT_EQ(PropertyOf<std::int64_t>(*b, "CaptionPlacement"), 1);
    EXPECT_FALSE(PropertyOf<bool>(*b, "Value"));
    EXPECT_TRUE(PropertyOf<bool>(*b, "AcceptFocus"));
    EXPECT_TRUE(PropertyOf<Color>(*b, "TextColor") == RGB(0, 0, 0));
    EXPECT_FALSE(PropertyOf<bool>(*b, "HasBackColor"));
  }
  // ButtonAbout comes between FX8 and FX9 in the tab order, yet sits below FX12.
  EXPECT_GT(w->ButtonAbout()->Top(), w->FX12()->Top());
  EXPECT_GT(PropertyOf<std::int64_t>(*w->ButtonAbout(), "TabIndex"), PropertyOf<std::int64_t>(*w->FX8(), "TabIndex"));
  EXPECT_LT(PropertyOf<std::int64_t>(*w->ButtonAbout(), "TabIndex"), PropertyOf<std::int64_t>(*w->FX9(), "TabIndex"));
}

TEST_F(LayoutTest, ControlsGetTheirOwnValues) {
  const Ref<Slider> slider = w->FXSlider();
  EXPECT_EQ(slider->Minimum(), 1);
  EXPECT_EQ(slider->Maximum(), 100);
  EXPECT_EQ(slider->Value(), 20);
  EXPECT_EQ(PropertyOf<std::int64_t>(*slider, "LineStep"), 1);
  EXPECT_EQ(PropertyOf<std::int64_t>(*slider, "PageStep"), 20);
  EXPECT_FALSE(PropertyOf<bool>(*slider, "LiveScroll"));
  EXPECT_EQ(PropertyOf<std::int64_t>(*slider, "TickStyle"), 0);

  const Ref<Timer> timer = w->mainTimer();
  EXPECT_EQ(timer->Period(), 100);
  EXPECT_EQ(timer->Mode(), 2);

  // Both carry Default; neither is the Cancel button.
  for (const Ref<PushButton>& b : {w->ApplyButton(), w->CancelButton()}) {
    EXPECT_TRUE(PropertyOf<bool>(*b, "Default")) << b->Name();
    EXPECT_FALSE(PropertyOf<bool>(*b, "Cancel")) << b->Name();
  }
  for (const Ref<PushButton>& b : {w->ZoomInButton(), w->ZoomOutButton()}) {
    EXPECT_FALSE(PropertyOf<bool>(*b, "Default")) << b->Name();
    EXPECT_FALSE(PropertyOf<bool>(*b, "Cancel")) << b->Name();
  }
  for (const Ref<PushButton>& b : {w->ApplyButton(), w->CancelButton(), w->ZoomInButton(), w->ZoomOutButton()})
    EXPECT_EQ(PropertyOf<std::int64_t>(*b, "ButtonStyle"), 0) << b->Name();

  const Ref<CheckBox> box = w->superGlitchModeCHK();
  EXPECT_EQ(box->State(), 0);
  EXPECT_FALSE(PropertyOf<bool>(*box, "Value"));
  EXPECT_EQ(PropertyOf<std::string>(*box, "DataField"), "");
  EXPECT_EQ(PropertyOf<std::string>(*box, "DataSource"), "");

  const Ref<Canvas> canvas = w->MainCanvas();
  EXPECT_TRUE(PropertyOf<bool>(*canvas, "EraseBackground"));
  EXPECT_FALSE(PropertyOf<bool>(*canvas, "DoubleBuffer"));
  EXPECT_FALSE(PropertyOf<bool>(*canvas, "AcceptFocus"));
  EXPECT_FALSE(PropertyOf<bool>(*canvas, "AcceptTabs"));
  EXPECT_TRUE(PropertyOf<bool>(*canvas, "UseFocusRing"));

  struct LabelCase {
    Ref<Label> label;
    Color colour;
    std::int64_t align;
  };
  for (const LabelCase& l : {LabelCase{w->ToolText(), RGB(181, 181, 181), 0},
                             LabelCase{w->ZoomText(), RGB(181, 181, 181), 1},
                             LabelCase{w->superglitchLabel(), RGB(203, 203, 203), 0}}) {
    SCOPED_TRACE(l.label->Name());
    EXPECT_TRUE(PropertyOf<Color>(*l.label, "TextColor") == l.colour);
    EXPECT_EQ(PropertyOf<std::int64_t>(*l.label, "TextAlign"), l.align);
    EXPECT_FALSE(PropertyOf<bool>(*l.label, "Selectable"));
    EXPECT_FALSE(PropertyOf<bool>(*l.label, "Multiline"));
    EXPECT_EQ(PropertyOf<std::string>(*l.label, "DataField"), "");
    EXPECT_EQ(PropertyOf<std::string>(*l.label, "DataSource"), "");
  }
}

// The property sets make every control visible; only the canvas's Open event
// hides the effect controls.
TEST_F(LayoutTest, OpenWindowHidesTheEffectControlsAndShowsTheSuperglitchPair) {
  EXPECT_EQ(w->currentTool, 0);
  for (const char* hidden : {"FXSlider", "ApplyButton", "CancelButton"}) {
    const Control& c = *w->ControlByName(hidden);
    EXPECT_FALSE(AsRect(c).Visible()) << hidden;
    EXPECT_TRUE(PropertyOf<bool>(c, "Visible")) << hidden;
  }
  for (const ControlCase& e : kControls) {
    const std::string name = e.name;
    if (name == "mainTimer" || name == "FXSlider" || name == "ApplyButton" || name == "CancelButton") continue;
    EXPECT_TRUE(AsRect(*w->ControlByName(name)).Visible()) << name;
  }
  EXPECT_EQ(w->ToolText()->Text(), "");
  EXPECT_EQ(w->ZoomText()->Text(), "100%");
}

TEST_F(LayoutTest, CanvasOpenResetsTheSelection) {
  ShowPreviewControls();
  w->currentTool = 6;

  w->MainCanvas_Open(*w->MainCanvas());

  ExpectPreviewControls(false);
  EXPECT_EQ(w->currentTool, 0);
}

TEST_F(LayoutTest, EnlargingTheWindowMovesTheRightStripAndStretchesOnlyTheCanvas) {
  w->SetWidth(1200);
  w->SetHeight(850);
  ASSERT_EQ(w->Width(), 1200);
  ASSERT_EQ(w->Height(), 850);
  for (const ControlCase& e : kControls) {
    if (std::string(e.cls) == "Timer") continue;
    SCOPED_TRACE(e.name);
    const RectControl& r = AsRect(*w->ControlByName(e.name));
    const bool followsRight = (e.locks & R) != 0;
    const bool stretches = followsRight && (e.locks & L) != 0;
    EXPECT_EQ(r.Left(), followsRight && !stretches ? e.left + 200 : e.left);
    EXPECT_EQ(r.Width(), stretches ? e.width + 200 : e.width);
    EXPECT_EQ(r.Top(), e.top);
    EXPECT_EQ(r.Height(), (e.locks & B) != 0 ? e.height + 150 : e.height);
  }
  // Spelled out for the places that matter.
  EXPECT_EQ(w->Tools()->Height(), 679);
  EXPECT_EQ(w->MainCanvas()->Width(), 1110);
  EXPECT_EQ(w->MainCanvas()->Height(), 797);
  EXPECT_EQ(w->ZoomInButton()->Left(), 1157);
  EXPECT_EQ(w->superGlitchModeCHK()->Left(), 965);
  EXPECT_EQ(w->FXSlider()->Left(), 175);
}

}  // namespace
