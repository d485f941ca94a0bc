#pragma once
// The main window in the editor's 910 x 647 canvas, and a harness that runs
// one paint cycle with probe effects in place of the twelve effects, so that
// the order of service and what each block sees can be checked whatever the
// effects compute.

#include <cstdint>
#include <string>
#include <vector>

#include "editor/MainWindow.h"
#include "framework/Picture.h"
#include "framework/TestSeams.h"
#include "render/PaintCycle.h"
#include "tests/support/Fixtures.h"

class RenderTest : public EditorTest {
 protected:
  static constexpr std::int64_t kCanvasW = 910;
  static constexpr std::int64_t kCanvasH = 647;

  void SetUp() override;

  // One paint through the framework, as a handler's Refresh(True) asks it.
  void Paint();
  // One paint, and the pictures it drew, in order.
  std::vector<TestSeams::DrawCall> PaintRecordingDraws();
  // The canvas's backing store pixel.
  Color CanvasPixel(std::int64_t x, std::int64_t y) const;

  // Every request flag, in the order of service: applyFX, cancelFX,
  // triggerFX1 to triggerFX12.
  std::vector<bool> Flags() const;
  void SetAllFlags(bool on);
};

// What a probe block saw when it ran.
struct BlockRecord {
  std::int64_t n;
  std::string toolText;
  RGBSurface picSurf;
  RGBSurface fxSurf;
  std::int64_t W, H, v, zW, zH;
  double zoomFactor;
  Color readAtOrigin;  // picSurf pixel (0, 0) as the block found it
};

// The colour a probe block writes through fxSurf at (0, 0).
Color ProbeMark(std::int64_t n);

class PaintProbeTest : public RenderTest {
 protected:
  void SetUp() override;

  // Runs one paint cycle inside a real paint of the canvas, with pic and
  // fxLayer as given and the probes as effects; block throwAt (0: none)
  // throws. Afterwards pic and fxLayer hold what the cycle left, and the
  // window is back to no picture, so the repaints the cycle asked for draw
  // nothing and serve nothing.
  void ProbePaint(std::int64_t throwAt = 0);

  Ref<Picture> pic;
  Ref<Picture> fxLayer;
  std::vector<BlockRecord> blocks;

 private:
  bool armed_ = false;
};
