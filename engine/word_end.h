// What a word becomes when it ends: Vietnamese, the keys as typed, a correction or an
// abbreviation's expansion, appended with its separator to the committed text.
#pragma once

#include "engine/engine.h"

namespace tonvira {

// Called for every word separator; separator 0 commits the word without adding a character
// (before Tab, Enter or a shortcut).
void WordEnd(Engine& engine, char16_t separator);

// The decision itself, on the engine's current key text.
void DecideWord(Engine& engine, char16_t separator);

// The 23 characters that end a word: tab, LF, CR, space and ! " # % ' ( ) * + , ; < = > ? [ ] { | }.
inline bool IsWordSeparator(char16_t c) {
  constexpr AsciiSet kSeparators("\t\n\r !\"#%'()*+,;<=>?[]{|}");
  return kSeparators.contains(c);
}

}  // namespace tonvira
