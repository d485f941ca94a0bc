#pragma once
// Pictures built in code, scripted draws and the checks that the effect
// tests share.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "framework/TestSeams.h"
#include "tests/render/effects/EffectHarness.h"

namespace effect_checks {

inline Ref<Picture> PictureOf(std::int64_t w, std::int64_t h, const std::function<Color(std::int64_t, std::int64_t)>& f) {
  auto p = MakeRef<Picture>(w, h);
  RGBSurface s = p->RGBSurface();
  for (std::int64_t y = 0; y < h; ++y)
    for (std::int64_t x = 0; x < w; ++x) s.SetPixel(x, y, f(x, y));
  return p;
}

inline Ref<Picture> SolidPictureOf(std::int64_t w, std::int64_t h, Color c) {
  return PictureOf(w, h, [c](std::int64_t, std::int64_t) { return c; });
}

// Random colours with every kind of pixel the effects tell apart: greys,
// black, white, the maxima at the value bounds (51, 84, 85, 102, 127, 128, 153,
// 170, 171, 204), the saturations 0.1 and 0.2, and some see-through alphas.
inline Ref<Picture> MixedPicture(std::int64_t w, std::int64_t h, std::uint32_t seed = 1) {
  std::mt19937 g(seed);
  return PictureOf(w, h, [&g](std::int64_t, std::int64_t) {
    const int r = static_cast<int>(g() % 256), gr = static_cast<int>(g() % 256), b = static_cast<int>(g() % 256);
    const int alpha = g() % 10 == 0 ? static_cast<int>(g() % 255) : 0;
    static constexpr int kBounds[] = {51, 84, 85, 102, 127, 128, 153, 170, 171, 204};
    switch (g() % 10) {
      case 0: return RGB(r, r, r, alpha);
      case 1: return RGB(0, 0, 0);
      case 2: return RGB(255, 255, 255);
      case 3: {
        const int m = kBounds[g() % 10];
        return RGB(m, static_cast<int>(g() % (m + 1)), static_cast<int>(g() % (m + 1)), alpha);
      }
      case 4: return g() % 2 ? RGB(250, 225, 240) : RGB(100, 80, 95);  // saturation 0.1 and 0.2
      default: return RGB(r, gr, b, alpha);
    }
  });
}

inline ::testing::AssertionResult SamePixels(const Ref<Picture>& a, const Ref<Picture>& b) {
  if (a->Width() != b->Width() || a->Height() != b->Height()) return ::testing::AssertionFailure() << "sizes differ";
  RGBSurface sa = a->RGBSurface(), sb = b->RGBSurface();
  for (std::int64_t y = 0; y < a->Height(); ++y)
    for (std::int64_t x = 0; x < a->Width(); ++x) {
      const Color p = sa.Pixel(x, y), q = sb.Pixel(x, y);
      if (p != q)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << int(p.red) << ","
                                             << int(p.green) << "," << int(p.blue) << "," << int(p.alpha) << " vs "
                                             << int(q.red) << "," << int(q.green) << "," << int(q.blue) << ","
                                             << int(q.alpha);
    }
  return ::testing::AssertionSuccess();
}

// A fresh preview layer is transparent; no effect leaves a pixel of it so
// when the source has no transparent pixel.
inline ::testing::AssertionResult EveryPixelWritten(const Ref<Picture>& fx) {
  RGBSurface s = fx->RGBSurface();
  for (std::int64_t y = 0; y < fx->Height(); ++y)
    for (std::int64_t x = 0; x < fx->Width(); ++x)
      if (s.Pixel(x, y) == kTransparent) return ::testing::AssertionFailure() << "(" << x << ", " << y << ") unwritten";
  return ::testing::AssertionSuccess();
}

// Every pixel opaque (alpha 0).
inline ::testing::AssertionResult EveryPixelOpaque(const Ref<Picture>& fx) {
  RGBSurface s = fx->RGBSurface();
  for (std::int64_t y = 0; y < fx->Height(); ++y)
    for (std::int64_t x = 0; x < fx->Width(); ++x)
      if (s.Pixel(x, y).alpha != 0) return ::testing::AssertionFailure() << "(" << x << ", " << y << ") not opaque";
  return ::testing::AssertionSuccess();
}

// Greys of many values, some see-through.
inline Ref<Picture> GreyPicture(std::int64_t w, std::int64_t h) {
  return PictureOf(w, h, [](std::int64_t x, std::int64_t y) {
    const int v = static_cast<int>((x * 7 + y * 3) % 256);
    return RGB(v, v, v, static_cast<int>((x + y) % 3) * 50);
  });
}

// Every pixel grey: red, green and blue alike.
inline ::testing::AssertionResult EveryPixelGrey(const Ref<Picture>& fx) {
  RGBSurface s = fx->RGBSurface();
  for (std::int64_t y = 0; y < fx->Height(); ++y)
    for (std::int64_t x = 0; x < fx->Width(); ++x) {
      const Color p = s.Pixel(x, y);
      if (p.red != p.green || p.green != p.blue) return ::testing::AssertionFailure() << "(" << x << ", " << y << ") coloured";
    }
  return ::testing::AssertionSuccess();
}

// Rnd answers `first` in order, then `then` for ever, and counts the draws;
// the generator is back when this goes.
class ScriptedRnd {
 public:
  explicit ScriptedRnd(std::vector<double> first, double then = 0.5) : first_(std::move(first)), then_(then) {
    TestSeams::ScriptRnd([this] { return draws_ < static_cast<std::int64_t>(first_.size()) ? first_[draws_++] : (++draws_, then_); });
  }
  ~ScriptedRnd() { TestSeams::ScriptRnd(nullptr); }
  ScriptedRnd(const ScriptedRnd&) = delete;
  ScriptedRnd& operator=(const ScriptedRnd&) = delete;
  std::int64_t Draws() const { return draws_; }

 private:
  std::vector<double> first_;
  double then_;
  std::int64_t draws_ = 0;
};

// glitchRandom answering answer(min, max) and counting the draws.
class ScriptedRandom {
 public:
  explicit ScriptedRandom(std::function<std::int64_t(std::int64_t, std::int64_t)> answer) {
    TestSeams::ScriptRandom(random_, [this, answer = std::move(answer)](std::int64_t min, std::int64_t max) {
      ++draws_;
      return answer(min, max);
    });
  }
  ScriptedRandom(const ScriptedRandom&) = delete;
  ScriptedRandom& operator=(const ScriptedRandom&) = delete;
  Random& Generator() { return random_; }
  std::int64_t Draws() const { return draws_; }

 private:
  Random random_{1};
  std::int64_t draws_ = 0;
};

// The effect against a plain pixel-loop version of it, on mixed pictures of
// the given sizes at the given strengths, with separate pictures and in place.
struct Size {
  std::int64_t w, h;
};
inline void ExpectSameAsReference(EffectFunction effect, EffectFunction reference, const std::vector<Size>& sizes,
                                  const std::vector<std::int64_t>& strengths) {
  std::uint64_t seed = 1;
  for (const Size& size : sizes) {
    const Ref<Picture> source = MixedPicture(size.w, size.h, static_cast<std::uint32_t>(seed));
    for (const std::int64_t v : strengths) {
      for (const bool inPlace : {false, true}) {
        const EffectSetup setup{v, seed, seed + 100, inPlace};
        const EffectRun fast = RunEffect(effect, source, setup);
        const EffectRun plain = RunEffect(reference, source, setup);
        EXPECT_TRUE(SamePixels(fast.fxLayer, plain.fxLayer))
            << size.w << " x " << size.h << " at " << v << (inPlace ? " in place" : " separate");
        EXPECT_TRUE(SamePixels(fast.pic, plain.pic)) << size.w << " x " << size.h << " at " << v;
        ++seed;
      }
    }
  }
}

}  // namespace effect_checks
