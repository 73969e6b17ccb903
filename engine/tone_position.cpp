#include "engine/tone_position.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "engine/letter_index.h"
#include "engine/letters.h"

namespace tonvira {
namespace {

// Tones and case do not change which letter a character is.
char16_t Plain(char16_t c) {
  return letter_index::Info(c).base;
}

bool IsPlainVowel(char16_t c) {
  switch (c) {
    case u'a':
    case u'ă':
    case u'â':
    case u'e':
    case u'ê':
    case u'i':
    case u'o':
    case u'ô':
    case u'ơ':
    case u'u':
    case u'ư':
    case u'y':
      return true;
    default:
      return false;
  }
}

// The u of qu and the i of gi before a vowel belong to the onset, never to the tone.
int SkipIndex(std::u16string_view word) {
  if (word.size() <= 2) return -1;
  char16_t first = Plain(word[0]);
  char16_t second = Plain(word[1]);
  if (first == u'q' && second == u'u') return 1;
  if (first == u'g' && second == u'i' && IsPlainVowel(Plain(word[2]))) return 1;
  return -1;
}

}  // namespace

int TonePosition(std::u16string_view word, bool classic) {
  constexpr int kMaxVowels = 16;
  int vowels[kMaxVowels];
  int count = 0;
  int skip = SkipIndex(word);
  // A vowel with its own diacritic takes the tone wherever it stands, ê first, then ô, ơ, ă, â.
  constexpr std::u16string_view kPriority = u"êôơăâ";
  int first[kPriority.size()];
  std::fill(std::begin(first), std::end(first), -1);
  for (int i = 0; i < static_cast<int>(word.size()); ++i) {
    char16_t plain = Plain(word[i]);
    if (size_t p = kPriority.find(plain); p != std::u16string_view::npos && first[p] < 0) first[p] = i;
    if (i != skip && count < kMaxVowels && IsPlainVowel(plain)) vowels[count++] = i;
  }
  if (count == 0) return -1;
  for (int i : first) {
    if (i >= 0) return i;
  }
  if (count == 1) return vowels[0];
  if (count >= 3) return vowels[1];
  // Two vowels: a final consonant after them puts the tone on the second (hoàn).
  if (vowels[1] != static_cast<int>(word.size()) - 1) return vowels[1];
  if (classic) return vowels[0];
  char16_t a = Plain(word[vowels[0]]);
  char16_t b = Plain(word[vowels[1]]);
  bool secondTakesIt = (a == u'o' && (b == u'a' || b == u'e')) || (a == u'u' && b == u'y');
  return secondTakesIt ? vowels[1] : vowels[0];
}

}  // namespace tonvira
