#include "render/View.h"

#include <limits>

#include "framework/Numbers.h"

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) noexcept {
  std::int64_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

std::int64_t ZoomedSize(std::int64_t side, double zoomFactor) noexcept {
  return ToInteger(Round(static_cast<double>(side) * zoomFactor));
}

std::int64_t CentredOffset(std::int64_t canvasSide, std::int64_t zoomedSide) noexcept {
  std::int64_t difference;
  if (__builtin_sub_overflow(canvasSide, zoomedSide, &difference)) {
    difference =
        zoomedSide > 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
  }
  return ToInteger(static_cast<double>(difference) / 2.0);
}

std::int64_t FittedCentredOffset(std::int64_t canvasSide, std::int64_t pictureSide,
                                 double zoomFactor) noexcept {
  return ToInteger((static_cast<double>(canvasSide) - static_cast<double>(pictureSide) * zoomFactor) / 2.0);
}

std::int64_t DrawingPosition(std::int64_t centred, std::int64_t pictureOffset, std::int64_t dragDelta,
                             std::int64_t panOffset, std::int64_t zoomCorrection,
                             double zoomFactor) noexcept {
  std::int64_t position =
      SaturatingAdd(SaturatingAdd(SaturatingAdd(centred, pictureOffset), dragDelta), panOffset);
  if (!IsUnscaled(zoomFactor)) position = SaturatingAdd(position, zoomCorrection);
  return position;
}

std::string ZoomCaption(double zoomFactor) {
  const double percent = 100.0 * zoomFactor;
  // An exact comparison: 100 x 2.0736 lies just below 207.36 and fails it.
  if (Round(percent) / 100.0 == zoomFactor) return Str(percent) + "%";
  return Format(percent, "0.00") + "%";
}
