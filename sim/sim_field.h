// A simulated text field typed through the engine: what an application would show.
#pragma once

#include <string>

#include "engine/engine.h"

namespace tonvira {

class SimField {
 public:
  explicit SimField(Engine& engine) : engine_(engine) {}

  // One typed character: a word separator ends the word, LF is Enter, TAB is Tab, anything
  // else joins the word.
  void Type(char16_t c);
  void Type(std::u16string_view text) {
    for (char16_t c : text) Type(c);
  }
  // Text with special keys in braces: {BS}, {ENTER}, {TAB}, {ESC}, {LEFT}, {RIGHT}, {UP},
  // {DOWN}, {HOME}, {END}, {DEL}, {CLICK}; "{{" is a brace.
  void TypeKeys(std::u16string_view text);
  // Backspace: the application deletes one character; the engine follows.
  void Backspace();
  // A key or click that moves away from the word: it is abandoned as shown.
  void Abandon();
  // Commits the word in progress without a character, as Tab or Enter do.
  void Commit();
  // The field's text, with the word in progress as it is shown.
  std::u16string Text() const;

 private:
  void TakeCommitted(size_t before);

  Engine& engine_;
  std::u16string text_;  // everything before the word in progress
};

}  // namespace tonvira
