// Whether an ALL-CAPS word is still Vietnamese (setting caps_vi).
#pragma once

#include <string_view>

#include "compose/compose.h"
#include "decide/decision_input.h"

namespace tonvira {

// composed is the Vietnamese form of keys; atWordEnd also requires it to be a valid syllable.
bool CapsVietnamese(const DecisionInput& input, std::u16string_view keys, const ComposeResult& composed,
                    bool atWordEnd);

}  // namespace tonvira
