// The nearest real syllable to a word that is not one: candidates from spelling repairs of
// the composed word and from a few re-typings of its keys, ranked by cost and frequency.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compose/compose.h"
#include "decide/skeleton_rules.h"
#include "text/letters.h"

namespace tonvira {

struct Syllables;

enum class CorrectorMode : uint8_t { InvalidSyllable = 0, ValidSyllable = 1 };

// Key variants, numbered after the skeleton repairs (fix kinds 1-9).
enum KeyVariantType : uint32_t {
  kVariantOvershotTriple = 10,  // "caaan": the third a undid the circumflex the typist wanted
  kVariantSwappedDigraph = 11,  // "tohng": h and n swapped
  kVariantDoubledVowel = 13,    // "caais": one a too many (VNI: a 6 too many)
};

struct CorrectorParams {
  CorrectorMode mode = CorrectorMode::InvalidSyllable;
  uint8_t classic = 1;  // the engine's tone placement
  InputMethod method = InputMethod::Telex;
  const Syllables* syllables = nullptr;   // may be absent
  uint8_t loneW = 1;                      // variants compose as the engine does: a lone w is ư
  uint8_t margin = 10;                    // ten times more frequent
  uint32_t ruleFlags = kEngineRuleFlags;  // repairs switched off: c/k in both directions
};

struct CorrectorResult {
  std::u16string text;
  uint32_t fixKind = 0;
  uint32_t fixDetail = 0;  // the repairs applied, 4 bits each, first in the high bits
  int32_t cost = 0;
  uint8_t frequency = 0;
  uint8_t keptUnfinished = 0;  // the tone of a stop final was in doubt: the typed form stays
};

// Cost of a key variant of the given type.
int KeyVariantCost(uint32_t type);

std::optional<CorrectorResult> CorrectWord(std::u16string_view keys, const ComposeResult& composed,
                                           const CorrectorParams& params);

}  // namespace tonvira
