#include "decide/scoring.h"

#include <algorithm>

#include "compose/syllable.h"
#include "decide/builtin_words.h"
#include "decide/decision_labels.h"
#include "decide/lexicon.h"
#include "decide/word_pairs.h"
#include "decide/word_shape.h"

namespace tonvira {
namespace {

// Frequency in vi_syllables.txt from which a form the table lacks counts as common.
constexpr uint8_t kDerivedUsageCommon = 15;
// The word before never outweighs a whole English level band.
constexpr float kMaxPairEvidence = 2.0f;

// English weight by frequency level: 1-10, 11-20, 21-35; rarer words weigh nothing.
float EnglishWeight(const ScoreWeights& w, int level) {
  if (level >= 1 && level <= 10) return w[weight::kEnglishTop];
  if (level >= 11 && level <= 20) return w[weight::kEnglishCommon];
  if (level >= 21 && level <= 35) return w[weight::kEnglishKnown];
  return 0;
}

// Vietnamese weight by usage; a form not in the table counts as uncommon.
float VietnameseWeight(const ScoreWeights& w, int usage) {
  if (usage >= 3) return w[weight::kVietVeryCommon];
  if (usage == 2) return w[weight::kVietCommon];
  return w[weight::kVietUncommon];
}

// A form the built-in table lacks is weighed by how much Vietnamese text uses it, up to
// "common": the table alone calls a form "very common" (mã, frequency 34, is common).
int FormUsage(const DecisionInput& in, std::u16string_view form) {
  int usage = SyllableUsage(form);
  if (usage >= 0 || !in.options.vietSyllables) return usage;
  return SyllableFrequency(*in.options.vietSyllables, form) >= kDerivedUsageCommon ? 2 : usage;
}

// The word before as evidence: how often the English word follows it in English text against
// how often the Vietnamese form follows it in Vietnamese text, a point a factor of ten.
float PairEvidence(const DecisionInput& in, std::u16string_view keys, std::u16string_view form) {
  if (!in.options.wordPairs) return 0;
  std::u16string_view previous = PreviousWord(in.committedText);
  if (previous.empty()) return 0;
  int english = PairScore(*in.options.wordPairs, PairLanguage::English, previous, keys);
  int vietnamese = PairScore(*in.options.wordPairs, PairLanguage::Vietnamese, previous, form);
  return std::clamp(static_cast<float>(english - vietnamese) / 10.0f, -kMaxPairEvidence, kMaxPairEvidence);
}

}  // namespace

ScoreResult ScoreWord(const DecisionInput& in, std::u16string_view keys, const ComposeResult& composed) {
  const ScoreWeights& w = in.options.weights;
  if (!in.options.englishWords || HasNonAscii(keys))
    return {WordAction::Vietnamese, ReasonCode::Vietnamese, label::kNotEnglishWord};
  int level = EnglishLevel(in.options.englishWords, keys);
  if (level == 0) return {WordAction::Vietnamese, ReasonCode::Vietnamese, label::kNotEnglishWord};
  if (level >= 36) return {WordAction::Vietnamese, ReasonCode::Vietnamese, label::kRareEnglishWord};
  int usage = FormUsage(in, composed.text);
  if (usage == 0) return {WordAction::English, ReasonCode::UnusedSyllable, label::kUnusedSyllable};

  float s = EnglishWeight(w, level) - VietnameseWeight(w, usage);
  if (composed.toneBeforeMark) s += w[weight::kToneKeyFirst];
  s += in.memory.EnglishLean + w[weight::kWordBefore] * PairEvidence(in, keys, composed.text);
  if (in.options.contextOn && in.options.fieldClass == ContextClass::Vietnamese) s += w[weight::kVietField];
  s -= in.options.enThreshold - 2.0f;
  if (s > 0) return {WordAction::English, ReasonCode::LeansEnglish, label::kLeansEnglish, s};
  return {WordAction::Vietnamese, ReasonCode::LeansVietnamese, label::kLeansVietnamese,
          s};  // a tie keeps Vietnamese
}

float LeanDelta(const DecisionInput& in, std::u16string_view keys, WordAction action, ReasonCode code) {
  const ScoreWeights& w = in.options.weights;
  int level = EnglishLevel(in.options.englishWords, keys);
  bool function = IsFunctionWord(keys);
  bool everyday = level >= 1 && level <= 35;
  switch (code) {
    case ReasonCode::Context:
      return 0;
    case ReasonCode::Shape:
      return w[weight::kCurrencyLean];
    case ReasonCode::NotSyllable:
      if (function) return w[weight::kFunctionWordLean];
      return everyday ? w[weight::kEnglishWordLean] : w[weight::kRareEnglishLean];
    case ReasonCode::Vietnamese:
      return w[weight::kVietnameseLean];
    case ReasonCode::LeansEnglish:
    case ReasonCode::UnusedSyllable:
      return function ? w[weight::kFunctionWordLean] : w[weight::kEnglishWordLean];
    case ReasonCode::LeansVietnamese:
      return w[weight::kLeansVietnameseLean];
    default:
      break;
  }
  if (action == WordAction::Vietnamese) return w[weight::kVietnameseLean];
  if (IsWellFormedSyllable(keys)) {
    int usage = SyllableUsage(keys);
    if (function && usage <= 1)
      return w[weight::kFunctionWordLean];  // "the": English, though Telex leaves it alone
    if (everyday) {
      float d = EnglishWeight(w, level) - VietnameseWeight(w, usage);
      if (function) d = std::max(w[weight::kFunctionWordLeast], d);
      return std::clamp(d, -2.0f, 2.0f);
    }
    return w[weight::kSyllableKeysLean];
  }
  if (function) return w[weight::kFunctionWordLean];
  if (level >= 36) return w[weight::kRareEnglishLean];
  return everyday ? w[weight::kEnglishWordLean] : 0;
}

void UpdateLean(LanguageMemory& memory, const ScoreWeights& w, float delta, std::u16string_view suffix,
                char16_t separator) {
  float lean = w[weight::kLeanDecay] * memory.EnglishLean + delta;
  if (lean > w[weight::kLeanCeiling]) lean = w[weight::kLeanCeiling];
  if (lean < w[weight::kLeanFloor]) lean = w[weight::kLeanFloor];
  bool sentenceEnd = IsSentenceEnd(suffix, separator);
  memory.SentenceStart = sentenceEnd;
  if (sentenceEnd) lean *= w[weight::kSentenceEndDecay];
  memory.EnglishLean = lean;
}

}  // namespace tonvira
