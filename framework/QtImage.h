#pragma once
// Framework internals: colours and pictures to and from the toolkit's. A
// Color's alpha counts transparency (0 = opaque); the toolkit's counts
// opacity.

#include <QColor>
#include <QImage>

#include "framework/Picture.h"

namespace fw {

inline QColor ToQColor(Color c) { return QColor(c.red, c.green, c.blue, 255 - c.alpha); }

// Non-premultiplied RGBA with the alpha turned round; a picture without
// pixels gives a null image.
QImage ToQImage(const Picture& picture);

// Premultiplied ARGB for putting pixels on screen fast; image must already be
// of the buffer's size and that format.
void CopyToScreenImage(const PixelBuffer& pixels, QImage& image);

// A picture holding the image's pixels; HasAlphaChannel follows the image.
// An image larger than a picture may be gives an undecoded picture of its
// size, enough for a caller to measure and refuse it; a null image gives nil.
Ref<Picture> FromQImage(const QImage& image);

}  // namespace fw
