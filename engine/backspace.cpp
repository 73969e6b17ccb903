#include "engine/backspace.h"

#include <algorithm>

#include "engine/word_output.h"

namespace tonvira {
namespace {

bool HasNonAscii(std::u16string_view s) {
  return std::any_of(s.begin(), s.end(), [](char16_t c) { return c > 0x7F; });
}

}  // namespace

std::u16string Backspace(Engine& e, std::u16string_view) {
  if (!e.bsEditOn) {
    ResetWord(e);  // the application's own deletion stands; the next key starts afresh
    return {};
  }
  std::u16string remainder = WordOutput(e);
  if (!remainder.empty()) remainder.pop_back();
  bool literal = e.literalWord || e.decision.notVietnamese || e.mode == 2;

  e.decision.backspaceTouched = true;  // no autofix for a word the user corrected by hand
  e.editedByBackspace = 1;
  // A reopened word shortened by hand is a word of its own now: it never goes back as it was.
  e.reopenFlags = {};
  e.decision.decidedHead.clear();  // the remainder carries it
  e.heldText.clear();
  e.expectedOutput.clear();
  if (HasNonAscii(remainder)) {
    // tiến: the word goes on as composed text that the next keys continue.
    if (literal) e.literalKeys = e.keys;
    e.mode = literal ? 2 : 1;
    e.composedPrefix = remainder;
    e.keys.clear();
  } else {
    // ti, or "boss" -> "bos": back to keys; a word shown as typed stays as typed.
    if (literal && e.decision.notVietnamese) e.decision.keepShown = true;
    e.mode = 0;
    e.composedPrefix.clear();
    e.keys = remainder;
  }
  return remainder;
}

std::u16string ReopenWord(Engine& e) {
  WordDecisionState& d = e.decision;
  // Only right after a word committed by a space, while what it left is still there.
  if (!EngineIdle(e) || !e.justCommitted || !e.bsEditOn || e.blocked || EnglishOnlyField(e)) return {};
  if (!d.snapshotsValid || e.lastWordText.empty() || d.committedBefore > e.committedText.size()) return {};
  // The committed text must still end with that word and its space; anything else is stale.
  std::u16string_view tail = std::u16string_view(e.committedText).substr(d.committedBefore);
  if (tail.size() != e.lastWordText.size() + 1 || !tail.starts_with(e.lastWordText) || tail.back() != u' ') {
    return {};
  }

  // The word and its separator leave the committed text: the word is being typed again.
  e.committedText.resize(d.committedBefore);
  e.reopenedWord = e.lastWordText;
  e.savedScore = d.after;  // committed unchanged, it leaves the language memory as it was
  RestoreLanguageMemory(e, d.before);
  d.snapshotsValid = false;
  e.justCommitted = 0;

  bool keyForm = e.lastWordText == e.lastWordKeys;  // ban, english: nothing was transformed
  e.mode = keyForm ? 0 : 1;
  e.keys = keyForm ? e.lastWordKeys : std::u16string();
  e.composedPrefix = keyForm ? std::u16string() : e.lastWordText;
  e.reopenFlags = {1, static_cast<uint8_t>(!keyForm), static_cast<uint8_t>(keyForm)};
  return e.lastWordText;
}

}  // namespace tonvira
