#include "decide/caps_vietnamese.h"

#include "decide/builtin_words.h"
#include "decide/decision_labels.h"
#include "decide/lexicon.h"
#include "decide/word_shape.h"
#include "engine/syllable.h"

namespace tonvira {

bool CapsVietnamese(const Engine& e, std::u16string_view keys, const ComposeResult& composed,
                    bool atWordEnd) {
  if (!e.capsViOn || !e.vietSyllables || composed.text == keys) return false;
  if (!IsLabel(WordShape(keys, e.method), label::kAllCaps)) return false;
  if (atWordEnd && !IsWellFormedSyllable(composed.text)) return false;
  if (IsCapsEnglishWord(keys) || IsForeignName(keys) || IsRomanNineteen(keys)) return false;

  bool strong = HasStrongVietKeys(keys, e.method);
  bool strongOrDoubled = strong || HasDoubledVowel(keys);
  int frequency = SyllableFrequency(*e.vietSyllables, composed.text);
  int level = EnglishLevel(e.englishWords, keys);

  if (e.memory.CapsRunVietnamese) {
    if (e.memory.CapsRunEnglishWord && level >= 1 && level <= 20) return strongOrDoubled;
    return strongOrDoubled || frequency != 0;
  }
  if (IsCapsNotVietnamese(keys)) return false;
  if (level != 0) {
    // An English word in capitals stays English unless it is rare and the keys are plainly
    // Vietnamese typing (VIEETJ), or the field is Vietnamese and one tone key closes it.
    if (level < 11 || !e.memory.LineStart || e.decision.reDeciding) return false;
    if (!strongOrDoubled) {
      return atWordEnd && e.contextOn && e.fieldClass == ContextClass::Vietnamese && level == 35 &&
             EndsWithSingleToneKey(keys, e.method) && frequency != 0;
    }
    if (level > 20) return (frequency <= 1 ? 0 : frequency) >= 5;
    return e.memory.EnglishLean <= 0 && frequency >= 10;
  }
  if (keys.size() > 3) return strongOrDoubled || frequency >= 2;
  return strong || frequency > 9;
}

}  // namespace tonvira
