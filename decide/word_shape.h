// Shapes that make a word not Vietnamese by its keys alone, and small key-pattern tests.
#pragma once

#include <string_view>

#include "text/letters.h"

namespace tonvira {

// A shape label ("co chu so", "camelCase"...) or null.
const char* WordShape(std::u16string_view keys, InputMethod method);

// Keys only Vietnamese typing produces: a final j, dd, w after a, o, u (VNI: 6-9, or a
// final 5 after at least two keys).
bool HasStrongVietKeys(std::u16string_view keys, InputMethod method);
// aa, ee or oo (either case).
bool HasDoubledVowel(std::u16string_view keys);
// After the first vowel exactly one tone key, and it is the last key.
bool EndsWithSingleToneKey(std::u16string_view keys, InputMethod method);
// IX, XIX, XXIX, XXXIX (either case).
bool IsRomanNineteen(std::u16string_view keys);

// "-", ".", "/", ":", "@", "\" and "_": kept after a word as typed.
inline bool IsTrailingSuffixChar(char16_t c) {
  constexpr AsciiSet kSuffixChars("-./:@\\_");
  return kSuffixChars.contains(c);
}
// Sentence ends: a separator of LF, CR, "!" or "?", or a suffix with ".", "!" or "?".
bool IsSentenceEnd(std::u16string_view suffix, char16_t separator);

// A capital first letter and no other capital A-Z (Hanoi, not HaNoi).
bool IsCapitalised(std::u16string_view keys);
struct LanguageMemory;
// A capitalised word where no sentence starts: likely a name, kept as typed by autofix, the
// split of a word and the currency amounts.
bool MidSentenceCapital(std::u16string_view keys, const LanguageMemory& memory);
// No capital A-Z after the first key.
bool HasNoCapitalAfterFirst(std::u16string_view keys);

}  // namespace tonvira
