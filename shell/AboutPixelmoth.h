#pragma once
// The modeless about window: a description and a one-line notice.

#include "framework/Controls.h"
#include "framework/Ref.h"
#include "framework/Window.h"

class AboutPixelmoth : public Window {
 public:
  static constexpr const char* kClassName = "AboutPixelmoth.AboutPixelmoth";
  AboutPixelmoth();

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  Ref<Label> Label1() const;
  Ref<Label> Label2() const;
};

Ref<class AboutPixelmoth> AboutPixelmoth();
