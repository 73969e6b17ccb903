// Which optional transforms a word gets, from the settings, the field and the English list.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/engine.h"

namespace tonvira {

// strict asks whether the keys could still become an English word (while typing); otherwise
// whether they are one.
uint32_t ComposeFlagsFor(const Engine& engine, std::u16string_view keys, bool strict);

}  // namespace tonvira
