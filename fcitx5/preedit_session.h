// The typing session of a text field that shows the word in progress as preedit (the Linux front
// end): the same engine, word ends and backspace editing as the Windows program, told to the
// application as "delete this before the caret, commit this, show this" instead of synthetic keys.
#pragma once

#include <string>

#include "engine/engine.h"

namespace tonvira {

// What the application is asked to do after a key, in this order: delete characters before the
// caret (a reopened word and its space), commit text, show the preedit. The key itself goes on to
// the application afterwards unless it was handled. The session keeps one and fills it again at
// every key, so its texts keep their room.
struct FieldEdit {
  size_t deleteBefore = 0;  // characters (code points), not UTF-16 units
  std::u16string commit;
  std::u16string preedit;
  bool keyHandled = false;
};

class PreeditSession {
 public:
  explicit PreeditSession(Engine& engine) : engine_(engine) {}

  // The field's class and whether it takes keys unchanged (a password field). A field of
  // another program starts the language memory again.
  void SetField(std::u16string_view program, ContextClass fieldClass, bool blocked, bool mayReopen);

  // A character the key types (after Shift and the layout): a separator ends the word.
  const FieldEdit& TypeCharacter(char16_t c);
  // Backspace. `beforeCaret` is the text before the caret when the application tells it (and
  // nothing is selected), else null: a word just committed is then never reopened.
  const FieldEdit& Backspace(const std::u16string* beforeCaret);
  // Enter, Tab or a shortcut: the word is decided and committed, the key goes on. Enter also
  // ends the line (and the sentence) for the language memory.
  const FieldEdit& CommitWord(bool lineEnd);
  // The caret moves away or the field loses focus: the word stays as it is shown.
  const FieldEdit& KeepWordAsShown();

 private:
  const FieldEdit& Fresh();
  const FieldEdit& CommittedSince(size_t before, bool keyHandled);
  void ShowWord();  // the word in progress into the preedit

  Engine& engine_;
  std::u16string program_;
  bool mayReopen_ = true;
  FieldEdit edit_;
};

}  // namespace tonvira
