#include "compose/tone_position.h"

#include <string_view>

#include "text/letter_index.h"
#include "text/letters.h"

namespace tonvira {
namespace {

// Tones and case do not change which letter a character is.
char16_t Plain(char16_t c) {
  return letter_index::Info(c).base;
}

// What a letter is to the tone: not a vowel (-2), a plain vowel (-1), or a vowel with its
// own diacritic, ranked by which takes the tone first (ê, ô, ơ, ă, â: 0-4).
constexpr int kNotVowel = -2;
constexpr int kPlainVowel = -1;
int VowelRank(char16_t plain) {
  switch (plain) {
    case u'ê':
      return 0;
    case u'ô':
      return 1;
    case u'ơ':
      return 2;
    case u'ă':
      return 3;
    case u'â':
      return 4;
    case u'a':
    case u'e':
    case u'i':
    case u'o':
    case u'u':
    case u'ư':
    case u'y':
      return kPlainVowel;
    default:
      return kNotVowel;
  }
}

bool IsPlainVowel(char16_t c) {
  return VowelRank(c) != kNotVowel;
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
  int best = -1;
  int bestRank = 5;
  for (int i = 0; i < static_cast<int>(word.size()); ++i) {
    int rank = VowelRank(Plain(word[i]));
    if (rank == kNotVowel) continue;
    if (rank >= 0 && rank < bestRank) {
      best = i;
      bestRank = rank;
    }
    if (i != skip && count < kMaxVowels) vowels[count++] = i;
  }
  if (count == 0) return -1;
  if (best >= 0) return best;
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
