#include "tests/imageio/ImageIoTest.h"

#include "framework/Numbers.h"
#include "framework/TestSeams.h"

void ImageIoTest::SetUp() {
  EditorFixture::SetUp();
  TestSeams::ClearMessageBoxes();
}

void ImageIoTest::Drop(const Ref<Picture>& data, const Ref<FolderItem>& file) {
  Drop(data, file, !data.IsNil());
}

void ImageIoTest::Drop(const Ref<Picture>& data, const Ref<FolderItem>& file, bool dataOffered) {
  DragItem item(data, file, dataOffered);
  w->MainCanvas_DropObject(*w->MainCanvas(), item, 0);
}

void ImageIoTest::LoadThroughDialog(const Ref<FolderItem>& file) {
  TestSeams::QueueOpenDialogAnswer(file);
  w->LoadButton_Action(*w->LoadButton());
}

void ImageIoTest::SaveThroughDialog(const Ref<FolderItem>& file) {
  TestSeams::QueueSaveDialogAnswer(file);
  w->SaveButton_Action(*w->SaveButton());
}

void ImageIoTest::EnterEffectPreview() {
  w->ZoomFactor = 1.44;
  w->picX = 3;
  w->picY = 4;
  w->mXDelta = 12;
  w->mYDelta = -7;
  w->mX = 500;
  w->mY = 400;
  w->draggedFlag = true;
  w->permOffsetX = 40;
  w->permOffsetY = -25;
  w->zW = 1234;
  w->zH = 567;
  w->theLeft = -11;
  w->theTop = 9;
  w->currentTool = 3;
  w->triggerFX3 = true;
  w->triggerFX12 = true;
  w->cancelFX = true;
  w->superGlitchMode = true;
  w->canvasWbuffer = 111;
  w->canvasHbuffer = 222;
  ShowPreviewControls();
  w->ToolText()->SetText("Blockr");
  w->ZoomText()->SetText("144%");
}

std::vector<std::string> ImageIoTest::IntakeLines(std::int64_t zW, std::int64_t zH) {
  return {"-----", Str(zW), Str(zH), "-----"};
}
