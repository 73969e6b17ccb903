// Transparent hashes for the maps keyed by text: a lookup by view does not build a string.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tonvira {

struct U16StringHash {
  using is_transparent = void;
  size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>{}(s); }
};

}  // namespace tonvira
