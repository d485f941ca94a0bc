#pragma once
// The path shared by loading through the open dialog and by a drop: title,
// size check, reset, fit, a fresh preview layer and a repaint.

#include "framework/Dialogs.h"
#include "framework/Ref.h"

class MainWindow;

inline constexpr const char* kNotAnImageMessage = "The selected item is not an image file.";
inline constexpr const char* kImageSizeMessage =
    "Image must be larger than 100px or smaller than 6000px on any side";

// Takes w.pic (set, never nil) in as the image being edited, or refuses it.
// file names the image in the title; nil leaves the title as it is.
void ImageIntake(class MainWindow& w, const Ref<FolderItem>& file);
