#include "text/letters.h"

#include "text/letter_index.h"
#include "text/vowel_table.h"

namespace tonvira {
namespace {

constexpr char16_t kDStroke = u'đ';

}  // namespace

char16_t ToLowerVi(char16_t c) {
  return letter_index::Info(c).lower;
}

char16_t ToUpperVi(char16_t c) {
  return letter_index::Info(c).upper;
}

bool IsVietVowel(char16_t c) {
  return letter_index::Info(LowerAsciiLetter(c)).row >= 0;
}

VowelCell FindLowerVowel(char16_t c) {
  letter_index::CharInfo info = letter_index::Info(c);
  if (info.row < 0) return {};
  return {info.row, static_cast<Tone>(info.tone)};
}

char16_t VowelForm(int row, Tone tone) {
  return kLowerForms[row * kToneForms + tone];
}

char16_t BaseOf(char16_t c) {
  return letter_index::Info(c).base;
}

bool IsVietLetter(char16_t c) {
  return letter_index::Info(c).vietLetter != 0;
}

std::u16string StripTones(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = BaseOf(c);
  return out;
}

DecomposedChar DecomposeChar(char16_t c) {
  DecomposedChar out;
  char16_t lower = ToLowerVi(c);
  out.letter.upper = lower != c;
  if (lower == kDStroke) {
    out.letter.base = u'd';
    out.letter.mark = kMarkStroke;
    return out;
  }
  VowelCell cell = FindLowerVowel(lower);
  if (cell.row >= 0) {
    lower = kBaseVowels[cell.row];
    out.tone = cell.tone;
  }
  switch (lower) {
    case u'ă':
      out.letter = {u'a', kMarkBreve, out.letter.upper, 0};
      break;
    case u'â':
      out.letter = {u'a', kMarkCircumflex, out.letter.upper, 0};
      break;
    case u'ê':
      out.letter = {u'e', kMarkCircumflex, out.letter.upper, 0};
      break;
    case u'ô':
      out.letter = {u'o', kMarkCircumflex, out.letter.upper, 0};
      break;
    case u'ơ':
      out.letter = {u'o', kMarkHorn, out.letter.upper, 0};
      break;
    case u'ư':
      out.letter = {u'u', kMarkHorn, out.letter.upper, 0};
      break;
    default:
      out.letter.base = lower;
      break;
  }
  return out;
}

char16_t ComposeLetter(const Letter& letter, Tone tone) {
  char16_t c = ApplyMark(letter.base, letter.mark);
  if (tone != kToneNone) {
    letter_index::CharInfo info = letter_index::Info(c);
    if (info.row >= 0 && info.tone == kToneNone) c = VowelForm(info.row, tone);
  }
  return letter.upper ? ToUpperVi(c) : c;
}

}  // namespace tonvira
