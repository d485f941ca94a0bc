#include "tests/support/Fixtures.h"

#include "app/Pixelmoth.h"
#include "framework/Application.h"
#include "framework/TestSeams.h"

void GivePicture(class MainWindow& w, const Ref<Picture>& p) {
  w.pic = p;
  w.fxLayer = MakeRef<Picture>(p->Width(), p->Height());
  w.originalPicW = p->Width();
  w.originalPicH = p->Height();
}

void EditorTest::SetUp() {
  TestSeams::Reset();
  RuntimeRegisterAppObject(std::make_shared<Pixelmoth>());
  App()->Event_Open();
  TestSeams::Seed(*App()->glitchRandom, 1);
  TestSeams::SeedRnd(2);
  w = MainWindow();
}

void EditorTest::TearDown() {
  w = nullptr;
  TestSeams::Reset();
}

std::int64_t EditorTest::Paints() const { return TestSeams::PaintCount(*w->MainCanvas()); }

void EditorTest::ShowPreviewControls() {
  w->FXSlider()->SetVisible(true);
  w->ApplyButton()->SetVisible(true);
  w->CancelButton()->SetVisible(true);
  w->superGlitchModeCHK()->SetVisible(false);
  w->superglitchLabel()->SetVisible(false);
}

void EditorTest::ExpectPreviewControls(bool shown) const {
  EXPECT_EQ(w->FXSlider()->Visible(), shown) << "FXSlider";
  EXPECT_EQ(w->ApplyButton()->Visible(), shown) << "ApplyButton";
  EXPECT_EQ(w->CancelButton()->Visible(), shown) << "CancelButton";
  EXPECT_EQ(w->superGlitchModeCHK()->Visible(), !shown) << "superGlitchModeCHK";
  EXPECT_EQ(w->superglitchLabel()->Visible(), !shown) << "superglitchLabel";
}
