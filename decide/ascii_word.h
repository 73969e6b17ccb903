// English lookups work on lower-case ASCII bytes.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/letters.h"

namespace tonvira {

// Longest word any English lookup considers; longer words are in no list.
inline constexpr size_t kMaxAsciiWord = 64;

// The word with A-Z lowered, on the stack; not valid when it is
// empty, too long, or has a character above U+007F.
struct AsciiWord {
  char bytes[kMaxAsciiWord];
  size_t size = 0;
  bool valid = false;
  std::string_view view() const { return {bytes, size}; }
};

inline AsciiWord LowerAscii(std::u16string_view word) {
  AsciiWord out;
  if (word.empty() || word.size() > kMaxAsciiWord) return out;
  for (char16_t c : word) {
    if (c > 0x7F) return out;
    out.bytes[out.size++] = static_cast<char>(LowerAsciiLetter(c));
  }
  out.valid = true;
  return out;
}

}  // namespace tonvira
