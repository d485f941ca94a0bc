#include "tests/render/RenderFixture.h"

#include <array>
#include <utility>

#include "framework/Exceptions.h"
#include "framework/TestSeams.h"
#include "render/effects/Effect.h"

void RenderTest::SetUp() {
  EditorTest::SetUp();
  w->MainCanvas()->SetWidth(kCanvasW);
  w->MainCanvas()->SetHeight(kCanvasH);
}

void RenderTest::Paint() { w->MainCanvas()->Refresh(true); }

std::vector<TestSeams::DrawCall> RenderTest::PaintRecordingDraws() {
  TestSeams::RecordDrawCalls(true);
  Paint();
  std::vector<TestSeams::DrawCall> calls = TestSeams::DrawCalls();
  TestSeams::RecordDrawCalls(false);
  return calls;
}

Color RenderTest::CanvasPixel(std::int64_t x, std::int64_t y) const {
  return TestSeams::CanvasImage(*w->MainCanvas())->RGBSurface().Pixel(x, y);
}

std::vector<bool> RenderTest::Flags() const {
  std::vector<bool> flags{w->applyFX, w->cancelFX};
  for (std::int64_t n = 1; n <= 12; ++n) flags.push_back(w->EffectTrigger(n));
  return flags;
}

void RenderTest::SetAllFlags(bool on) {
  w->applyFX = on;
  w->cancelFX = on;
  for (std::int64_t n = 1; n <= 12; ++n) w->EffectTrigger(n) = on;
}

Color ProbeMark(std::int64_t n) { return RGB(static_cast<int>(n), 200, 100); }

namespace {
std::vector<BlockRecord>* records = nullptr;
std::int64_t throwingBlock = 0;

template <std::int64_t N>
void Probe(const EffectContext& c) {
  records->push_back(BlockRecord{N, MainWindow()->ToolText()->Text(), c.picSurf, c.fxSurf, c.W, c.H, c.v,
                                 c.zW, c.zH, c.ZoomFactor, c.picSurf.Pixel(0, 0)});
  if (N == throwingBlock) throw OutOfBoundsException("probe");
  c.fxSurf.SetPixel(0, 0, ProbeMark(N));
}

// The effects' own names with the probes' functions: the captions a paint
// writes are the real ones.
template <std::size_t... I>
EffectTable ProbeTable(std::index_sequence<I...>) {
  return {{EffectEntry{kEffects[I].name, &Probe<static_cast<std::int64_t>(I) + 1>}...}};
}

// Lends the pictures to the window for one paint cycle and takes them back
// however the cycle ends.
struct Lend {
  Lend(class MainWindow& w, Ref<Picture>& pic, Ref<Picture>& fx) : w(w), pic(pic), fx(fx) {
    w.pic = std::move(pic);
    w.fxLayer = std::move(fx);
  }
  ~Lend() {
    pic = std::move(w.pic);
    fx = std::move(w.fxLayer);
    w.pic = nullptr;
    w.fxLayer = nullptr;
  }
  class MainWindow& w;
  Ref<Picture>& pic;
  Ref<Picture>& fx;
};
}  // namespace

void PaintProbeTest::SetUp() {
  RenderTest::SetUp();
  // Runs after MainCanvas_Paint, which finds no picture and does nothing.
  w->MainCanvas()->Paint.AddHandler([this](Canvas&, Graphics& g, const std::vector<Rect>&) {
    if (!armed_) return;
    armed_ = false;
    static const EffectTable probes = ProbeTable(std::make_index_sequence<12>{});
    Lend lend(*w, pic, fxLayer);
    PaintCycle(*w, g, probes);
  });
}

void PaintProbeTest::ProbePaint(std::int64_t throwAt) {
  blocks.clear();
  records = &blocks;
  throwingBlock = throwAt;
  armed_ = true;
  Paint();
  armed_ = false;
  records = nullptr;
}
