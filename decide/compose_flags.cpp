#include "decide/compose_flags.h"

#include <algorithm>

#include "decide/lexicon.h"

namespace tonvira {
uint32_t ComposeFlagsFor(const DecisionInput& in, std::u16string_view keys, bool strict) {
  if (!in.options.freeMarksOn || !in.options.smartOn || in.options.blocked || EnglishOnlyField(in.options))
    return 0;
  // A capital inside the word (iPhone, McDonald) is no Vietnamese habit.
  if (keys.size() > 1 && std::any_of(keys.begin() + 1, keys.end(), IsAsciiUpper)) return in.options.baseFlags;
  // A capitalised word in mid-sentence while the text leans English is likely a name.
  if (keys.size() >= 2 && IsAsciiUpper(keys[0]) && !in.memory.SentenceStart && in.memory.EnglishLean >= 0 &&
      !(in.options.contextOn && in.options.fieldClass == ContextClass::Vietnamese &&
        in.options.weights[weight::kEnglishWordLean] >= in.memory.EnglishLean)) {
    return in.options.baseFlags;
  }
  uint32_t all = in.options.baseFlags | in.options.extraFlags;
  if (!in.options.englishWords || !in.options.englishLookupOn) return all;
  bool asciiLetters =
      !keys.empty() && std::all_of(keys.begin(), keys.end(), [](char16_t c) { return IsAsciiLetter(c); });
  if (!asciiLetters) return all;
  bool english = strict ? IsEnglishPrefix(*in.options.englishWords, keys)
                        : EnglishLevel(in.options.englishWords, keys) != 0;
  return english ? in.options.baseFlags : all;
}

}  // namespace tonvira
