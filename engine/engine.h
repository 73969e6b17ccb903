// The one composition engine: settings copies, the word being typed (kept as its keys),
// the text recently committed in the focused field, and the language memory across words.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "context/context_class.h"
#include "engine/compose.h"
#include "engine/letters.h"

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

// Text committed in the focused field is forgotten past this many units.
inline constexpr size_t kCommittedTextLimit = 4096;

// One decided word, kept only while DecisionRecording is on (diagnostics).
struct DecisionRecord {
  std::u16string keys;
  std::u16string vietnamese;
  std::u16string output;
  WordAction action = WordAction::Unchanged;
  const char* reason = "";
  float score = 0;
  uint32_t fixKind = 0;
  uint32_t fixDetail = 0;
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

// The language memory around one committed word, so backspace can reopen it.
struct WordEndSnapshot {
  LanguageMemory memory;
  uint8_t backspaceTouched = 0;
  uint64_t recordCount = 0;
};

// Working state of the word-end decisions.
// What the word in progress is made of.
enum class WordMode : uint32_t {
  Keys = 0,      // its keys, composed afresh at every key
  Composed = 1,  // composedPrefix (what backspace left of a composed word) and the keys after it
  Held = 2,      // as Composed, the prefix held as shown: the word was not Vietnamese
};

// A word taken back by a backspace right after its space.
struct ReopenState {
  bool untouched = false;     // nothing typed into it yet: it can go back as it was
  bool composedForm = false;  // reopened as shown (hòa): a tone key corrects it in place
  bool keyForm = false;       // reopened as its keys (the word was kept as typed)
};

struct WordDecisionState {
  // Live verdict while typing: the word is already known not to be Vietnamese.
  bool notVietnamese = false;
  const char* verdictLabel = nullptr;
  // Set by backspace editing.
  bool keepShown = false;
  bool backspaceTouched = false;
  bool reDeciding = false;
  // "vaf/b": the part before an inner "/" or "-" run, decided as a word of its own and shown
  // (with the run) before the rest of the word until the word ends.
  std::u16string decidedHead;
  // A part of a word is being decided (before an inner split, before a full stop): a segment
  // of a path, a URL or a file name, where no abbreviation expands.
  bool decidingPart = false;
  // Diagnostics: off, and nothing in the product turns it on.
  bool recording = false;
  std::vector<DecisionRecord> history;
  // Before and after the last word committed by a space.
  bool snapshotsValid = false;
  WordEndSnapshot before;
  WordEndSnapshot after;
  size_t committedBefore = 0;  // length of committedText before that word
};

// The word as it stood before a backspace: typing back exactly what the backspace removed
// gives the word back as it was (its keys and its decision state), not an edited copy.
struct WordBeforeBackspace {
  std::u16string shown;  // what the word showed then
  std::u16string keys;
  std::u16string composedPrefix;
  std::u16string decidedHead;
  WordMode mode = WordMode::Keys;
  uint8_t literalWord = 0;
  uint8_t editedByBackspace = 0;
  ReopenState reopen;
  bool notVietnamese = false;
  const char* verdictLabel = nullptr;
  bool keepShown = false;
  bool backspaceTouched = false;
};

struct Engine {
  ScoreWeights weights = kDefaultScoreWeights;
  const EnglishWords* englishWords = nullptr;
  const AbbrevTable* abbrevTable = nullptr;
  // The library as shipped: its keys, with the expansion it gave them, are English words too.
  const AbbrevTable* shippedAbbrevs = nullptr;
  InputMethod method = InputMethod::Telex;
  uint8_t abbrevOn = 1;
  ContextClass fieldClass = ContextClass::Auto;
  uint8_t blocked = 0;  // the field takes keys unchanged (password)
  uint8_t classicPlacement = 1;
  uint8_t contextOn = 1;
  uint8_t smartOn = 1;
  uint8_t freeMarksOn = 1;
  uint32_t baseFlags = kOrdinaryFlags;     // out-of-order marks for every word
  uint32_t extraFlags = kNotEnglishFlags;  // added for words that are not English words
  uint8_t englishLookupOn = 1;
  uint8_t capsViOn = 1;
  uint8_t autofixOn = 1;
  const Syllables* vietSyllables = nullptr;
  const WordPairs* wordPairs = nullptr;  // which word follows which, in either language
  uint8_t bsEditOn = 1;
  float enThreshold = 2.0f;

  std::u16string keys;           // keys of the current word, never a separator
  std::u16string committedText;  // committed words with their separators
  LanguageMemory memory;         // what the words so far say of the language and the sentence
  uint8_t literalWord = 0;
  WordMode mode = WordMode::Keys;
  std::u16string composedPrefix;
  uint8_t editedByBackspace = 0;
  std::u16string lastWordText;
  std::u16string lastWordKeys;
  uint8_t justCommitted = 0;
  ReopenState reopen;
  std::u16string reopenedWord;
  WordEndSnapshot savedScore;  // language memory before a reopened word
  std::u16string displayPrefix;
  WordDecisionState decision;
  std::vector<WordBeforeBackspace> beforeBackspaces;  // one per backspace into the current word
};

// Empties the word; committed text and language memory stay.
void ResetWord(Engine& engine);
// Gives up the word (arrows, Esc, a click...): a reopened word still untouched goes back
// as it was. The pipeline forgets what it showed for the word itself.
void AbandonWord(Engine& engine);
bool EngineIdle(const Engine& engine);
// Puts back the language memory a snapshot holds (not the decision history).
void RestoreLanguageMemory(Engine& engine, const WordEndSnapshot& snapshot);
// A reopened word left untouched goes back into the committed text with the language memory
// it had.
void RestoreReopenedWord(Engine& engine);
// A new field or window: the language memory starts again.
void NewContext(Engine& engine);
// Enter: the lean halves and a new sentence and line begin.
// A sentence ended: the lean decays and the next word starts a sentence.
void EndSentence(Engine& engine);
void HalveLean(Engine& engine);
// A text key typed while Vietnamese is off: the line and any run of capitals go on no more.
void NoteTextKey(Engine& engine);
// The field the keys go to: its class, and whether it takes them unchanged (a password box).
void SetField(Engine& engine, ContextClass fieldClass, bool blocked);
// The last word end is no longer right before the caret: a backspace does not reopen it.
void ForgetWordEnd(Engine& engine);
// The pipeline forgets committed text past the limit.
void TrimCommittedText(Engine& engine);
// Forgets the committed text (a password field, the limit): nothing can be reopened then.
void ClearCommittedText(Engine& engine);
// A word rebuilt by backspace editing (held as composed text): committed as it is shown.
inline bool InManualEdit(const Engine& e) {
  return e.mode != WordMode::Keys && e.editedByBackspace;
}

// Whether the field takes the word as typed: an English-only field with context on.
inline bool EnglishOnlyField(const Engine& e) {
  return e.contextOn && e.fieldClass == ContextClass::English;
}

}  // namespace tonvira
