#include "ui/app_rules.h"

#include <gtest/gtest.h>

#include "tests/config/scratch_machine.h"

namespace tonvira::ui {
namespace {

class Messages : public Dialogs {
 public:
  std::vector<UserMessage> shown;
  void Tell(const UserMessage& m) override { shown.push_back(m); }
  bool Ask(const UserMessage& m) override {
    shown.push_back(m);
    return false;
  }
};

class AppRules : public ScratchMachine {
 protected:
  void SetUp() override {
    ScratchMachine::SetUp();
    Put(Path("context.txt"), "process  zalo.exe   vi\nuia      search box   en\nprocess  cmd.exe   en\n");
    ReadContextFile(tracker_, Path("context.txt"));
  }
  std::vector<std::u16string> Listed() {
    std::vector<std::u16string> out;
    ContextRules rules = CopyContextRules(tracker_);
    for (size_t i : ProcessRuleRows(rules)) {
      out.push_back(rules[i].value + u" " + std::u16string(ClassCaption(rules[i].contextClass)));
    }
    return out;
  }
  std::optional<size_t> Edit(AppRuleEdit edit, std::optional<size_t> row) {
    return EditAppRules(tracker_, messages_, edit, row, [this] { ++classified_; });
  }

  FocusTracker tracker_;
  Messages messages_;
  int classified_ = 0;
};

TEST_F(AppRules, EachEditReplacesClassifiesAndWrites) {
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"zalo.exe Tiếng Việt", u"cmd.exe Tiếng Anh"}));
  EXPECT_EQ(Edit(AppRuleEdit::ChangeLanguage, 1), 1u);  // the row stays selected
  EXPECT_EQ(Listed()[1], u"cmd.exe Tiếng Việt");
  EXPECT_EQ(Edit(AppRuleEdit::ChangeLanguage, 1), 1u);
  EXPECT_EQ(Listed()[1], u"cmd.exe Tự quyết định");
  EXPECT_EQ(Edit(AppRuleEdit::Delete, 0), std::nullopt);
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"cmd.exe Tự quyết định"}));
  EXPECT_EQ(classified_, 3);
  // The element rule between them kept its place in the file.
  EXPECT_EQ(Get(Path("context.txt")).substr(Get(Path("context.txt")).find("\n\n") + 2),
            "uia      search box   en\nprocess  cmd.exe   auto\n");
  EXPECT_TRUE(messages_.shown.empty());
}

// A rule added in Notepad is kept: the file is read again before the next edit, and a deletion
// chosen in the old list waits for the user to choose again.
TEST_F(AppRules, AnEditMadeByHandIsReadAgainBeforeTheNextEdit) {
  const std::string byHand = "process  excel.exe   en\nprocess  zalo.exe   vi\n";
  Put(Path("context.txt"), byHand);
  EXPECT_EQ(Edit(AppRuleEdit::Delete, 0), std::nullopt);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, kReloadedMessage);
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"excel.exe Tiếng Anh", u"zalo.exe Tiếng Việt"}));
  EXPECT_EQ(Get(Path("context.txt")), byHand);
  EXPECT_EQ(classified_, 1);
  Edit(AppRuleEdit::Delete, 0);  // chosen in the list as it now is
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"zalo.exe Tiếng Việt"}));
  EXPECT_TRUE(Get(Path("context.txt")).ends_with("\n\nprocess  zalo.exe   vi\n"));
  EXPECT_EQ(Get(Path("context.txt")).find("excel"), std::string::npos);
  EXPECT_EQ(messages_.shown.size(), 1u);
}

TEST_F(AppRules, AFailedWriteIsToldOnceUntilAWriteSucceeds) {
  const std::string before = Get(Path("context.txt"));
  SimulatedMachine().faults.failWrites = true;
  Edit(AppRuleEdit::ChangeLanguage, 0);
  Edit(AppRuleEdit::ChangeLanguage, 0);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(messages_.shown[0].text.starts_with(u"Không lưu được danh sách phần mềm vào file:\n"));
  EXPECT_EQ(Get(Path("context.txt")), before);
  EXPECT_NE(Listed()[0], u"zalo.exe Tiếng Việt");  // the edit stays in memory
  SimulatedMachine().faults.failWrites = false;
  Edit(AppRuleEdit::ChangeLanguage, 0);
  EXPECT_NE(Get(Path("context.txt")), before);
  SimulatedMachine().faults.failWrites = true;
  Edit(AppRuleEdit::ChangeLanguage, 0);
  EXPECT_EQ(messages_.shown.size(), 2u);  // told again after a write that succeeded
}

TEST_F(AppRules, AddingTheCurrentApplication) {
  {
    std::lock_guard<std::mutex> hold(tracker_.lock);
    tracker_.last_app = u"";
  }
  Edit(AppRuleEdit::AddCurrent, std::nullopt);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown.back().title, u"Thêm phần mềm");
  {
    std::lock_guard<std::mutex> hold(tracker_.lock);
    tracker_.last_app = u"Notepad.EXE";
  }
  Edit(AppRuleEdit::AddCurrent, std::nullopt);
  EXPECT_EQ(Listed().back(), u"notepad.exe Tự quyết định");
  Edit(AppRuleEdit::AddCurrent, std::nullopt);  // the second time: already listed
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown.back().text, u"Phần mềm này đã có trong danh sách.");
  EXPECT_EQ(messages_.shown.back().title, u"Tonvira");
  EXPECT_EQ(classified_, 1);
  EXPECT_NE(Get(Path("context.txt")).find("process  notepad.exe   auto\n"), std::string::npos);
}

TEST_F(AppRules, NoSelectionChangesNothing) {
  EXPECT_EQ(Edit(AppRuleEdit::Delete, std::nullopt), std::nullopt);
  EXPECT_EQ(Edit(AppRuleEdit::ChangeLanguage, 5), 5u);
  EXPECT_EQ(Listed().size(), 2u);
  EXPECT_EQ(classified_, 0);
}

}  // namespace
}  // namespace tonvira::ui
