// Lookups over the word lists built into the program (english_word_lists.h,
// vi_syllable_levels.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tonvira {

// How much a Vietnamese form that English typing produces is used: 0-3, or -1 when the
// word is not listed. Looked up by SyllableKey, so hòa and hoà are one word.
int SyllableUsage(std::u16string_view word);

// Membership of a word in the English lists; the word's A-Z are lowered first, and a word
// with any character above U+007F is in none of them.
bool IsFunctionWord(std::u16string_view word);
bool IsEnglishContraction(std::u16string_view word);
bool IsCapsEnglishWord(std::u16string_view word);
bool IsCapsNotVietnamese(std::u16string_view word);
bool IsForeignName(std::u16string_view word);
bool IsFileExtension(std::u16string_view word);  // 1 to 4 characters

// Builds the lookup maps now rather than on the first key (start-up does this before the
// keyboard hook exists).
void WarmBuiltinWords();

}  // namespace tonvira
