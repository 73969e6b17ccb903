#include "engine/compose_flags.h"

#include <algorithm>

#include "decide/lexicon.h"

namespace tonvira {
uint32_t ComposeFlagsFor(const Engine& e, std::u16string_view keys, bool strict) {
  if (!e.freeMarksOn || !e.smartOn || e.blocked || EnglishOnlyField(e)) return 0;
  // A capital inside the word (iPhone, McDonald) is no Vietnamese habit.
  if (keys.size() > 1 && std::any_of(keys.begin() + 1, keys.end(), IsAsciiUpper)) return e.baseFlags;
  // A capitalised word in mid-sentence while the text leans English is likely a name.
  if (keys.size() >= 2 && IsAsciiUpper(keys[0]) && !e.memory.SentenceStart && e.memory.EnglishLean >= 0 &&
      !(e.contextOn && e.fieldClass == ContextClass::Vietnamese &&
        e.weights[weight::kEnglishWordLean] >= e.memory.EnglishLean)) {
    return e.baseFlags;
  }
  uint32_t all = e.baseFlags | e.extraFlags;
  if (!e.englishWords || !e.englishLookupOn) return all;
  bool asciiLetters =
      !keys.empty() && std::all_of(keys.begin(), keys.end(), [](char16_t c) { return IsAsciiLetter(c); });
  if (!asciiLetters) return all;
  bool english = strict ? IsEnglishPrefix(*e.englishWords, keys) : EnglishLevel(e.englishWords, keys) != 0;
  return english ? e.baseFlags : all;
}

}  // namespace tonvira
