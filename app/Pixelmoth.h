#pragma once
// The application object: holds the system's one random generator.

#include "framework/Application.h"
#include "framework/Random.h"
#include "framework/Ref.h"

class Pixelmoth : public Application {
 public:
  Pixelmoth();
  // Creates glitchRandom.
  void Event_Open() override;

  Ref<Random> glitchRandom;
};

// The registered application object.
Ref<Pixelmoth> App();
