// Changing text in another application by typing into it: backspaces for the wrong tail and
// Unicode characters for the right one, all marked as Tonvira's and sent in one call.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "input/key_event.h"

namespace tonvira {

struct OutputEdit {
  int backspaces = 0;
  std::u16string_view text;
  bool deleteFirst = false;           // one Delete press before the backspaces
  const KeyEvent* trigger = nullptr;  // re-sent as a key-down after the text
  bool deleteBeforeKey = false;       // one Delete press after the text, before the trigger
};

// Units never typed: controls, the C1 range, direction marks and line/paragraph separators.
bool IsDroppedCharacter(char16_t c);
// The text as the application receives it.
std::u16string WithoutDroppedCharacters(std::u16string_view text);

// The events of one edit, in order, into a buffer reused from key to key.
void BuildEditBatch(std::vector<OutputEvent>& batch, const OutputEdit& edit);
// Builds and sends the batch; true when every event was inserted or there was nothing to send.
bool SendEdit(std::vector<OutputEvent>& batch, const OutputEdit& edit);

}  // namespace tonvira
