#pragma once
// The first window: the splash picture for three seconds, then the main window.

#include "framework/Controls.h"
#include "framework/Ref.h"
#include "framework/Window.h"

class SplashScreen : public Window {
 public:
  static constexpr const char* kClassName = "SplashScreen.SplashScreen";
  SplashScreen();

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  Ref<Timer> Timer1() const;
  void Timer1_Action(Timer& sender);
  void Event_Open() override;
};

Ref<class SplashScreen> SplashScreen();
