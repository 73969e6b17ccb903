// The text the word in progress should show now.
#pragma once

#include <string>

#include "engine/engine.h"

namespace tonvira {

std::u16string WordOutput(const Engine& engine);
// The same into `out`, which keeps its capacity: the key path reads the word's output without
// allocating.
void WordOutputInto(const Engine& engine, std::u16string& out);

}  // namespace tonvira
