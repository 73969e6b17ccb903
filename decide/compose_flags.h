// Which optional transforms a word gets, from the settings, the field and the English list.
#pragma once

#include <cstdint>
#include <string_view>

#include "decide/decision_input.h"

namespace tonvira {

// strict asks whether the keys could still become an English word (while typing); otherwise
// whether they are one.
uint32_t ComposeFlagsFor(const DecisionInput& input, std::u16string_view keys, bool strict);

}  // namespace tonvira
