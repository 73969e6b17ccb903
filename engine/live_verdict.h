// The verdict kept while a word is typed: once it cannot be Vietnamese, it is shown as typed.
#pragma once

#include "engine/engine.h"

namespace tonvira {

// Runs after a character was appended to the keys.
void UpdateLiveVerdict(Engine& engine);

// Whether the key just appended only lengthens a word past composition (more than
// kMaxComposeUnits keys, shown as typed) that cannot be a syllable and has no shape: a
// lower-case letter changes neither its verdict nor what it shows, so nothing of the word is
// read again. A held key ("aaaa...a") costs the same at every press.
bool ExtendsLongWordAsTyped(const Engine& engine);

// The keys without their trailing "-", ".", "/"... run: the part the engine composes.
std::u16string_view WithoutTrailingSuffix(std::u16string_view keys);

}  // namespace tonvira
