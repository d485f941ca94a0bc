#pragma once
// The editor's own words as a person meets them, written out once for the
// tests and never taken from the code: a reworded message or a misspelt
// caption in the code then fails the tests that check it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// The message boxes of saving.
inline constexpr const char* kApplyOrCancel = "Please, apply or cancel effect before saving.";
inline constexpr const char* kNotSaved = "The image could not be saved.";

// The developer log of an export in the 910 x 647 canvas: its size before
// the save dialog and again after it.
inline const std::vector<std::string> kExportLogLines = {"910", "647", "910", "647"};

}  // namespace texts
