// The normalised key under which a Vietnamese syllable is stored and looked up.
#pragma once

#include <string>
#include <string_view>

namespace tonvira {

// Lower case, tones taken off the vowels (marks kept), then the tone digit 0-5: hoà, hòa
// and HÒA all give h o a 2. When several characters carry a tone the last one counts.
std::u16string SyllableKey(std::u16string_view word);

// The same into a caller's buffer, for lookups that must not allocate; an empty view when
// the word does not fit.
std::u16string_view SyllableKeyInto(std::u16string_view word, char16_t* buffer, size_t capacity);

}  // namespace tonvira
