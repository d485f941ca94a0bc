#include "shell/SplashScreen.h"

#include "editor/MainWindow.h"
#include "framework/PropertySet.h"
#include "shell/NamedPictures.h"

namespace {
using Int = std::int64_t;

// A fixed 600 x 400 window without title-bar buttons, visible once built.
const PropertySet kWindowProperties = {
    {"Width", Int{600}},
    {"Height", Int{400}},
    {"MinWidth", Int{64}},
    {"MinHeight", Int{64}},
    {"MaxWidth", Int{20000}},
    {"MaxHeight", Int{20000}},
    {"Frame", Int{5}},
    {"Title", std::string("Untitled")},
    {"CloseButton", false},
    {"Resizeable", false},
    {"MaximizeButton", false},
    {"MinimizeButton", false},
    {"FullScreenButton", false},
    {"Composite", false},
    {"MacProcID", Int{0}},
    {"FullScreen", false},
    {"LiveResize", true},
    {"Placement", Int{2}},
    {"Visible", true},
    {"HasBackColor", true},
    {"BackColor", RGB(65, 66, 66)},
    {"MenuBarVisible", true},
};

// Repeating; the hand-over closes the window, which stops it after one firing.
const PropertySet kTimer1Properties = {
    {"Period", Int{3000}},
    {"Mode", Int{2}},
};
}  // namespace

SplashScreen::SplashScreen() : Window(kClassName) {}

void SplashScreen::Layout() {
  SetBackdrop(splash());
  SetProperties(EncodePropertySet(kWindowProperties, kWindowClass));
}

void SplashScreen::CreateControls() { CreateControls0(); }

void SplashScreen::CreateControls0() {
  AddControl("Timer1", New<Timer>());
  ControlByName("Timer1")->SetProperties(EncodePropertySet(kTimer1Properties, "Timer"));
  ControlAs<Timer>("Timer1")->Action.AddHandler(Delegate(this, &SplashScreen::Timer1_Action));
}

Ref<Timer> SplashScreen::Timer1() const { return ControlAs<Timer>("Timer1"); }

void SplashScreen::Timer1_Action(Timer&) {
  Ref<class MainWindow> main = MainWindow();
  main->Show();
  Close();
}

void SplashScreen::Event_Open() {}

Ref<class SplashScreen> SplashScreen() { return ImplicitInstance<class SplashScreen>(SplashScreen::kClassName); }
