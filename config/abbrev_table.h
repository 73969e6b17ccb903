// The user's abbreviations: a key typed before a space is replaced by its expansion.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace tonvira {

struct AbbrevKeyHash {
  using is_transparent = void;
  size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>{}(s); }
};
using AbbrevMap = std::unordered_map<std::u16string, std::u16string, AbbrevKeyHash, std::equal_to<>>;

// Keys are stored with A-Z lowered and nothing else changed.
struct AbbrevTable {
  AbbrevMap expansions;  // key -> expansion: what typing uses
  AbbrevMap since;       // key -> library version that brought the entry ("1.4.12")
};

// The expansion for a key (A-Z lowered first), or null.
const std::u16string* LookupAbbrev(const AbbrevTable& table, std::u16string_view key);

}  // namespace tonvira
