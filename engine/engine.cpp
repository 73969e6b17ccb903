#include "engine/engine.h"

namespace tonvira {

void ResetWord(Engine& e) {
  e.keys.clear();
  e.composedPrefix.clear();
  e.mode = WordMode::Keys;
  e.literalWord = 0;
  e.justCommitted = 0;
  e.reopen = {};
  e.editedByBackspace = 0;
  e.decision.notVietnamese = false;
  e.decision.verdictLabel = nullptr;
  e.decision.keepShown = false;
  e.decision.backspaceTouched = false;
  e.decision.reDeciding = false;
  e.decision.decidedHead.clear();
  e.beforeBackspaces.clear();
}

void RestoreLanguageMemory(Engine& e, const WordEndSnapshot& s) {
  e.memory = s.memory;
}

void RestoreReopenedWord(Engine& e) {
  e.committedText += e.reopenedWord;
  RestoreLanguageMemory(e, e.savedScore);
}

void AbandonWord(Engine& e) {
  if (e.reopen.untouched) RestoreReopenedWord(e);
  ResetWord(e);
}

bool EngineIdle(const Engine& e) {
  return e.keys.empty() && e.composedPrefix.empty();
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
  if (e.committedText.size() > kCommittedTextLimit) ClearCommittedText(e);
}

void ClearCommittedText(Engine& e) {
  e.committedText.clear();
  e.decision.snapshotsValid = false;
}

void NoteTextKey(Engine& e) {
  e.memory.LineStart = 0;
  e.memory.CapsRunVietnamese = 0;
  e.memory.CapsRunEnglishWord = 0;
}

void SetField(Engine& e, ContextClass fieldClass, bool blocked) {
  e.options.fieldClass = fieldClass;
  e.options.blocked = blocked;
}

void ForgetWordEnd(Engine& e) {
  e.justCommitted = 0;
}

}  // namespace tonvira
