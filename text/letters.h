// The engine's letter model: twelve vowels with five tones, four letter
// modifications, and the case mappings that know Vietnamese letters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tonvira {

// Whether the text holds a character above U+007F: a Vietnamese letter, for what we type.
inline bool HasNonAscii(std::u16string_view s) {
  for (char16_t c : s) {
    if (c > 0x7F) return true;
  }
  return false;
}

// One tone per word; its position is computed when the word is shown.
enum Tone : uint32_t {
  kToneNone = 0,  // ngang
  kToneAcute,     // sắc
  kToneGrave,     // huyền
  kToneHook,      // hỏi
  kToneTilde,     // ngã
  kToneDot,       // nặng
};

enum Mark : uint32_t {
  kMarkNone = 0,
  kMarkCircumflex,  // â ê ô
  kMarkBreve,       // ă
  kMarkHorn,        // ơ ư
  kMarkStroke,      // đ
};

enum class InputMethod : uint32_t { Telex = 0, Vni = 1 };

// The unit in which a word is composed.
struct Letter {
  char16_t base = 0;  // always lower case
  Mark mark = kMarkNone;
  uint8_t upper = 0;        // typed as an upper-case A-Z
  uint8_t synthesized = 0;  // created by a transform key (the ư of a lone Telex w)
};

inline constexpr int kMaxLetters = 64;

// ASCII letters and digits: key roles and word shapes are decided on these.
inline bool IsAsciiUpper(char16_t c) {
  return c >= u'A' && c <= u'Z';
}
inline bool IsAsciiLower(char16_t c) {
  return c >= u'a' && c <= u'z';
}
inline bool IsAsciiLetter(char16_t c) {
  return IsAsciiUpper(c) || IsAsciiLower(c);
}
inline bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
// A set of ASCII characters, asked in constant time: the per-key character classes.
class AsciiSet {
 public:
  constexpr explicit AsciiSet(std::string_view chars) {
    for (char c : chars) bits_[static_cast<unsigned char>(c) >> 6] |= uint64_t{1} << (c & 63);
  }
  constexpr bool contains(char16_t c) const { return c < 128 && ((bits_[c >> 6] >> (c & 63)) & 1); }

 private:
  uint64_t bits_[2] = {};
};

// A-Z lowered, every other unit as it is.
inline char16_t LowerAsciiLetter(char16_t c) {
  return IsAsciiUpper(c) ? static_cast<char16_t>(c + 32) : c;
}

char16_t ToLowerVi(char16_t c);
char16_t ToUpperVi(char16_t c);
// Only lower-case text is recognised (A-Z are lowered first): "Ấ" is not a vowel here.
bool IsVietVowel(char16_t c);
std::u16string StripTones(std::u16string_view text);
// A letter of a word we type: a-z or a Vietnamese letter, either case, toned or not.
bool IsVietLetter(char16_t c);

// The row of a vowel in the tone table (0-11) and its tone, or row -1.
struct VowelCell {
  int row = -1;
  Tone tone = kToneNone;
};
VowelCell FindLowerVowel(char16_t c);
// The character for a base vowel row with a tone, lower case.
char16_t VowelForm(int row, Tone tone);
// Lower case, tone removed; other characters unchanged (after lowering).
char16_t BaseOf(char16_t c);

// Decomposing a composed character back into a Letter.
struct DecomposedChar {
  Letter letter;
  Tone tone = kToneNone;
};
DecomposedChar DecomposeChar(char16_t c);

// (base, mark) -> lower-case character; a mark that does not apply leaves the base.
inline char16_t ApplyMark(char16_t base, Mark mark) {
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
      if (base == u'd') return u'đ';
      break;
    case kMarkNone:
      break;
  }
  return base;
}
// The letter as shown: mark, then the tone if it carries the word's tone, then case.
char16_t ComposeLetter(const Letter& letter, Tone tone);

}  // namespace tonvira
