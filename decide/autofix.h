// Corrections of common typing errors at word end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compose/compose.h"
#include "decide/decision_input.h"
#include "decide/decision_labels.h"
#include "text/inline_string.h"

namespace tonvira {

// A corrected syllable this rare is refused for a middle-frequency English word.
inline constexpr uint8_t kAutofixMinFrequency = 6;

// "50000dd" -> "50000đ", "1.500.000vndd" -> "1.500.000vnđ", VNI "20d9" -> "20đ".
// Held in place: asked at every key of a word, it never allocates. An amount longer than the
// composition's limit is no amount (it is shown as typed, as every word that long).
using CurrencyText = InlineU16String<kMaxComposeUnits>;
std::optional<CurrencyText> CurrencyFix(std::u16string_view keys, InputMethod method);

// Two consonant keys typed in the wrong order ("htu" -> "thu", "ngien" -> "nghien").
std::optional<std::u16string> SwapFix(std::u16string_view keys, const Syllables* syllables);

enum class AutofixMode : uint8_t { InvalidSyllable = 0, ValidSyllable = 1 };

struct AutofixResult {
  bool accepted = false;
  std::u16string text;
  uint32_t fixKind = 0;
  uint32_t fixDetail = 0;
  int32_t cost = 0;
  uint8_t frequency = 0;
  uint8_t keptUnfinished = 0;
  const char* label = nullptr;  // also set when a candidate was refused
};

// The nearest real syllable for a word that is not one (or is a rare one).
AutofixResult AutofixWord(const DecisionInput& input, std::u16string_view keys, const ComposeResult& composed,
                          AutofixMode mode);

}  // namespace tonvira
