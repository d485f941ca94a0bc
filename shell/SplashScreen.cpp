#include "shell/SplashScreen.h"

SplashScreen::SplashScreen() : Window(kClassName) {}
void SplashScreen::Layout() {}
void SplashScreen::CreateControls() { CreateControls0(); }
void SplashScreen::CreateControls0() {}
Ref<Timer> SplashScreen::Timer1() const { return ControlAs<Timer>("Timer1"); }
void SplashScreen::Timer1_Action(Timer&) {}
void SplashScreen::Event_Open() {}

Ref<class SplashScreen> SplashScreen() { return ImplicitInstance<class SplashScreen>(SplashScreen::kClassName); }
