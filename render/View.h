#pragma once
// The view's arithmetic: the picture's zoomed size, its centring in the
// canvas, its drawing position and the zoom caption. Image intake and the
// benchmark use these too, so that every place computes the view alike.
//
// Every conversion from a double saturates and every integer sum saturates:
// a zoom key held for a minute takes the factor past 10^40, where the zoomed
// size no longer fits a 64-bit integer.

#include <cstdint>
#include <string>

// a + b, held at the 64-bit limits instead of overflowing.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) noexcept;

// Round(side x zoomFactor) as an integer: the side of the picture on screen.
std::int64_t ZoomedSize(std::int64_t side, double zoomFactor) noexcept;

// (canvasSide - zoomedSide) / 2.0 truncated toward zero (-45.5 gives -45):
// where the centred picture starts, before the pan (theLeft, theTop).
std::int64_t CentredOffset(std::int64_t canvasSide, std::int64_t zoomedSide) noexcept;

// (canvasSide - pictureSide x zoomFactor) / 2.0, all in doubles, truncated
// toward zero: the centring that fits a picture at a factor other than 1.0
// before any paint has rounded its zoomed size.
std::int64_t FittedCentredOffset(std::int64_t canvasSide, std::int64_t pictureSide,
                                 double zoomFactor) noexcept;

// True at exactly 100 %: the view then draws the whole picture unscaled and
// leaves out the correction terms.
inline bool IsUnscaled(double zoomFactor) noexcept { return zoomFactor == 1.0; }

// One coordinate of the place the picture is drawn at: the centred offset,
// the picture's own offset, the drag under way and the accumulated pan, plus
// the correction term when the zoom is not exactly 1.0.
std::int64_t DrawingPosition(std::int64_t centred, std::int64_t pictureOffset, std::int64_t dragDelta,
                             std::int64_t panOffset, std::int64_t zoomCorrection, double zoomFactor) noexcept;

// The zoom caption: "100%", "120%", "172.80%", "83.33%": whole percentages
// without decimals, the others with two.
std::string ZoomCaption(double zoomFactor);
