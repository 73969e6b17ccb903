#include "decide/syllable_key.h"

#include "text/letters.h"

namespace tonvira {

std::u16string_view SyllableKeyInto(std::u16string_view word, char16_t* buffer, size_t capacity) {
  if (word.size() + 1 > capacity) return {};
  Tone tone = kToneNone;
  for (size_t i = 0; i < word.size(); ++i) {
    char16_t lower = ToLowerVi(word[i]);
    if (VowelCell cell = FindLowerVowel(lower); cell.row >= 0 && cell.tone != kToneNone) {
      tone = cell.tone;
      lower = VowelForm(cell.row, kToneNone);
    }
    buffer[i] = lower;
  }
  buffer[word.size()] = static_cast<char16_t>(u'0' + tone);
  return {buffer, word.size() + 1};
}

std::u16string SyllableKey(std::u16string_view word) {
  std::u16string key(word.size() + 1, u'\0');
  SyllableKeyInto(word, key.data(), key.size());
  return key;
}

}  // namespace tonvira
