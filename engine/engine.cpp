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
  e.LastLanguage = s.LastLanguage;
  e.EnglishLean = s.EnglishLean;
  e.SentenceStart = s.SentenceStart;
  e.LineStart = s.LineStart;
  e.CapsRunVietnamese = s.CapsRunVietnamese;
  e.CapsRunEnglishWord = s.CapsRunEnglishWord;
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
  e.LastLanguage = 0;
  e.EnglishLean = 0;
  e.SentenceStart = 1;
  e.LineStart = 1;
  e.CapsRunVietnamese = 0;
  e.CapsRunEnglishWord = 0;
}

void EndSentence(Engine& e) {
  e.EnglishLean *= e.weights[weight::kSentenceEndDecay];
  e.SentenceStart = 1;
}

void HalveLean(Engine& e) {
  EndSentence(e);
  e.LineStart = 1;
  e.CapsRunVietnamese = 0;
  e.CapsRunEnglishWord = 0;
}

void TrimCommittedText(Engine& e) {
  if (e.committedText.size() > kCommittedTextLimit) ClearCommittedText(e);
}

void ClearCommittedText(Engine& e) {
  e.committedText.clear();
  e.decision.snapshotsValid = false;
}

}  // namespace tonvira
