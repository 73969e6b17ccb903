// The one composition engine: settings copies, the word being typed (kept as its keys),
// the text recently committed in the focused field, and the language memory across words.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compose/compose.h"
#include "decide/decision_input.h"
#include "text/context_class.h"
#include "text/letters.h"

namespace tonvira {

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

// Why the word being typed is already known not to be Vietnamese.
enum class LiveVerdict : uint8_t {
  None,              // it may still be
  EnglishField,      // the field types English, or the keys pass through
  Shape,             // its shape (a digit first, inner punctuation, camelCase...)
  AllCaps,           // all capitals that do not read as Vietnamese
  CannotBeSyllable,  // no syllable starts so
};

struct WordDecisionState {
  // Live verdict while typing: whether, and why, the word is already known not to be Vietnamese.
  LiveVerdict verdict = LiveVerdict::None;
  bool NotVietnamese() const { return verdict != LiveVerdict::None; }
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
  LiveVerdict verdict = LiveVerdict::None;
  bool keepShown = false;
  bool backspaceTouched = false;
};

// The word being typed.
struct WordInProgress {
  std::u16string keys;  // keys of the current word, never a separator
  WordMode mode = WordMode::Keys;
  std::u16string composedPrefix;
  uint8_t literalWord = 0;  // held as shown: a word kept as typed, reopened or cut by backspace
  uint8_t editedByBackspace = 0;
  std::u16string displayPrefix;
  std::vector<WordBeforeBackspace> beforeBackspaces;  // one per backspace into the current word
  // The word composed as its keys grow, under the two sets of transforms it is read with (while
  // the keys may still become an English word the verdict composes them without the
  // out-of-order ones, the output with them). Read through ComposeWord; a cache, so a const
  // engine may fill it.
  mutable std::array<KeptComposition, 2> compositions;
  mutable uint8_t lastComposition = 0;
};

// The text committed in the field, and what a backspace right after a word end takes back.
struct CommittedWords {
  std::u16string committedText;  // committed words with their separators
  std::u16string lastWordText;
  std::u16string lastWordKeys;
  uint8_t justCommitted = 0;
  ReopenState reopen;
  std::u16string reopenedWord;
  WordEndSnapshot savedScore;  // language memory before a reopened word
};

struct Engine {
  EngineOptions options;
  WordInProgress word;
  CommittedWords committed;
  LanguageMemory memory;  // what the words so far say of the language and the sentence
  WordDecisionState decision;
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
// New options: the word in progress is given up, so the next key starts a word under them.
void SetOptions(Engine& engine, const EngineOptions& options);
// Every option the settings hold (a non-finite threshold becomes 2.0); the word in progress
// is given up, so the next key starts a word under the new settings.
void ApplySettingsToEngine(Engine& engine, const Settings& settings, const AbbrevTable* abbrevTable);
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
  return e.word.mode != WordMode::Keys && e.word.editedByBackspace;
}

// The keys composed with the engine's method and tone placement. The verdict, the output and
// the word end read the word's kept compositions: a key that only appends is composed once
// for them all, from where the last key left off.
const ComposeResult& ComposeWord(const Engine& engine, std::u16string_view keys, uint32_t flags,
                                 std::u16string_view prefix = {});
// The keys composed with every transform the engine uses, when none of them changed the word:
// the word is then the same whichever of them a decision would ask for, and nobody needs to
// look the keys up in the English list to choose. Null when some transform changed it.
const ComposeResult* ComposeWordUnchanged(const Engine& engine, std::u16string_view keys,
                                          std::u16string_view prefix = {});

// Whether the field takes the word as typed: an English-only field with context on.
inline bool EnglishOnlyField(const Engine& e) {
  return EnglishOnlyField(e.options);
}

// What a decision about the word in hand reads of the engine.
inline DecisionInput Input(const Engine& e) {
  return {e.options, e.memory, e.committed.committedText, e.decision.reDeciding};
}

}  // namespace tonvira
