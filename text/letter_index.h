// The vowel table turned into index tables at compile time, so that every letter lookup on
// the key path (lower case, upper case, base vowel, row and tone) is one array read instead of
// a scan of the table. Vietnamese letters live in two blocks: U+0000-U+01FF (Latin-1 and
// Latin Extended-A/B: ă, ơ, ư, đ...) and U+1EA0-U+1EF9 (the toned forms).
#pragma once

#include <array>
#include <cstdint>

#include "text/vowel_table.h"

namespace tonvira::letter_index {

struct CharInfo {
  char16_t lower = 0;  // ToLowerVi
  char16_t upper = 0;  // ToUpperVi
  char16_t base = 0;   // BaseOf: lower case, tone removed
  char16_t plain = 0;  // lower case without tone or mark: ấ -> a, ư -> u, đ -> d
  int8_t row = -1;     // row in the lower tone table when the character itself is in it
  uint8_t tone = 0;    // its tone there
  uint8_t vietLetter = 0;
};

// The letter under each base vowel row, without its mark.
inline constexpr std::u16string_view kPlainVowels = u"aaaeeiooouuy";
static_assert(kPlainVowels.size() == kVowelRows);

inline constexpr char16_t kLowBlockEnd = 0x200;
inline constexpr char16_t kHighBlockStart = 0x1EA0;
inline constexpr char16_t kHighBlockEnd = 0x1F00;

constexpr int IndexOf(std::u16string_view table, char16_t c) {
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i] == c) return static_cast<int>(i);
  }
  return -1;
}

// The lookups as the scans of the table define them; only run by the compiler.
constexpr CharInfo Describe(char16_t c) {
  CharInfo info;
  if (c < 128) {
    info.lower = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  } else if (c == u'Đ') {
    info.lower = u'đ';
  } else {
    int i = IndexOf(kUpperForms, c);
    info.lower = i < 0 ? c : kLowerForms[static_cast<size_t>(i)];
  }
  if (c == u'đ') {
    info.upper = u'Đ';
  } else if (c >= u'a' && c <= u'z') {
    info.upper = static_cast<char16_t>(c - 32);
  } else {
    int i = IndexOf(kLowerForms, c);
    info.upper = i < 0 ? c : kUpperForms[static_cast<size_t>(i)];
  }
  int own = IndexOf(kLowerForms, c);
  if (own >= 0) {
    info.row = static_cast<int8_t>(own / kToneForms);
    info.tone = static_cast<uint8_t>(own % kToneForms);
  }
  int lowered = IndexOf(kLowerForms, info.lower);
  info.base = lowered < 0 ? info.lower : kBaseVowels[static_cast<size_t>(lowered / kToneForms)];
  info.plain = lowered < 0 ? info.lower : kPlainVowels[static_cast<size_t>(lowered / kToneForms)];
  if (info.plain == u'đ') info.plain = u'd';
  info.vietLetter =
      (info.base >= u'a' && info.base <= u'z') || info.base == u'đ' || IndexOf(kLowerForms, info.base) >= 0;
  return info;
}

template <char16_t First, char16_t End>
constexpr std::array<CharInfo, End - First> Block() {
  std::array<CharInfo, End - First> block{};
  for (size_t i = 0; i < block.size(); ++i) block[i] = Describe(static_cast<char16_t>(First + i));
  return block;
}

inline constexpr std::array<CharInfo, kLowBlockEnd> kLowBlock = Block<0, kLowBlockEnd>();
inline constexpr std::array<CharInfo, kHighBlockEnd - kHighBlockStart> kHighBlock =
    Block<kHighBlockStart, kHighBlockEnd>();

// Any other character is its own lower, upper and base form, and no letter of ours.
inline CharInfo Info(char16_t c) {
  if (c < kLowBlockEnd) return kLowBlock[c];
  if (c >= kHighBlockStart && c < kHighBlockEnd) return kHighBlock[c - kHighBlockStart];
  return {c, c, c, c, -1, 0, 0};
}

}  // namespace tonvira::letter_index
