#pragma once
// A headless main window with the application object registered and both
// generators seeded.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "editor/MainWindow.h"
#include "framework/Picture.h"
#include "tests/support/Pictures.h"

// As an accepted image leaves the editor, without running the intake: pic,
// a fresh transparent fxLayer, originalPicW and originalPicH.
void GivePicture(class MainWindow& w, const Ref<Picture>& p);

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void GivePicture(const Ref<Picture>& p) { ::GivePicture(*w, p); }

  // The paints of the canvas so far.
  std::int64_t Paints() const;

  // As an effect button leaves the controls: the slider, Apply and Cancel
  // shown, the superglitch check box and its label hidden.
  void ShowPreviewControls();
  // The controls as ShowPreviewControls leaves them (shown), or the other way
  // round, as with no effect selected.
  void ExpectPreviewControls(bool shown) const;

  Ref<class MainWindow> w;
};
