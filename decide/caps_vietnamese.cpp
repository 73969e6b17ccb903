#include "decide/caps_vietnamese.h"

#include "compose/syllable.h"
#include "decide/builtin_words.h"
#include "decide/decision_labels.h"
#include "decide/lexicon.h"
#include "decide/word_shape.h"

namespace tonvira {

bool CapsVietnamese(const DecisionInput& in, std::u16string_view keys, const ComposeResult& composed,
                    bool atWordEnd) {
  if (!in.options.capsViOn || !in.options.vietSyllables || composed.text == keys) return false;
  if (!IsLabel(WordShape(keys, in.options.method), label::kAllCaps)) return false;
  if (atWordEnd && !IsWellFormedSyllable(composed.text)) return false;
  if (IsCapsEnglishWord(keys) || IsForeignName(keys) || IsRomanNineteen(keys)) return false;

  bool strong = HasStrongVietKeys(keys, in.options.method);
  bool strongOrDoubled = strong || HasDoubledVowel(keys);
  int frequency = SyllableFrequency(*in.options.vietSyllables, composed.text);
  int level = EnglishLevel(in.options.englishWords, keys);

  if (in.memory.CapsRunVietnamese) {
    if (in.memory.CapsRunEnglishWord && level >= 1 && level <= 20) return strongOrDoubled;
    return strongOrDoubled || frequency != 0;
  }
  if (IsCapsNotVietnamese(keys)) return false;
  if (level != 0) {
    // An English word in capitals stays English unless it is rare and the keys are plainly
    // Vietnamese typing (VIEETJ), or the field is Vietnamese and one tone key closes it.
    if (level < 11 || !in.memory.LineStart || in.reDeciding) return false;
    if (!strongOrDoubled) {
      return atWordEnd && in.options.contextOn && in.options.fieldClass == ContextClass::Vietnamese &&
             level == 35 && EndsWithSingleToneKey(keys, in.options.method) && frequency != 0;
    }
    if (level > 20) return (frequency <= 1 ? 0 : frequency) >= 5;
    return in.memory.EnglishLean <= 0 && frequency >= 10;
  }
  if (keys.size() > 3) return strongOrDoubled || frequency >= 2;
  return strong || frequency > 9;
}

}  // namespace tonvira
