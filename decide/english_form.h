// What an English word shows: the keys as typed, or with deliberate undos applied.
#pragma once

#include <string>
#include <string_view>

#include "decide/decision_input.h"

namespace tonvira {

// The keys of a word decided English, as the user meant them: "boss" stays boss, a
// deliberate undo "mixx" gives mix.
// withZRule: a Telex z that took a tone off in passing keeps the run as typed (word end only;
// the corrector asks what the keys mean without it).
std::u16string EnglishForm(const DecisionInput& input, std::u16string_view keys, bool withZRule = true);
// The same into a string that keeps its capacity (the word end's, allocating only for a
// longer word than any before).
void EnglishFormInto(std::u16string& out, const DecisionInput& input, std::u16string_view keys,
                     bool withZRule = true);

}  // namespace tonvira
