#pragma once
// The editor's own words as a person meets them, written out once for the
// tests and never taken from the code: a reworded message or a misspelt
// caption in the code then fails the tests that check it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace texts {

// Effect n's name: its button's help tag and the caption of its preview.
inline constexpr std::array<const char*, 12> kEffectNames = {
    "YGlitch", "Hertz",     "Blockr", "Ghost",    "Diacritix", "Taraxacum",
    "Coaxial", "Corrupted", "Broken", "Bad Copy", "Amplifier", "Overdrive",
};
inline const char* EffectName(std::int64_t n) { return kEffectNames.at(static_cast<std::size_t>(n - 1)); }

// The message boxes of image intake.
inline constexpr const char* kNotAnImage = "The selected item is not an image file.";
inline constexpr const char* kSizeRefused = "Image must be larger than 100px or smaller than 6000px on any side";

}  // namespace texts
