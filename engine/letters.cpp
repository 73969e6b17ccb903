#include "engine/letters.h"

#include "engine/vowel_table.h"

namespace tonvira {
namespace {

constexpr char16_t kDStroke = u'đ';
constexpr char16_t kDStrokeUpper = u'Đ';

int IndexIn(std::u16string_view table, char16_t c) {
  auto pos = table.find(c);
  return pos == std::u16string_view::npos ? -1 : static_cast<int>(pos);
}

}  // namespace

char16_t ToLowerVi(char16_t c) {
  if (c < 128) return LowerAsciiLetter(c);
  if (c == kDStrokeUpper) return kDStroke;
  int i = IndexIn(kUpperForms, c);
  return i < 0 ? c : kLowerForms[i];
}

char16_t ToUpperVi(char16_t c) {
  if (c == kDStroke) return kDStrokeUpper;
  if (c >= u'a' && c <= u'z') return c - 32;
  int i = IndexIn(kLowerForms, c);
  return i < 0 ? c : kUpperForms[i];
}

bool IsVietVowel(char16_t c) {
  if (c >= u'A' && c <= u'Z') c += 32;
  return IndexIn(kLowerForms, c) >= 0 || IndexIn(kBaseVowels, c) >= 0;
}

VowelCell FindLowerVowel(char16_t c) {
  int i = IndexIn(kLowerForms, c);
  if (i < 0) return {};
  return {i / kToneForms, static_cast<Tone>(i % kToneForms)};
}

char16_t VowelForm(int row, Tone tone) {
  return kLowerForms[row * kToneForms + tone];
}

char16_t BaseOf(char16_t c) {
  c = ToLowerVi(c);
  VowelCell cell = FindLowerVowel(c);
  return cell.row < 0 ? c : kBaseVowels[cell.row];
}

bool IsVietLetter(char16_t c) {
  char16_t b = BaseOf(c);
  return (b >= u'a' && b <= u'z') || b == u'đ' || IsVietVowel(b);
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

char16_t ApplyMark(char16_t base, Mark mark) {
  switch (mark) {
    case kMarkCircumflex:
      if (base == u'a') return u'â';
      if (base == u'e') return u'ê';
      if (base == u'o') return u'ô';
      break;
    case kMarkBreve:
      if (base == u'a') return u'ă';
      break;
    case kMarkHorn:
      if (base == u'o') return u'ơ';
      if (base == u'u') return u'ư';
      break;
    case kMarkStroke:
      if (base == u'd') return kDStroke;
      break;
    case kMarkNone:
      break;
  }
  return base;
}

char16_t ComposeLetter(const Letter& letter, Tone tone) {
  char16_t c = ApplyMark(letter.base, letter.mark);
  if (tone != kToneNone) {
    int row = IndexIn(kBaseVowels, c);
    if (row >= 0) c = VowelForm(row, tone);
  }
  return letter.upper ? ToUpperVi(c) : c;
}

}  // namespace tonvira
