// Replacing an abbreviation by its expansion at word end.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "decide/decision_input.h"

namespace tonvira {

// The expansion of word (its trailing "-", "." run already set aside), with its tone
// placement in the user's style and a capital first letter when the word had one.
std::optional<std::u16string> ExpandAbbrev(const DecisionInput& input, std::u16string_view word,
                                           bool classic);

// Moves the tone of each two-vowel ending to the given placement style (hoà <-> hòa).
void NormaliseTonePlacement(std::u16string& text, bool classic);

}  // namespace tonvira
