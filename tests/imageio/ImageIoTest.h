#pragma once
// The editor as image I/O sees it: the editor's fixture (headless window,
// snapshot, code run inside a paint), the two entries and the save button
// driven through the seams, and a folder for files.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Dialogs.h"
#include "tests/imageio/ImageFiles.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/Unprivileged.h"

class ImageIoTest : public EditorFixture {
 protected:
  void SetUp() override;

  // A drop carrying picture data, a file, both or neither (nil for absent).
  void Drop(const Ref<Picture>& data, const Ref<FolderItem>& file);
  // The same with picture data offered that could not be read (data nil).
  void Drop(const Ref<Picture>& data, const Ref<FolderItem>& file, bool dataOffered);
  // The open dialog answered with file (nil: cancelled), then LoadButton.
  void LoadThroughDialog(const Ref<FolderItem>& file);
  // The save dialog answered with file (nil: cancelled), then SaveButton.
  void SaveThroughDialog(const Ref<FolderItem>& file);

  // As while the preview of an effect is open, with a view that is zoomed,
  // panned and mid-drag: every field an intake resets is away from its reset.
  void EnterEffectPreview();

  // The lines an intake logs for a picture of zW x zH at 100 %.
  static std::vector<std::string> IntakeLines(std::int64_t zW, std::int64_t zH);

  TempFolder files;
};
