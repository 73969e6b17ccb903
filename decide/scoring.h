// Weighing the English and the Vietnamese reading of a word, and the running lean.
#pragma once

#include <string_view>

#include "compose/compose.h"
#include "decide/decision_input.h"

namespace tonvira {

struct ScoreResult {
  WordAction action = WordAction::Vietnamese;
  ReasonCode code = ReasonCode::Vietnamese;
  const char* label = "";
  float score = 0;  // set when the weights were applied
};

// For a word whose Vietnamese form is a valid syllable.
ScoreResult ScoreWord(const DecisionInput& input, std::u16string_view keys, const ComposeResult& composed);
// How a decided word moves EnglishLean.
float LeanDelta(const DecisionInput& input, std::u16string_view keys, WordAction action, ReasonCode code);
// Decays, adds the delta, clamps, and applies the sentence-end rule.
void UpdateLean(LanguageMemory& memory, const ScoreWeights& weights, float delta, std::u16string_view suffix,
                char16_t separator);

}  // namespace tonvira
