// What happens to a word character before and after it joins the word.
#pragma once

#include "engine/engine.h"

namespace tonvira {

enum class AddCharResult : uint32_t {
  None = 0,
  NewWord = 1,  // the key begins a new word: the pipeline forgets what it showed
  Redraw = 2,   // earlier text was committed and keys replayed: redraw behind displayPrefix
};

// Backspace editing and reopened words act here; otherwise the key just starts or continues
// the word.
AddCharResult AddChar(Engine& engine, char16_t c);

// Appends the key and runs the typing-time checks. True when the word now shows what it
// showed before followed by the key, known without reading the word again (a long word
// shown as typed).
bool AfterChar(Engine& engine, char16_t c);

}  // namespace tonvira
