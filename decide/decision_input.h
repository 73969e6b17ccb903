// What a word decision reads: the options the settings and the shipped data give, the
// language memory of the words before, and the text committed before the word. The decisions
// are functions of this record (and of the word); the typing session owns what it refers to.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "compose/compose.h"
#include "config/settings.h"
#include "text/context_class.h"
#include "text/letters.h"

namespace tonvira {

struct EnglishWords;
struct Syllables;
struct WordPairs;
struct AbbrevTable;

// W0-W20: constants of the English/Vietnamese scoring and of the lean update, by name.
namespace weight {
enum : size_t {
  kEnglishTop,           // an English word of levels 1-10
  kEnglishCommon,        // levels 11-20
  kEnglishKnown,         // levels 21-35
  kVietVeryCommon,       // a Vietnamese form of usage 3
  kVietCommon,           // usage 2
  kVietUncommon,         // usage 1 or absent
  kToneKeyFirst,         // a tone key typed before a mark
  kWordBefore,           // the evidence of the word before
  kVietField,            // a field of class Vietnamese
  kFunctionWordLean,     // lean added by an English function word
  kFunctionWordLeast,    // the least a function word typed unchanged adds
  kEnglishWordLean,      // an English word
  kRareEnglishLean,      // a rare English word, or the lone letter rule's threshold
  kCurrencyLean,         // a currency fix
  kVietnameseLean,       // a Vietnamese word
  kLeansVietnameseLean,  // a word the score kept Vietnamese
  kSyllableKeysLean,     // keys left alone that are themselves a syllable
  kLeanFloor,
  kLeanCeiling,
  kLeanDecay,         // the old lean's share at each word
  kSentenceEndDecay,  // and at the end of a sentence
  kCount,
};
}  // namespace weight
using ScoreWeights = std::array<float, weight::kCount>;
// W7 weighs the evidence of the word before (a point for each factor of ten between the two
// languages' pair frequencies); with no pair data the evidence is 0.
inline constexpr ScoreWeights kDefaultScoreWeights = {3.0f,  2.0f,   1.0f,  4.0f,  2.5f, -1.0f, 2.0f,
                                                      1.0f,  -0.25f, 4.0f,  1.0f,  2.0f, 1.0f,  0.5f,
                                                      -2.5f, -1.5f,  -1.5f, -3.0f, 4.0f, 0.5f,  0.5f};

enum class WordAction : uint32_t { Unchanged = 0, Vietnamese = 1, English = 2 };

// Why a word was decided as it was; it sets how far the word moves the English lean.
enum class ReasonCode : uint32_t {
  Context = 0,          // the field or the settings decided (an English-only field, smart off)
  Shape = 1,            // the word's form decided (a shape, a contraction, a currency fix)
  Unchanged = 2,        // the keys are the word
  NotSyllable = 3,      // no Vietnamese syllable: a name, a word that cannot be one
  Vietnamese = 4,       // no English reading (not an English word, a rare one, a fix, an abbreviation)
  LeansEnglish = 5,     // the score leaned English
  LeansVietnamese = 6,  // the score leaned Vietnamese
  UnusedSyllable = 7,   // a syllable Vietnamese almost never uses
};

// What the words so far say: which language came last, how English the text has been, and
// where the sentence and the line stand.
struct LanguageMemory {
  uint32_t LastLanguage = 0;  // 1 Vietnamese, 2 English
  float EnglishLean = 0;      // running English evidence, -3.0 ... 4.0
  uint8_t SentenceStart = 1;
  uint8_t LineStart = 1;
  uint8_t CapsRunVietnamese = 0;  // a run of capitals that has been Vietnamese so far
  uint8_t CapsRunEnglishWord = 0;
};

// What the settings and the shipped data make of the engine, and the field it types into:
// set between words, read by every decision. The options that come from the settings have no
// values of their own: a new record holds what the settings hold by default.
struct EngineOptions {
  EngineOptions();

  ScoreWeights weights = kDefaultScoreWeights;
  const EnglishWords* englishWords = nullptr;
  const Syllables* vietSyllables = nullptr;
  const WordPairs* wordPairs = nullptr;  // which word follows which, in either language
  const AbbrevTable* abbrevTable = nullptr;
  // The library as shipped: its keys, with the expansion it gave them, are English words too.
  const AbbrevTable* shippedAbbrevs = nullptr;
  ContextClass fieldClass = ContextClass::Auto;
  uint8_t blocked = 0;                     // the field takes keys unchanged (password)
  uint32_t baseFlags = kOrdinaryFlags;     // out-of-order marks for every word
  uint32_t extraFlags = kNotEnglishFlags;  // added for words that are not English words
  uint8_t englishLookupOn = 1;

  // From the settings (CopySettings).
  InputMethod method;
  uint8_t classicPlacement;  // the inverse of old_tone
  uint8_t abbrevOn;
  uint8_t contextOn;
  uint8_t smartOn;
  uint8_t freeMarksOn;
  uint8_t capsViOn;
  uint8_t autofixOn;
  uint8_t bsEditOn;
  float enThreshold;
};

// The settings' part of the options; the shipped data, the field and the abbreviations stay.
void CopySettings(EngineOptions& options, const Settings& settings);

inline bool EnglishOnlyField(const EngineOptions& o) {
  return o.contextOn && o.fieldClass == ContextClass::English;
}

struct DecisionInput {
  const EngineOptions& options;
  const LanguageMemory& memory;
  std::u16string_view committedText;  // before the word: the word before it is evidence
  bool reDeciding = false;            // a reopened word decided again for the language memory
};

}  // namespace tonvira
