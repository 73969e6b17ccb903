// Whether a text is, or could still become, a well-formed Vietnamese syllable, by its
// letters alone.
#pragma once

#include <string>
#include <string_view>

#include "text/letters.h"

namespace tonvira {

struct SyllableParts {
  std::u16string onset;  // lower case, "" when the syllable starts with a vowel
  std::u16string rhyme;  // lower case, without tone
  Tone tone = kToneNone;
  uint8_t valid = 0;  // onset from the lists and a listed rhyme
};

SyllableParts ParseSyllable(std::u16string_view text);
// Adds the spelling rules: stop finals need sắc or nặng, k/gh/ngh before front vowels only...
bool IsWellFormedSyllable(std::u16string_view text);
// Lower case without tones or marks: Tiếng -> tieng, ươ -> uo, đ -> d.
std::u16string ToAsciiSkeleton(std::u16string_view text);
// Whether the text (followed by `more`) can still grow into a syllable (no spelling rules:
// ka, ach pass).
bool CouldBeSyllableStart(std::u16string_view text, std::u16string_view more = {});

}  // namespace tonvira
