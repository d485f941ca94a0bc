#include "tests/support/Fixtures.h"

#include "app/Pixelmoth.h"
#include "framework/Application.h"
#include "framework/TestSeams.h"

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

void EditorTest::GivePicture(const Ref<Picture>& p) {
  w->pic = p;
  w->fxLayer = MakeRef<Picture>(p->Width(), p->Height());
  w->originalPicW = p->Width();
  w->originalPicH = p->Height();
}
