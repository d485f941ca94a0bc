#pragma once
// Pictures built in code for tests; nothing here needs the toolkit.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "framework/Picture.h"

// A picture whose pixel (x, y) is f(x, y); with an alpha channel.
Ref<Picture> MakePicture(std::int64_t w, std::int64_t h, const std::function<Color(std::int64_t, std::int64_t)>& f);
Ref<Picture> SolidPicture(std::int64_t w, std::int64_t h, Color c);
// Photo-like content: smooth gradients, edges, some noise and greys;
// deterministic for a seed.
Ref<Picture> PhotoLikePicture(std::int64_t w, std::int64_t h, std::uint32_t seed = 1);

// Every pixel of a equals the one of b (sizes must match).
::testing::AssertionResult SamePixels(const Ref<Picture>& a, const Ref<Picture>& b);

// p is a fresh preview layer of w x h: fully transparent, with an alpha
// channel.
::testing::AssertionResult IsFreshLayer(const Ref<Picture>& p, std::int64_t w, std::int64_t h);

// Every pixel of the picture is expected(x, y).
::testing::AssertionResult Shows(const Ref<Picture>& picture,
                                 const std::function<Color(std::int64_t, std::int64_t)>& expected);

// Peak signal-to-noise ratio of the colours of b against a, in dB; infinite
// for identical pictures.
double Psnr(const Ref<Picture>& a, const Ref<Picture>& b);
