// What an English word shows: the keys as typed, or with deliberate undos applied.
#pragma once

#include <string>
#include <string_view>

#include "engine/engine.h"

namespace tonvira {

// The keys of a word decided English, as the user meant them: "boss" stays boss, a
// deliberate undo "mixx" gives mix.
std::u16string EnglishForm(const Engine& engine, std::u16string_view keys);

}  // namespace tonvira
