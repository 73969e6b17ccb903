#include "context/context_rules.h"

#include <gtest/gtest.h>

namespace tonvira {
namespace {

using C = ContextClass;

TEST(ContextRules, ParsesTokensAndClasses) {
  ContextRules rules = ParseContextLines({
      u"# a comment", u"", u"process  Zalo.EXE   vi", u"uia   search    the   web   en",
      u"uia omnibox en",         // a legacy address-bar rule: dropped
      u"uia omnibox vi",         // the same with another class stays
      u"process notepad.exe",    // two tokens: skipped
      u"process code.exe EN",    // capitals: auto
      u"window x.exe auto",      // an unknown kind makes an element rule
      u"\tprocess\tĐÁ.exe\ten",  // TABs separate too; Vietnamese capitals are lowered
  });
  ContextRules expected = {
      {true, u"zalo.exe", C::Vietnamese}, {false, u"search the web", C::English},
      {false, u"omnibox", C::Vietnamese}, {true, u"code.exe", C::Auto},
      {false, u"x.exe", C::Auto},         {true, u"đá.exe", C::English},
  };
  EXPECT_EQ(rules, expected);
}

TEST(ContextRules, WrittenFileReadsBackToTheSameList) {
  ContextRules rules = {
      {true, u"excel.exe", C::Vietnamese}, {false, u"mật khẩu mới", C::English}, {true, u"cmd.exe", C::Auto}};
  std::u16string text = ContextFileText(rules);
  EXPECT_TRUE(text.starts_with(u"# Lop ngu canh mac dinh theo tien trinh va o nhap.\n"));
  EXPECT_NE(text.find(u"\nprocess  excel.exe   vi\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"\nuia      mật khẩu mới   en\n"), std::u16string::npos);
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  EXPECT_EQ(ParseContextLines(lines), rules);
}

TEST(ContextRules, SettingsListEdits) {
  ContextRules rules = {{false, u"search", C::English}, {true, u"zalo.exe", C::Vietnamese}};
  EXPECT_EQ(AddApplicationRule(rules, u""), AddAppResult::NoApplication);
  EXPECT_EQ(AddApplicationRule(rules, u"Tonvira.EXE"), AddAppResult::NoApplication);
  EXPECT_EQ(AddApplicationRule(rules, u"ZALO.exe"), AddAppResult::AlreadyListed);  // any case
  EXPECT_EQ(AddApplicationRule(rules, u"Notepad.exe"), AddAppResult::Added);
  EXPECT_EQ(rules.back(), (ContextRule{true, u"notepad.exe", C::Auto}));
  EXPECT_EQ(AddApplicationRule(rules, u"NOTEPAD.EXE"), AddAppResult::AlreadyListed);
  EXPECT_EQ(AddApplicationRule(rules, u"search"), AddAppResult::Added);  // only process rules count

  CycleRuleClass(rules, 2);
  EXPECT_EQ(rules[2].contextClass, C::English);
  CycleRuleClass(rules, 2);
  EXPECT_EQ(rules[2].contextClass, C::Vietnamese);
  CycleRuleClass(rules, 2);
  EXPECT_EQ(rules[2].contextClass, C::Auto);
  DeleteRule(rules, 0);
  ASSERT_EQ(rules.size(), 3u);
  EXPECT_EQ(rules[0].value, u"zalo.exe");
  DeleteRule(rules, 10);  // no such row: nothing happens
  EXPECT_EQ(rules.size(), 3u);
}

}  // namespace
}  // namespace tonvira
