// The verdict kept while a word is typed: once it cannot be Vietnamese, it is shown as typed.
#pragma once

#include "engine/engine.h"

namespace tonvira {

// Runs after a character was appended to the keys.
void UpdateLiveVerdict(Engine& engine);

// The keys without their trailing "-", ".", "/"... run: the part the engine composes.
std::u16string_view WithoutTrailingSuffix(std::u16string_view keys);

}  // namespace tonvira
