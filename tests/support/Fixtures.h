#pragma once
// A headless main window with the application object registered and both
// generators seeded.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "editor/MainWindow.h"
#include "framework/Picture.h"
#include "tests/support/Pictures.h"

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // As an accepted image leaves the editor, without running the intake: pic,
  // a fresh transparent fxLayer, originalPicW and originalPicH.
  void GivePicture(const Ref<Picture>& p);

  Ref<class MainWindow> w;
};
