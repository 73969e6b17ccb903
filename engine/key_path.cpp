#include "engine/key_path.h"

#include <algorithm>

#include "compose/syllable.h"
#include "decide/autofix.h"
#include "decide/compose_flags.h"
#include "decide/word_shape.h"
#include "engine/backspace.h"
#include "engine/live_verdict.h"
#include "engine/word_end.h"
#include "engine/word_output.h"

namespace tonvira {
namespace {

uint32_t ComposedFormFlags(const Engine& e) {
  return (e.options.freeMarksOn && e.options.smartOn && !e.options.blocked && !EnglishOnlyField(e))
             ? e.options.baseFlags
             : 0;
}

// The reopened word goes back as it was, with the language memory it had; the key begins a
// new word.
void CommitReopenedUnchanged(Engine& e) {
  RestoreReopenedWord(e);
  ResetWord(e);
}

// A key typed into a reopened word: it edits the word in place while the word stays a
// syllable, otherwise the word is committed and the key starts the next one.
AddCharResult AddToReopenedWord(Engine& e, char16_t c) {
  bool firstKey = e.committed.reopen.untouched;
  e.committed.reopen.untouched = false;
  std::u16string keys = e.word.keys + c;

  if (e.committed.reopen.composedForm) {  // composed form: hòa then s gives hóa
    ComposeResult r = Compose(keys, e.options.method, e.options.classicPlacement, true, ComposedFormFlags(e),
                              e.word.composedPrefix);
    if (IsWellFormedSyllable(r.text)) return AddCharResult::None;
    // A mark on a letter of the word (hòa then a gives hoầ) may still be on its way to a
    // syllable; a letter added after it (hòa then e, hoàc) may not.
    std::u16string shown = WordOutput(e);
    if (r.text.size() == shown.size() && CouldBeSyllableStart(r.text)) return AddCharResult::None;
    if (!firstKey) e.committed.reopenedWord = shown;  // edited in place: committed as shown, not as it was
    CommitReopenedUnchanged(e);
    return AddCharResult::NewWord;
  }

  // Key form: ban then w gives băn, then g gives bang; ban then i is a new word.
  uint32_t flags = ComposeFlagsFor(Input(e), keys, false);
  std::u16string composed = Compose(keys, e.options.method, e.options.classicPlacement, true, flags).text;
  auto transforms = [&] {  // english then s: the key changes more than it adds
    return composed !=
           Compose(e.word.keys, e.options.method, e.options.classicPlacement, true, flags).text + c;
  };
  if (e.word.literalWord) {
    // "max" kept as typed: a tone or mark key still corrects it in place (max, s: má); any
    // other key leaves the word as it was shown and starts the next one.
    if (firstKey && transforms()) {
      e.word.literalWord = 0;
      return AddCharResult::None;
    }
    CommitReopenedUnchanged(e);
    return AddCharResult::NewWord;
  }
  bool accepted = CouldBeSyllableStart(composed) || (firstKey && transforms());
  if (accepted) return AddCharResult::None;

  std::u16string acceptedKeys =
      e.word.keys.substr(std::min(e.word.keys.size(), e.committed.lastWordKeys.size()));
  CommitReopenedUnchanged(e);
  if (firstKey || acceptedKeys.empty()) return AddCharResult::NewWord;
  // ban, g, i: "ban" stays, and "g" comes back as the start of a new word before "i".
  for (char16_t k : acceptedKeys) AfterChar(e, k);
  e.word.displayPrefix = e.committed.reopenedWord;
  return AddCharResult::Redraw;
}

// "vaf/b": the part before a "/" or "-" run is decided on its own when a letter follows.
void SplitAtInnerRun(Engine& e, char16_t c) {
  if (InManualEdit(e) || !e.options.smartOn || EnglishOnlyField(e) || e.options.blocked ||
      e.word.mode != WordMode::Keys)
    return;
  if (!IsAsciiLetter(c) || e.word.keys.empty() || (e.word.keys.back() != u'/' && e.word.keys.back() != u'-'))
    return;
  size_t partEnd = e.word.keys.find_last_not_of(u"/-");
  if (partEnd == std::u16string::npos) return;
  std::u16string_view part = std::u16string_view(e.word.keys).substr(0, partEnd + 1);

  bool letters = std::all_of(part.begin(), part.end(), [&](char16_t k) {
    return IsAsciiLetter(k) || (e.options.method == InputMethod::Vni && IsAsciiDigit(k));
  });
  // "15tr/tháng": a number with its unit splits like a word.
  size_t number = part.find_first_not_of(u"0123456789.,");
  bool numberWithUnit = number != std::u16string::npos && number > 0 && IsAsciiDigit(part[0]) &&
                        IsAsciiDigit(part[number - 1]) &&
                        std::all_of(part.begin() + static_cast<ptrdiff_t>(number), part.end(), IsAsciiLetter);
  letters = letters || numberWithUnit;
  bool autofixAllowed =
      e.options.autofixOn && !e.decision.backspaceTouched && !MidSentenceCapital(part, e.memory);
  if (!letters && !(autofixAllowed && CurrencyFix(part, e.options.method))) return;

  // The run is kept in a string that keeps its capacity (one per thread, as the hook's): the
  // word's keys become the part before it.
  thread_local std::u16string run;
  run.assign(std::u16string_view(e.word.keys).substr(partEnd + 1));
  std::u16string head = std::move(e.decision.decidedHead);
  size_t before = e.committed.committedText.size();
  e.word.keys.resize(partEnd + 1);
  e.decision.decidingPart = true;
  DecideWord(e, 0);
  e.decision.decidingPart = false;
  head.append(e.committed.committedText, before);
  head += run;
  e.committed.committedText.resize(before);  // committed with the rest of the word at its end
  e.decision.decidedHead = std::move(head);
  e.decision.verdict = LiveVerdict::None;
}

}  // namespace

AddCharResult AddChar(Engine& e, char16_t c) {
  e.committed.justCommitted = 0;
  if (e.committed.reopen.composedForm || e.committed.reopen.keyForm) return AddToReopenedWord(e, c);
  return AddCharResult::None;
}

bool AfterChar(Engine& e, char16_t c) {
  // Letters held as shown after a backspace are keys again: the word goes on from them.
  e.word.literalWord = 0;
  e.decision.keepShown = false;
  SplitAtInnerRun(e, c);
  e.word.keys.push_back(c);
  // Its head, then its keys as typed (no currency amount is that long): one more key shows.
  if (ExtendsLongWordAsTyped(e) && e.word.beforeBackspaces.empty()) return true;
  UpdateLiveVerdict(e);
  RestoreWordBeforeBackspace(e);
  return false;
}

}  // namespace tonvira
