#include "config/abbrev_table.h"

#include <gtest/gtest.h>

#include "config/settings.h"
#include "config/text_file.h"
#include "config/utf8.h"
#include "scratch_machine.h"

namespace tonvira {
namespace {

AbbrevTable Parse(std::string_view bytes) {
  AbbrevTable table;
  ParseAbbrevLines(table, SplitTextLines(bytes));
  return table;
}

std::u16string Expansion(const AbbrevTable& table, std::u16string_view key) {
  const std::u16string* found = LookupAbbrev(table, key);
  return found ? *found : u"<none>";
}

TEST(AbbrevTable, KeysAreLoweredInAsciiOnly) {
  AbbrevTable table;
  SetAbbrev(table, u"BRB", u"be right back");
  SetAbbrev(table, u"Đt", u"điện thoại");
  EXPECT_EQ(Expansion(table, u"brb"), u"be right back");
  EXPECT_EQ(Expansion(table, u"bRb"), u"be right back");
  EXPECT_EQ(Expansion(table, u"Đt"), u"điện thoại");
  EXPECT_EQ(Expansion(table, u"ĐT"), u"điện thoại");
  EXPECT_EQ(Expansion(table, u"đt"), u"<none>");  // Đ is not an ASCII capital
  SetAbbrev(table, u"brb", u"quay lại ngay");
  EXPECT_EQ(table.expansions.size(), 2u);
  EXPECT_EQ(Expansion(table, u"BRB"), u"quay lại ngay");
  table.since[u"brb"] = u"1.0";
  RemoveAbbrev(table, u"Brb");
  EXPECT_EQ(Expansion(table, u"brb"), u"<none>");
  EXPECT_FALSE(table.since.contains(u"brb"));
  ClearAbbrevTable(table);
  EXPECT_TRUE(table.expansions.empty());
}

TEST(AbbrevTable, SortedByCodeUnits) {
  AbbrevTable table;
  for (std::u16string_view key : {u"đt", u"b", u"Z", u"a1", u"a", u"~", u"\U0001F600", u"\uFF01"}) {
    SetAbbrev(table, key, u"x");
  }
  std::vector<std::u16string> keys;
  for (const auto& [key, expansion] : SortedAbbrevs(table)) keys.push_back(key);
  // U+1F600 is stored as D83D DE00, which sorts below U+FF01.
  EXPECT_EQ(keys,
            (std::vector<std::u16string>{u"a", u"a1", u"b", u"z", u"~", u"đt", u"\U0001F600", u"\uFF01"}));
}

TEST(AbbrevTable, Limits) {
  EXPECT_TRUE(IsValidAbbrevKey(std::u16string(63, u'k')));
  EXPECT_FALSE(IsValidAbbrevKey(std::u16string(64, u'k')));
  EXPECT_FALSE(IsValidAbbrevKey(u""));
  EXPECT_TRUE(IsValidAbbrevKey(u"=))"));
  EXPECT_TRUE(IsValidAbbrevKey(u"a b"));
  for (std::u16string_view bad : {u"a\tb", u"a\x1F", u"a\x7F", u"a\uFFFD"})
    EXPECT_FALSE(IsValidAbbrevKey(bad));
  for (std::u16string_view bad : {u"a\nb", u"a\x1F", u"a\x7F", u"a\uFFFD"})
    EXPECT_FALSE(IsValidExpansion(bad));
  EXPECT_TRUE(IsValidExpansion(u"a\tb"));
  EXPECT_TRUE(IsValidExpansion(std::u16string(100000, u'x')));
  EXPECT_FALSE(IsValidExpansion(u""));
}

TEST(AbbrevFile, ReadsLines) {
  struct Row {
    const char* name;
    std::string_view file;
    std::u16string_view key;
    std::u16string_view expansion;  // "<none>" when the line is dropped
    std::u16string_view since = u"";
  };
  const Row rows[] = {
      {"TAB form", "brb\tbe right back\n", u"brb", u"be right back"},
      {"= form", "ko=không\n", u"ko", u"không"},
      {"the later line wins", "brb\tbe right back\nBRB=quay lại ngay\n", u"brb", u"quay lại ngay"},
      {"trimmed", "  hn \t  Hà Nội \t \n", u"hn", u"Hà Nội"},
      {"third column", "vn\tViệt Nam\t1.4.10\n", u"vn", u"Việt Nam", u"1.4.10"},
      {"third column trimmed", "vn\tViệt Nam\t 1.0 \r\n", u"vn", u"Việt Nam", u"1.0"},
      // The program writes the TAB form, so a TAB anywhere makes it one: keys like "<=" and
      // "=))" read back as they were written.
      {"= line with a TAB in the value", "tp=Thành phố\t1.2\n", u"tp=Thành phố", u"1.2"},
      {"a key may hold = in the TAB form", "=))\t😆\n", u"=))", u"😆"},
      {"a key may hold = inside", "<=\t≤\n", u"<=", u"≤"},
      {"TAB form with a since column", "tp\tThành phố\t1.2\n", u"tp", u"Thành phố", u"1.2"},
      {"TAB before = splits at the TAB", "a\tb=c\n", u"a", u"b=c"},
      {"comment", "#x\ty\n", u"#x", u"<none>"},
      {"no separator", "abc\n", u"abc", u"<none>"},
      {"empty key", "\tx\n", u"", u"<none>"},
      {"empty expansion", "k\t \n", u"k", u"<none>"},
      {"63-unit key", "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk\tx\n",
       u"kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk", u"x"},
      {"64-unit key", "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk\tx\n",
       u"kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk", u"<none>"},
      {"invalid UTF-8 in the key", "a\xFF\tx\n", u"a\uFFFD", u"<none>"},
      {"invalid UTF-8 in the expansion", "a\tx\xFF\n", u"a", u"<none>"},
      {"DEL", "a\tx\x7Fy\n", u"a", u"<none>"},
      {"control character", "a\tx\x01y\n", u"a", u"<none>"},
      {"Vietnamese capital kept", "ĐT\tđiện thoại\n", u"ĐT", u"điện thoại"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AbbrevTable table = Parse(row.file);
    EXPECT_EQ(Expansion(table, row.key), row.expansion);
    EXPECT_EQ(table.expansions.size(), row.expansion == u"<none>" ? 0u : 1u);
    auto since = table.since.find(AbbrevKey(row.key));
    EXPECT_EQ(since == table.since.end() ? u"" : since->second, row.since);
  }
}

TEST(AbbrevFile, WritesSortedTwoColumnsWithHeader) {
  AbbrevTable table = Parse("vn\tViệt Nam\t1.4.10\nBRB=be right back\n");
  EXPECT_EQ(
      Utf16ToUtf8(AbbrevFileText(table)),
      "# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\nbrb\tbe right back\nvn\tViệt Nam\n");
  EXPECT_EQ(Utf16ToUtf8(AbbrevFileText(AbbrevTable{})),
            "# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\n");
}

TEST(AbbrevFile, WriteReadWriteGivesTheSameBytes) {
  AbbrevTable table = Parse(
      "\xEF\xBB\xBF# comment\r\nvn\tViệt Nam\t1.4.10\r\nko=không\ntp=Thành phố\t1.2\n=))\t😆\n"
      "a=b\tc=d\n x y \t z \n #vn\t#VietNam\n");
  std::u16string first = AbbrevFileText(table);
  AbbrevTable reread;
  ParseAbbrevLines(reread, SplitTextLines(Utf16ToUtf8(first)));
  EXPECT_EQ(reread.expansions, table.expansions);
  EXPECT_EQ(AbbrevFileText(reread), first);
  EXPECT_NE(first.find(u"\n #vn\t#VietNam\n"), std::u16string::npos);
}

using AbbrevFileOnDisk = ScratchMachine;

TEST_F(AbbrevFileOnDisk, ReadReportsWhetherTheFileHeldLines) {
  AbbrevTable table;
  SetAbbrev(table, u"old", u"cũ");
  EXPECT_FALSE(ReadAbbrevFile(table, Path("abbrev.txt")));
  EXPECT_TRUE(table.expansions.empty());  // cleared even so
  Put(Path("abbrev.txt"), "");
  EXPECT_FALSE(ReadAbbrevFile(table, Path("abbrev.txt")));
  Put(Path("abbrev.txt"), "# only a comment\nnot valid\n");
  EXPECT_TRUE(ReadAbbrevFile(table, Path("abbrev.txt")));
  EXPECT_TRUE(table.expansions.empty());
  ASSERT_TRUE(WriteAbbrevFile(Parse("ko=không\n"), Path("abbrev.txt")));
  EXPECT_TRUE(ReadAbbrevFile(table, Path("abbrev.txt")));
  EXPECT_EQ(Expansion(table, u"ko"), u"không");
}

TEST_F(AbbrevFileOnDisk, SaveKeepsAnUnreadableFile) {
  std::u16string path = Path("app/data/abbrev.txt");
  Put(path, "years\tof abbreviations\n");
  SettingsState state;
  state.SettingsLoaded = true;
  state.AbbrevLoaded = false;
  EXPECT_FALSE(SaveAbbrevs(Parse("new=mới\n"), state));
  EXPECT_EQ(Get(path), "years\tof abbreviations\n");
  state.AbbrevLoaded = true;
  EXPECT_TRUE(SaveAbbrevs(Parse("new=mới\n"), state));
  EXPECT_EQ(Get(path), "# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\nnew\tmới\n");
}

}  // namespace
}  // namespace tonvira
