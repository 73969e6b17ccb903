#include "fcitx5/linux_field.h"

#include <gtest/gtest.h>

#include "text/utf8.h"

namespace tonvira {
namespace {

TEST(LinuxField, ClassFromRulesTerminalsAndCapabilities) {
  ContextRules rules = ParseContextLines(
      {u"process code.exe en", u"process telegram-desktop vi", u"process konsole vi", u"uia gedit en"});
  struct Row {
    LinuxFieldFacts facts;
    ContextClass fieldClass;
    bool blocked, mayReopen;
  } rows[] = {
      {{u"gedit"}, ContextClass::Auto, false, true},  // an element rule is no program rule
      {{u"Telegram-Desktop"}, ContextClass::Vietnamese, false, true},
      {{u"code"}, ContextClass::English, false, true},  // the Windows rule names the same program
      {{u"/usr/bin/xterm"}, ContextClass::English, false, true},
      {{u"konsole"}, ContextClass::Vietnamese, false, true},  // a rule overrides the terminal list
      {{u"myshell", false, false, true}, ContextClass::English, false, true},
      {{u"firefox", false, true}, ContextClass::Auto, false, false},
      {{u"firefox", true}, ContextClass::Auto, true, true},
      {{u""}, ContextClass::Auto, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.facts.program));
    LinuxField field = ClassifyLinuxField(row.facts, rules);
    EXPECT_EQ(field.fieldClass, row.fieldClass);
    EXPECT_EQ(field.blocked, row.blocked);
    EXPECT_EQ(field.mayReopen, row.mayReopen);
  }
}

}  // namespace
}  // namespace tonvira
