// The text the word in progress should show now.
#pragma once

#include <string>

#include "engine/engine.h"

namespace tonvira {

std::u16string WordOutput(const Engine& engine);

}  // namespace tonvira
