// Fixed spelling lists: initial consonants, rhymes and the letters each mark may modify.
#pragma once

#include <span>
#include <string_view>

namespace tonvira {

// Initial consonants as written, longest first.
std::span<const std::u16string_view> OnsetList();
// The onsets without qu, gi and q: only true consonant clusters.
std::span<const std::u16string_view> StrictOnsetList();
// After these the Telex key r is the letter r, not the hook-above tone.
std::span<const std::u16string_view> ClusterBeforeR();
// Rhymes as written (nucleus plus optional final), without tone. Not a complete inventory.
std::span<const std::u16string_view> RhymeList();
bool IsListedRhyme(std::u16string_view rhyme);

inline constexpr std::u16string_view kCircumflexTargets = u"aeo";
inline constexpr std::u16string_view kHornTargets = u"ou";
inline constexpr std::u16string_view kBreveTargets = u"a";
inline constexpr std::u16string_view kStrokeTargets = u"d";

}  // namespace tonvira
