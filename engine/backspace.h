// Backspace as an edit of what the application shows: shortening the word being typed, and
// reopening the word just finished so a tone can be corrected in place.
#pragma once

#include <string>
#include <string_view>

#include "engine/engine.h"

namespace tonvira {

// The application deletes one character itself; this brings the engine's word in line and
// returns the word's text afterwards (empty with bs_edit off: the word is forgotten).
std::u16string Backspace(Engine& engine, std::u16string_view onScreenWord);

// After a key: when the word shows again exactly what it showed before a backspace, it is
// the word it was then (keys and decision state), as if the backspace had never happened.
void RestoreWordBeforeBackspace(Engine& engine);

// Right after a word end, takes the last finished word back into composition. Returns the
// reopened word's text, or empty when nothing can be reopened. The caller (the keyboard
// hook) checks the window, field and bs_edit conditions first.
std::u16string ReopenWord(Engine& engine);

}  // namespace tonvira
