// How the focused field is to be typed in.
#pragma once

#include <cstdint>

namespace tonvira {

enum class ContextClass : uint32_t {
  Auto = 0,        // decide word by word
  English = 1,     // always English: keys pass as typed
  Vietnamese = 2,  // Vietnamese first
};

}  // namespace tonvira
