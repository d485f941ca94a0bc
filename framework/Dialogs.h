#pragma once
// Files, the open and save dialogs, message boxes and dragged items.

#include <cstdint>
#include <string>

#include "framework/Picture.h"
#include "framework/Ref.h"

class FolderItem {
 public:
  explicit FolderItem(std::string nativePath);
  const std::string& NativePath() const noexcept { return path_; }
  // The name shown for the file: its last path component.
  std::string DisplayName() const;
  bool Exists() const;
  bool IsFolder() const;

 private:
  std::string path_;
};

// FolderItemDialog for opening one file, without a type filter.
class OpenDialog {
 public:
  OpenDialog();
  // The chosen file, or nil when the user cancels.
  Ref<FolderItem> ShowModal();
};

// The save dialog with a file-type filter and a default name; nil when the
// user cancels. No extension is added to the name the user gives.
Ref<FolderItem> GetSaveFolderItem(const std::string& filter, const std::string& defaultName);

// A modal message box with an OK button; returns when it closes.
void MsgBox(const std::string& message);

// What a drop onto a control carries.
class DragItem {
 public:
  // pictureOffered: the drag carries picture data, of which picture is nil
  // when it could not be read.
  DragItem(Ref<::Picture> picture, Ref<::FolderItem> folderItem, bool pictureOffered);
  bool PictureAvailable() const noexcept { return pictureOffered_; }
  Ref<::Picture> Picture() const { return picture_; }
  bool FolderItemAvailable() const noexcept { return !folderItem_.IsNil(); }
  // The dropped file, or nil when the drag carries none.
  Ref<::FolderItem> FolderItem() const { return folderItem_; }

 private:
  Ref<::Picture> picture_;
  Ref<::FolderItem> folderItem_;
  bool pictureOffered_;
};
