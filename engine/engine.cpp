#include "engine/engine.h"

namespace tonvira {

void ResetWord(Engine& e) {
  e.word.keys.clear();
  e.word.composedPrefix.clear();
  e.word.mode = WordMode::Keys;
  e.word.literalWord = 0;
  e.committed.justCommitted = 0;
  e.committed.reopen = {};
  e.word.editedByBackspace = 0;
  e.decision.verdict = LiveVerdict::None;
  e.decision.keepShown = false;
  e.decision.backspaceTouched = false;
  e.decision.reDeciding = false;
  e.decision.decidedHead.clear();
  e.word.beforeBackspaces.clear();
}

const ComposeResult& ComposeWord(const Engine& e, std::u16string_view keys, uint32_t flags,
                                 std::u16string_view prefix) {
  const EngineOptions& o = e.options;
  std::array<KeptComposition, 2>& kept = e.word.compositions;
  using Match = KeptComposition::Match;
  size_t last = e.word.lastComposition;
  Match match[2] = {kept[0].MatchOf(keys, o.method, true, prefix),
                    kept[1].MatchOf(keys, o.method, true, prefix)};
  auto use = [&](size_t slot) -> KeptComposition& {
    e.word.lastComposition = static_cast<uint8_t>(slot);
    return kept[slot];
  };
  for (size_t slot : {last, last ^ 1u}) {  // the one read last first
    if (match[slot] == Match::Same && kept[slot].Serves(o.classicPlacement, flags)) return use(slot).result();
  }
  // The verdict asks for fewer transforms than the output right after it (the keys may still
  // become an English word): the output's composition goes on, and serves both unless one of
  // the transforms the verdict leaves out changed the word.
  for (size_t slot = 0; slot < kept.size(); ++slot) {
    uint32_t more = kept[slot].flags();
    if (match[slot] != Match::None && !(flags & ~more) && more != flags) {
      use(slot).Compose(keys, o.method, o.classicPlacement, true, more, prefix);
      if (kept[slot].Serves(o.classicPlacement, flags)) return kept[slot].result();
      break;
    }
  }
  size_t slot = 0;
  while (slot < kept.size() && !(match[slot] != Match::None && kept[slot].flags() == flags)) ++slot;
  if (slot == kept.size()) slot = 1u - e.word.lastComposition;  // the one read less recently starts again
  return use(slot).Compose(keys, o.method, o.classicPlacement, true, flags, prefix);
}

const ComposeResult* ComposeWordUnchanged(const Engine& e, std::u16string_view keys,
                                          std::u16string_view prefix) {
  const ComposeResult& composed = ComposeWord(e, keys, e.options.baseFlags | e.options.extraFlags, prefix);
  return e.word.compositions[e.word.lastComposition].changedBy() == 0 ? &composed : nullptr;
}

void RestoreLanguageMemory(Engine& e, const WordEndSnapshot& s) {
  e.memory = s.memory;
}

void RestoreReopenedWord(Engine& e) {
  e.committed.committedText += e.committed.reopenedWord;
  RestoreLanguageMemory(e, e.committed.savedScore);
}

void AbandonWord(Engine& e) {
  if (e.committed.reopen.untouched) RestoreReopenedWord(e);
  ResetWord(e);
}

bool EngineIdle(const Engine& e) {
  return e.word.keys.empty() && e.word.composedPrefix.empty();
}

void NewContext(Engine& e) {
  AbandonWord(e);
  e.memory = {};
}

void EndSentence(Engine& e) {
  e.memory.EnglishLean *= e.options.weights[weight::kSentenceEndDecay];
  e.memory.SentenceStart = 1;
}

void HalveLean(Engine& e) {
  EndSentence(e);
  e.memory.LineStart = 1;
  e.memory.CapsRunVietnamese = 0;
  e.memory.CapsRunEnglishWord = 0;
}

void TrimCommittedText(Engine& e) {
  if (e.committed.committedText.size() > kCommittedTextLimit) ClearCommittedText(e);
}

void ClearCommittedText(Engine& e) {
  e.committed.committedText.clear();
  e.decision.snapshotsValid = false;
}

void NoteTextKey(Engine& e) {
  e.memory.LineStart = 0;
  e.memory.CapsRunVietnamese = 0;
  e.memory.CapsRunEnglishWord = 0;
}

void SetOptions(Engine& e, const EngineOptions& options) {
  e.options = options;
  AbandonWord(e);
}

void ApplySettingsToEngine(Engine& e, const Settings& s, const AbbrevTable* abbrevTable) {
  EngineOptions o = e.options;  // the shipped data and the field stay
  CopySettings(o, s);
  o.abbrevTable = abbrevTable;
  SetOptions(e, o);
}

void SetField(Engine& e, ContextClass fieldClass, bool blocked) {
  e.options.fieldClass = fieldClass;
  e.options.blocked = blocked;
}

void ForgetWordEnd(Engine& e) {
  e.committed.justCommitted = 0;
}

}  // namespace tonvira
