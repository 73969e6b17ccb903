// The focused field on a Linux desktop, as fcitx5 describes it (the program's name and the
// field's capability flags), classified as the Windows program classifies its fields.
#pragma once

#include <string>

#include "context/context_rules.h"
#include "text/context_class.h"

namespace tonvira {

struct LinuxFieldFacts {
  std::u16string program;  // as fcitx5 reports it: a name ("gedit") or a path, never ".exe"
  bool password = false;   // a password or otherwise sensitive field
  bool urlOrEmail = false;
  bool terminal = false;  // the application says it is a terminal
};

struct LinuxField {
  std::u16string program;  // lowered, without its folder
  ContextClass fieldClass = ContextClass::Auto;
  bool blocked = false;   // keys pass untouched
  bool mayReopen = true;  // a backspace after a word may take it back (not in an address field)
};

// A context.txt rule names a Linux program by its name as fcitx5 reports it ("process gedit en");
// a Windows rule for the same program ("process code.exe en") applies too. Terminals type English
// unless a rule says otherwise; URL and e-mail fields are classed as browsers' address bars are.
LinuxField ClassifyLinuxField(const LinuxFieldFacts& facts, const ContextRules& rules);

// The terminal programs that type English without a rule: the Linux counterpart of the consoles
// that the shipped context.txt lists for Windows.
bool IsTerminalProgram(std::u16string_view loweredName);

}  // namespace tonvira
