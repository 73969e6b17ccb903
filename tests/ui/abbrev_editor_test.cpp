#include "ui/abbrev_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/config/scratch_machine.h"

namespace tonvira::ui {
namespace {

// Answers the page's questions as told and keeps what it was shown.
class ScriptedDialogs : public Dialogs {
 public:
  bool answer = false;
  std::vector<UserMessage> shown;
  void Tell(const UserMessage& m) override { shown.push_back(m); }
  bool Ask(const UserMessage& m) override {
    shown.push_back(m);
    return answer;
  }
  std::u16string Last() const { return shown.empty() ? u"" : shown.back().text; }
};

class AbbrevPage : public ScratchMachine {
 protected:
  void SetUp() override {
    ScratchMachine::SetUp();
    state_.SettingsLoaded = state_.AbbrevLoaded = true;
  }
  std::u16string FilePath() const { return Path("app/data/abbrev.txt"); }
  std::u16string OnDisk(std::u16string_view key) {
    AbbrevTable reread;
    ReadAbbrevFile(reread, FilePath());
    const std::u16string* e = LookupAbbrev(reread, key);
    return e ? *e : u"<none>";
  }

  AbbrevTable table_;
  SettingsState state_;
  AbbrevEditor editor_{table_, state_};
  ScriptedDialogs dialogs_;
};

TEST_F(AbbrevPage, TheAddFlow) {
  struct Row {
    const char* what;
    std::u16string key, expansion;
    bool answer;
    bool added;
    std::u16string message;  // the last message shown, or empty for none
    std::u16string stored;   // the table's expansion for the key afterwards
  } rows[] = {
      {"a key with a space", u"a b", u"x", false, false, u"Khoá gõ tắt không được có dấu cách.", u"<none>"},
      {"a key with a TAB", u"a\tb", u"x", false, false, u"Khoá gõ tắt không được có dấu cách.", u"<none>"},
      {"no expansion", u"vn", u"  \t ", false, false, u"Nhập cả khoá và bản khai triển.", u"<none>"},
      {"no key", u"   ", u"Việt Nam", false, false, u"Nhập cả khoá và bản khai triển.", u"<none>"},
      {"added, trimmed and lowered", u"  VN ", u" Việt Nam\r\n", false, true, u"", u"Việt Nam"},
      {"the same expansion asks nothing", u"vn", u"Việt Nam", false, true, u"", u"Việt Nam"},
      {"replacing answered No", u"vn", u"Vân Nam", false, false,
       u"Khoá “vn” đã có: “Việt Nam”.\n\nThay bằng bản khai triển mới “Vân Nam”?", u"Việt Nam"},
      {"replacing answered Yes", u"Vn", u"Vân Nam", true, true,
       u"Khoá “Vn” đã có: “Việt Nam”.\n\nThay bằng bản khai triển mới “Vân Nam”?", u"Vân Nam"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    dialogs_.shown.clear();
    dialogs_.answer = row.answer;
    AddOutcome outcome = AddAbbrevFromBoxes(editor_, dialogs_, row.key, row.expansion);
    EXPECT_EQ(outcome.added, row.added);
    EXPECT_EQ(dialogs_.Last(), row.message);
    if (!dialogs_.shown.empty()) {
      EXPECT_EQ(dialogs_.shown.back().title, u"Gõ tắt");
      bool question = row.message.ends_with(u"?");
      EXPECT_EQ(dialogs_.shown.back().icon, question ? MessageIcon::Question : MessageIcon::Information);
    }
    const std::u16string* stored = LookupAbbrev(table_, TrimAbbrevField(row.key));
    EXPECT_EQ(stored ? *stored : u"<none>", row.stored);
    if (row.added) {
      EXPECT_EQ(OnDisk(u"vn"), row.stored);  // saved at once
    }
  }
  EXPECT_EQ(SortedAbbrevs(table_).front().first, u"vn");  // stored lowered
}

TEST_F(AbbrevPage, BoxesAreReadUpToTheirLimits) {
  std::u16string longKey(70, u'k');
  std::u16string longExpansion(600, u'e');
  ASSERT_TRUE(AddAbbrevFromBoxes(editor_, dialogs_, longKey, longExpansion).added);
  const std::u16string* stored = LookupAbbrev(table_, std::u16string(kKeyBoxUnits, u'k'));
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->size(), kExpansionBoxUnits);
}

TEST_F(AbbrevPage, DeleteTakesTheSelectedRowOfTheSortedList) {
  SetAbbrev(table_, u"b", u"bê");
  SetAbbrev(table_, u"a", u"a");
  SetAbbrev(table_, u"c", u"xê");
  EXPECT_FALSE(DeleteAbbrevRow(editor_, dialogs_, std::nullopt));  // nothing selected
  EXPECT_FALSE(DeleteAbbrevRow(editor_, dialogs_, 3));             // past the end
  EXPECT_EQ(table_.expansions.size(), 3u);
  EXPECT_TRUE(DeleteAbbrevRow(editor_, dialogs_, 1));
  EXPECT_EQ(LookupAbbrev(table_, u"b"), nullptr);
  EXPECT_EQ(OnDisk(u"b"), u"<none>");
  EXPECT_EQ(OnDisk(u"c"), u"xê");
  EXPECT_TRUE(dialogs_.shown.empty());  // no confirmation
}

TEST_F(AbbrevPage, ImportCountsTheRowsAfterAHeaderTheSameEachTime) {
  Put(Path("sheet.csv"), "KEY,expansion\nvn,Việt Nam\nhn,Hà Nội\n");
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_TRUE(ImportAbbrevsFrom(editor_, dialogs_, Path("sheet.csv")));
    EXPECT_EQ(dialogs_.Last(), u"Đã nhập 2 mục.");
    EXPECT_EQ(dialogs_.shown.back().icon, MessageIcon::Information);
  }
  EXPECT_EQ(OnDisk(u"hn"), u"Hà Nội");

  Put(Path("book.xlsx"), std::string("PK\x03\x04", 4) + "workbook");
  EXPECT_FALSE(ImportAbbrevsFrom(editor_, dialogs_, Path("book.xlsx")));
  EXPECT_TRUE(dialogs_.Last().starts_with(u"Chưa nhập trực tiếp được file Excel (.xlsx, .xls)."));
  EXPECT_EQ(dialogs_.shown.back().icon, MessageIcon::Warning);
  EXPECT_FALSE(ImportAbbrevsFrom(editor_, dialogs_, Path("missing.csv")));
  EXPECT_EQ(dialogs_.Last(), u"Không đọc được file.");
  EXPECT_EQ(dialogs_.shown.back().icon, MessageIcon::Error);
  EXPECT_EQ(table_.expansions.size(), 2u);
}

TEST_F(AbbrevPage, AFailedSaveIsToldOnceAndTriedAgainAtTheNextChange) {
  std::filesystem::create_directories(Utf16ToUtf8(FilePath()));  // a folder where the file goes
  ASSERT_TRUE(AddAbbrevFromBoxes(editor_, dialogs_, u"vn", u"Việt Nam").added);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_NE(dialogs_.Last().find(FilePath()), std::u16string::npos);  // names the file
  EXPECT_EQ(dialogs_.shown.back().icon, MessageIcon::Warning);
  EXPECT_NE(LookupAbbrev(table_, u"vn"), nullptr);  // kept in memory
  AddAbbrevFromBoxes(editor_, dialogs_, u"hn", u"Hà Nội");
  EXPECT_EQ(dialogs_.shown.size(), 1u);  // once

  std::filesystem::remove(Utf16ToUtf8(FilePath()));
  AddAbbrevFromBoxes(editor_, dialogs_, u"sg", u"Sài Gòn");
  EXPECT_EQ(OnDisk(u"vn"), u"Việt Nam");  // the next change saved everything
  EXPECT_EQ(OnDisk(u"sg"), u"Sài Gòn");
}

TEST_F(AbbrevPage, AnUnreadableFileIsNeverOverwritten) {
  Put(FilePath(), "years\tof abbreviations\n");
  state_.AbbrevLoaded = false;
  SetAbbrev(table_, u"x", u"y");
  Put(Path("sheet.csv"), "vn,Việt Nam\n");
  EXPECT_FALSE(AddAbbrevFromBoxes(editor_, dialogs_, u"vn", u"Việt Nam").added);
  EXPECT_FALSE(DeleteAbbrevRow(editor_, dialogs_, 0));
  EXPECT_FALSE(ImportAbbrevsFrom(editor_, dialogs_, Path("sheet.csv")));
  ASSERT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_NE(dialogs_.Last().find(FilePath()), std::u16string::npos);
  EXPECT_EQ(Get(FilePath()), "years\tof abbreviations\n");
  EXPECT_EQ(table_.expansions.size(), 1u);
}

}  // namespace
}  // namespace tonvira::ui
