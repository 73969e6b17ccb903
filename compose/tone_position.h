// Which vowel of a word carries its tone.
#pragma once

#include <string_view>

namespace tonvira {

// Index of the character that takes the tone in a word written without tone, or -1 when
// it has no vowel. classic puts the tone of a final two-vowel pair on the first (hòa),
// modern on the second for oa, oe and uy (hoà).
int TonePosition(std::u16string_view word, bool classic);

}  // namespace tonvira
