#include "engine/backspace.h"

#include <algorithm>

#include "engine/live_verdict.h"
#include "engine/word_output.h"

namespace tonvira {
namespace {

// A character of a word is typed by at most this many keys: the letter, its mark key and the
// tone key (ướ: u, w, s).
constexpr size_t kKeysPerCharacter = 3;

// The word as it stood when only these keys had been typed: the verdict is worked out again key
// by key, as it was then.
void ReplayKeys(Engine& e, std::u16string_view keys) {
  e.decision.verdict = LiveVerdict::None;
  e.word.keys.clear();
  for (char16_t k : keys) {
    e.word.keys.push_back(k);
    UpdateLiveVerdict(e);
  }
}

// "been" shows "bên"; its backspace leaves "bê", which the keys "bee" show: the word stays
// its keys, so typing the n again gives the word the user first typed, decided as such.
// A reopened word in composed form is tried with the keys it was typed with ("sorry" shown as
// sory leaves "sor", which the keys "sorr" show).
bool ContinueFromFewerKeys(Engine& e, std::u16string_view remainder, bool reopenedComposed) {
  if ((e.word.mode != WordMode::Keys && !reopenedComposed) || e.word.literalWord) return false;
  std::u16string keys = reopenedComposed ? e.committed.lastWordKeys : e.word.keys;
  WordMode mode = e.word.mode;
  std::u16string prefix = std::move(e.word.composedPrefix);
  WordDecisionState& d = e.decision;
  LiveVerdict verdict = d.verdict;
  e.word.mode = WordMode::Keys;
  for (size_t drop = 1; drop <= kKeysPerCharacter && drop < keys.size(); ++drop) {
    ReplayKeys(e, std::u16string_view(keys).substr(0, keys.size() - drop));
    if (WordOutput(e) == remainder) return true;
  }
  // None does: the word is as it was (the verdict is put back, not worked out again).
  e.word.mode = mode;
  e.word.composedPrefix = std::move(prefix);
  e.word.keys = reopenedComposed ? std::u16string() : std::move(keys);
  d.verdict = verdict;
  return false;
}

void RememberWord(Engine& e, std::u16string_view shown) {
  if (e.word.beforeBackspaces.size() >= kMaxLetters)
    e.word.beforeBackspaces.erase(e.word.beforeBackspaces.begin());
  const WordDecisionState& d = e.decision;
  e.word.beforeBackspaces.push_back({std::u16string(shown), e.word.keys, e.word.composedPrefix, d.decidedHead,
                                     e.word.mode, e.word.literalWord, e.word.editedByBackspace,
                                     e.committed.reopen, d.verdict, d.keepShown, d.backspaceTouched});
}

std::u16string WithoutLastCharacter(std::u16string_view shown) {
  return std::u16string(shown.substr(0, shown.empty() ? 0 : shown.size() - 1));
}

}  // namespace

std::u16string Backspace(Engine& e, std::u16string_view onScreenWord) {
  if (!e.options.bsEditOn) {
    ResetWord(e);  // the application's own deletion stands; the next key starts afresh
    return {};
  }
  // The application deletes the last character the user sees: the word goes on from what is
  // left on screen, whatever the engine would make of the keys now.
  std::u16string shown = onScreenWord.empty() ? WordOutput(e) : std::u16string(onScreenWord);
  std::u16string remainder = WithoutLastCharacter(shown);
  RememberWord(e, shown);
  bool reopenedComposed = e.committed.reopen.composedForm && e.word.keys.empty();
  bool literal = e.word.literalWord || e.decision.NotVietnamese() || e.word.mode == WordMode::Held;

  e.decision.backspaceTouched = true;  // no autofix for a word the user corrected by hand
  e.word.editedByBackspace = 1;
  // A reopened word shortened by hand is a word of its own now: it never goes back as it was.
  e.committed.reopen = {};
  e.decision.keepShown = false;
  if (!remainder.empty() && ContinueFromFewerKeys(e, remainder, reopenedComposed)) return remainder;

  e.decision.decidedHead.clear();  // the remainder carries it
  e.word.literalWord = 0;
  if (HasNonAscii(remainder)) {
    // tiến: the word goes on as composed text that the next keys continue.
    e.word.mode = literal ? WordMode::Held : WordMode::Composed;
    e.word.composedPrefix = remainder;
    e.word.keys.clear();
    return remainder;
  }
  // ti, or "boss" -> "bos": the letters left are the word's keys. Where the keys alone would
  // show something else ("bos" as bó), the letters are held as they are until the next key,
  // and a word ended now keeps them.
  e.word.mode = WordMode::Keys;
  e.word.composedPrefix.clear();
  ReplayKeys(e, remainder);
  if (WordOutput(e) != remainder) e.word.literalWord = 1;
  e.decision.keepShown = e.word.literalWord;
  return remainder;
}

void RestoreWordBeforeBackspace(Engine& e) {
  if (e.word.beforeBackspaces.empty()) return;
  std::u16string now = WordOutput(e);
  while (!e.word.beforeBackspaces.empty() && e.word.beforeBackspaces.back().shown == now) {
    WordBeforeBackspace& w = e.word.beforeBackspaces.back();
    WordDecisionState& d = e.decision;
    e.word.keys = std::move(w.keys);
    e.word.composedPrefix = std::move(w.composedPrefix);
    d.decidedHead = std::move(w.decidedHead);
    e.word.mode = w.mode;
    e.word.literalWord = w.literalWord;
    e.word.editedByBackspace = w.editedByBackspace;
    e.committed.reopen = w.reopen;
    d.verdict = w.verdict;
    d.keepShown = w.keepShown;
    d.backspaceTouched = w.backspaceTouched;
    e.word.beforeBackspaces.pop_back();
  }
}

std::u16string ReopenWord(Engine& e) {
  WordDecisionState& d = e.decision;
  // Only right after a word committed by a space, while what it left is still there.
  if (!EngineIdle(e) || !e.committed.justCommitted || !e.options.bsEditOn || e.options.blocked ||
      EnglishOnlyField(e))
    return {};
  if (!d.snapshotsValid || e.committed.lastWordText.empty() ||
      d.committedBefore > e.committed.committedText.size())
    return {};
  // The committed text must still end with that word and its space; anything else is stale.
  std::u16string_view tail = std::u16string_view(e.committed.committedText).substr(d.committedBefore);
  if (tail.size() != e.committed.lastWordText.size() + 1 || !tail.starts_with(e.committed.lastWordText) ||
      tail.back() != u' ') {
    return {};
  }

  // The word and its separator leave the committed text: the word is being typed again.
  e.committed.committedText.resize(d.committedBefore);
  e.committed.reopenedWord = e.committed.lastWordText;
  e.committed.savedScore = d.after;  // committed unchanged, it leaves the language memory as it was
  RestoreLanguageMemory(e, d.before);
  d.snapshotsValid = false;
  e.committed.justCommitted = 0;

  bool keyForm =
      e.committed.lastWordText == e.committed.lastWordKeys;  // ban, english: nothing was transformed
  e.word.mode = keyForm ? WordMode::Keys : WordMode::Composed;
  e.word.keys = keyForm ? e.committed.lastWordKeys : std::u16string();
  e.word.composedPrefix = keyForm ? std::u16string() : e.committed.lastWordText;
  e.committed.reopen = {true, !keyForm, keyForm};
  // "this" was kept as typed, though its keys compose to thí: it is shown as it was decided.
  e.word.literalWord = keyForm && WordOutput(e) != e.committed.lastWordText;
  return e.committed.lastWordText;
}

}  // namespace tonvira
