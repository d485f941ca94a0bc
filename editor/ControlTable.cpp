#include "editor/ControlTable.h"

#include <cstdint>
#include <string>

#include "editor/MainWindow.h"
#include "shell/NamedPictures.h"

using namespace std::string_literals;

// MainWindow names the accessor function as well as the class.
using W = class MainWindow;

namespace {
using I = std::int64_t;

template <class C>
std::shared_ptr<Control> Make(W& window) {
  return window.New<C>();
}

// The control as the class its handler takes.
template <class C>
C& SenderFor(void (W::*)(C&), Control& c) {
  return dynamic_cast<C&>(c);
}

template <auto handler>
void HookAction(W& w, Control& c) {
  SenderFor(handler, c).Action.AddHandler(Delegate(&w, handler));
}

void HookSlider(W& w, Control& c) {
  dynamic_cast<Slider&>(c).ValueChanged.AddHandler(Delegate(&w, &W::FXSlider_ValueChanged));
}

void HookCanvas(W& w, Control& c) {
  auto& canvas = dynamic_cast<Canvas&>(c);
  canvas.Paint.AddHandler(Delegate(&w, &W::MainCanvas_Paint));
  canvas.GotFocus.AddHandler(Delegate(&w, &W::MainCanvas_GotFocus));
  // Open is raised for every kind of control; this one is the canvas.
  canvas.Open.AddHandler([window = &w, sender = &canvas](RectControl&) { window->MainCanvas_Open(*sender); });
  canvas.MouseDown.AddHandler(Delegate(&w, &W::MainCanvas_MouseDown));
  canvas.MouseDrag.AddHandler(Delegate(&w, &W::MainCanvas_MouseDrag));
  canvas.MouseUp.AddHandler(Delegate(&w, &W::MainCanvas_MouseUp));
  canvas.DropObject.AddHandler(Delegate(&w, &W::MainCanvas_DropObject));
}

// Adds p, or replaces the value of a property of the same name in place.
void Put(PropertySet& set, const Property& p) {
  for (Property& q : set) {
    if (q.name == p.name) {
      q.value = p.value;
      return;
    }
  }
  set.push_back(p);
}

PropertySet Merged(PropertySet set, const PropertySet& more) {
  for (const Property& p : more) Put(set, p);
  return set;
}

const PropertySet kVisual = {
    {"Visible", true}, {"Enabled", true}, {"AutoDeactivate", true}, {"TabStop", true},
    {"TabPanelIndex", I{0}}, {"Index", I{-2147483648}}, {"Transparent", false},
};

const PropertySet kTextStyle = {
    {"TextFont", "System"s}, {"TextUnit", I{0}}, {"TextSize", TextSize{0}},
    {"Bold", false},         {"Italic", false},  {"Underline", false},
};

const PropertySet kVisualText = Merged(kVisual, kTextStyle);

const ControlClass kGroupBox{"GroupBox", &Make<GroupBox>, true, "Caption", kVisualText};
const ControlClass kBevelButton{
    "BevelButton", &Make<BevelButton>, true, "Caption",
    Merged(kVisualText,
           {{"ButtonType", I{0}}, {"Bevel", I{0}}, {"Value", false}, {"MenuValue", I{0}},
            {"HasMenu", I{0}}, {"AcceptFocus", true}, {"IconAlign", I{1}}, {"IconDX", I{0}},
            {"IconDY", I{0}}, {"CaptionAlign", I{3}}, {"CaptionPlacement", I{1}},
            {"CaptionDelta", I{0}}, {"TextColor", RGB(0, 0, 0)}, {"HasBackColor", false}})};
const ControlClass kCanvas{"Canvas", &Make<Canvas>, true, nullptr, kVisual};
const ControlClass kTimer{"Timer", &Make<Timer>, false, nullptr, {}};
const ControlClass kSlider{"Slider", &Make<Slider>, true, nullptr, kVisual};
const ControlClass kPushButton{
    "PushButton", &Make<PushButton>, true, "Caption",
    Merged(kVisualText, {{"Cancel", false}, {"ButtonStyle", I{0}}, {"TextSize", TextSize{9}}})};
const ControlClass kLabel{
    "Label", &Make<Label>, true, "Text",
    Merged(kVisualText,
           {{"Selectable", false}, {"Multiline", false}, {"DataField", ""s}, {"DataSource", ""s}})};
const ControlClass kCheckBox{"CheckBox", &Make<CheckBox>, true, "Caption",
                             Merged(kVisualText, {{"DataField", ""s}, {"DataSource", ""s}})};

constexpr unsigned kLeftTop = kLockLeft | kLockTop;
constexpr unsigned kTopRight = kLockTop | kLockRight;
constexpr unsigned kAllLocks = kLockLeft | kLockTop | kLockRight | kLockBottom;

Property Tab(I index) { return {"TabIndex", index}; }
}  // namespace

const std::vector<ControlRow>& MainWindowControls() {
  static const std::vector<ControlRow> rows = {
      {"Tools", &kGroupBox, {13, 5, 46, 679}, kLeftTop, "", "", nullptr, nullptr, {Tab(0)}, nullptr},
      // The tool column. ButtonAbout comes between FX8 and FX9 in creation
      // and tab order, yet sits at the bottom of the column.
      {"LoadButton", &kBevelButton, {21, 13, 30, 30}, kLeftTop, "", "Load Image", &iconopen, "Tools", {Tab(10)}, &HookAction<&W::LoadButton_Action>},
      {"SaveButton", &kBevelButton, {21, 51, 30, 30}, kLeftTop, "", "Save Image", &iconsave, "Tools", {Tab(11)}, &HookAction<&W::SaveButton_Action>},
      {"FX1", &kBevelButton, {21, 89, 30, 30}, kLeftTop, "", "YGlitch", &iconycoord, "Tools", {Tab(12)}, &HookAction<&W::FX1_Action>},
      {"FX2", &kBevelButton, {21, 127, 30, 30}, kLeftTop, "", "Hertz", &iconhertz, "Tools", {Tab(13)}, &HookAction<&W::FX2_Action>},
      {"FX3", &kBevelButton, {21, 165, 30, 30}, kLeftTop, "", "Blockr", &iconblockr, "Tools", {Tab(14)}, &HookAction<&W::FX3_Action>},
      {"FX4", &kBevelButton, {21, 203, 30, 30}, kLeftTop, "", "Ghost", &iconghost, "Tools", {Tab(15)}, &HookAction<&W::FX4_Action>},
      {"FX5", &kBevelButton, {21, 241, 30, 30}, kLeftTop, "", "Diacritix", &icondiacritix, "Tools", {Tab(16)}, &HookAction<&W::FX5_Action>},
      {"FX6", &kBevelButton, {21, 279, 30, 30}, kLeftTop, "", "Taraxacum", &icontaraxacum1, "Tools", {Tab(17)}, &HookAction<&W::FX6_Action>},
      {"FX7", &kBevelButton, {21, 317, 30, 30}, kLeftTop, "", "Coaxial", &iconcoaxial, "Tools", {Tab(18)}, &HookAction<&W::FX7_Action>},
      {"FX8", &kBevelButton, {21, 355, 30, 30}, kLeftTop, "", "Corrupted", &iconcorrupted, "Tools", {Tab(19)}, &HookAction<&W::FX8_Action>},
      {"ButtonAbout", &kBevelButton, {21, 545, 30, 30}, kLeftTop, "", "About Pixelmoth", &iconabout1, "Tools", {Tab(20)}, &HookAction<&W::ButtonAbout_Action>},
      {"FX9", &kBevelButton, {21, 393, 30, 30}, kLeftTop, "", "Broken", &iconbroken, "Tools", {Tab(21)}, &HookAction<&W::FX9_Action>},
      {"FX10", &kBevelButton, {21, 431, 30, 30}, kLeftTop, "", "Bad Copy", &iconbadcopy, "Tools", {Tab(22)}, &HookAction<&W::FX10_Action>},
      {"FX11", &kBevelButton, {21, 469, 30, 30}, kLeftTop, "", "Amplifier", &iconamplifier, "Tools", {Tab(23)}, &HookAction<&W::FX11_Action>},
      {"FX12", &kBevelButton, {21, 507, 30, 30}, kLeftTop, "", "Overdrive", &iconoverdrive, "Tools", {Tab(24)}, &HookAction<&W::FX12_Action>},

      {"MainCanvas", &kCanvas, {71, 37, 910, 647}, kAllLocks, nullptr, "", nullptr, nullptr,
       {{"Transparent", true}, {"EraseBackground", true}, {"DoubleBuffer", false}, {"AcceptFocus", false},
        {"AcceptTabs", false}, {"UseFocusRing", true}, Tab(1)},
       &HookCanvas},
      {"mainTimer", &kTimer, {}, 0, nullptr, nullptr, nullptr, nullptr,
       {{"Period", I{100}}, {"Mode", I{2}}}, &HookAction<&W::mainTimer_Action>},

      // The strip above the canvas: effect controls on the left, the
      // superglitch switch and the zoom on the right.
      {"FXSlider", &kSlider, {175, 5, 100, 23}, kLeftTop, nullptr, "", nullptr, nullptr,
       {{"Minimum", I{1}}, {"Maximum", I{100}}, {"Value", I{20}}, {"LineStep", I{1}}, {"PageStep", I{20}},
        {"LiveScroll", false}, {"TickStyle", I{0}}, Tab(5)},
       &HookSlider},
      {"ApplyButton", &kPushButton, {287, 5, 80, 20}, kLeftTop, "Apply", "Apply current effect", nullptr, nullptr,
       {{"Default", true}, Tab(6)}, &HookAction<&W::ApplyButton_Action>},
      {"CancelButton", &kPushButton, {371, 5, 56, 20}, kLeftTop, "Cancel", "Cancel current effect", nullptr, nullptr,
       {{"Default", true}, Tab(7)}, &HookAction<&W::CancelButton_Action>},
      {"ToolText", &kLabel, {70, 3, 93, 20}, kLeftTop, "", "", nullptr, nullptr,
       {{"TextColor", RGB(181, 181, 181)}, {"TextAlign", I{0}}, Tab(8)}, nullptr},
      {"superGlitchModeCHK", &kCheckBox, {765, 5, 95, 20}, kTopRight, "", "", nullptr, nullptr,
       {{"Value", false}, {"State", I{0}}, {"TextSize", TextSize{12}}, Tab(9)},
       &HookAction<&W::superGlitchModeCHK_Action>},
      {"ZoomInButton", &kPushButton, {957, 3, 22, 21}, kTopRight, "+", "", nullptr, nullptr,
       {{"Bold", true}, {"Default", false}, Tab(10)}, &HookAction<&W::ZoomInButton_Action>},
      {"ZoomText", &kLabel, {898, 4, 59, 20}, kTopRight, "100%", "", nullptr, nullptr,
       {{"TextColor", RGB(181, 181, 181)}, {"TextAlign", I{1}}, Tab(11)}, nullptr},
      {"ZoomOutButton", &kPushButton, {874, 3, 22, 21}, kTopRight, "-", "", nullptr, nullptr,
       {{"Bold", true}, {"Default", false}, Tab(12)}, &HookAction<&W::ZoomOutButton_Action>},
      {"superglitchLabel", &kLabel, {787, 4, 72, 20}, kTopRight, "superglitch", "", nullptr, nullptr,
       {{"TextColor", RGB(203, 203, 203)}, {"TextAlign", I{0}}, Tab(13)}, nullptr},
  };
  return rows;
}

PropertySet PropertiesOf(const ControlRow& row) {
  const ControlClass& kind = *row.kind;
  PropertySet set;
  if (kind.placed) {
    set = {{"Left", row.bounds.left},
           {"Top", row.bounds.top},
           {"Width", row.bounds.width},
           {"Height", row.bounds.height},
           {"LockLeft", (row.locks & kLockLeft) != 0},
           {"LockTop", (row.locks & kLockTop) != 0},
           {"LockRight", (row.locks & kLockRight) != 0},
           {"LockBottom", (row.locks & kLockBottom) != 0}};
  }
  set = Merged(std::move(set), kind.shared);
  if (kind.textProperty && row.text) Put(set, {kind.textProperty, std::string(row.text)});
  if (row.helpTag) Put(set, {"HelpTag", std::string(row.helpTag)});
  if (row.parent) Put(set, {"InitialParent", std::string(row.parent)});
  return Merged(std::move(set), row.other);
}
