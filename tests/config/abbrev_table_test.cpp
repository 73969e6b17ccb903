#include "config/abbrev_table.h"

#include <gtest/gtest.h>

#include "config/settings.h"
#include "config/text_file.h"
#include "scratch_machine.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

using namespace std::literals;

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

// What the program writes and reads back: the same table, whatever its keys and expansions hold.
AbbrevTable WriteAndRead(const AbbrevTable& table) {
  AbbrevTable reread;
  ParseAbbrevLines(reread, SplitTextLines(Utf16ToUtf8(AbbrevFileText(table))));
  return reread;
}

TEST(AbbrevFile, EveryEntryReadsBackAsWritten) {
  struct Row {
    const char* name;
    std::u16string_view key;
    std::u16string_view expansion;
  };
  const std::u16string tabs63(63, u'\t');
  const Row rows[] = {
      {"TAB in the expansion (a CSV import of a,b<TAB>c)", u"k", u"a,b\tc"},
      {"two TABs", u"k", u"a\tb\t1.0"},
      {"TAB in the key", u"a\tb", u"x"},
      {"= in key and expansion", u"a=b", u"c=d"},
      {"key that is only =", u"=", u"bằng"},
      {"# key", u"#vn", u"#VietNam"},
      {"# key with a TAB", u"#\t", u"x"},
      {"CR and LF", u"dc", u"Địa chỉ:\r\nHà Nội\n"},
      {"LF in the key", u"a\nb", u"x"},
      {"spaces at both ends", u" k ", u"  Hà Nội  "},
      {"key of one space", u" ", u" "},
      {"TAB and spaces at the ends", u"k", u"\t x \t"},
      {"backslash alone", u"dir", u"C:\\temp"},
      {"backslash next to a TAB", u"dir", u"C:\\\ttemp\\"},
      {"text that looks escaped", u"\\s", u"\\t\\n\\u0041\\\\"},
      {"backslash at the end of the key", u"k\\", u"\\"},
      {"other controls, DEL and U+FFFD", u"k\x01", u"\x1F\x7F\uFFFD\0x"sv},
      {"lone surrogates", u"\xD800", u"a\xDC00\xD83D"},
      {"surrogate pair", u"😆", u"=))"},
      {"63-unit key made of TABs", tabs63, u"x"},
      {"Vietnamese capital key", u"ĐT", u"điện thoại"},
  };
  AbbrevTable all;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AbbrevTable table;
    SetAbbrev(table, row.key, row.expansion);
    SetAbbrev(table, u"vn", u"Việt Nam");
    SetAbbrev(all, row.key, row.expansion);
    AbbrevTable reread = WriteAndRead(table);
    EXPECT_EQ(reread.expansions, table.expansions);
    EXPECT_EQ(AbbrevFileText(reread), AbbrevFileText(table));
  }
  EXPECT_EQ(WriteAndRead(all).expansions, all.expansions);
}

// Lines no file can hold, so they are not kept: the reader has always refused them.
TEST(AbbrevFile, EntriesNoLineHoldsAreLeftOut) {
  AbbrevTable table;
  SetAbbrev(table, u"", u"empty key");
  SetAbbrev(table, std::u16string(64, u'\t'), u"64-unit key");
  SetAbbrev(table, u"k", u"");
  SetAbbrev(table, u"vn", u"Việt\tNam");
  AbbrevTable reread = WriteAndRead(table);
  EXPECT_EQ(reread.expansions, (AbbrevMap{{u"vn", u"Việt\tNam"}}));
}

TEST(AbbrevFile, EscapesOnlyWhenSomethingNeedsIt) {
  const std::string header = "# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\n";
  const std::string escapedLine =
      "# Ky tu dac biet: \\t TAB, \\r CR, \\n xuong dong, \\s dau cach o dau/cuoi, \\\\ gach cheo, "
      "\\uXXXX ky tu khac\n";
  AbbrevTable table;
  SetAbbrev(table, u"dir", u"C:\\temp");
  SetAbbrev(table, u"#vn", u"#VietNam");
  // A backslash alone is written as older versions wrote it, and they read it back the same.
  EXPECT_EQ(Utf16ToUtf8(AbbrevFileText(table)), header + " #vn\t#VietNam\ndir\tC:\\temp\n");
  SetAbbrev(table, u"k", u"a,b\tc");
  SetAbbrev(table, u"sp", u" x\r\n\x01\uFFFD ");
  EXPECT_EQ(Utf16ToUtf8(AbbrevFileText(table)),
            header + escapedLine +
                " #vn\t#VietNam\ndir\tC:\\\\temp\nk\ta,b\\tc\nsp\t\\sx\\r\\n\\u0001\\uFFFD\\s\n");
}

// Lines as older versions (and people, and the shipped library) wrote them read as they always
// did: without the escaped line a backslash is a backslash, and a second TAB starts the
// since-version.
TEST(AbbrevFile, OlderFilesReadAsTheyWere) {
  AbbrevTable table = Parse(
      "# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\n"
      "dir\tC:\\new\\temp\\s\\u0041\\\n"
      "bs=a\\tb\n"
      "\\n\t\\\\\n"
      " #vn\t#VietNam\n"
      "k\ta,b\tc\n"
      "# Ky tu dac biet: \\t TAB\n");  // not the escaped line: only the whole line counts
  EXPECT_EQ(table.expansions, (AbbrevMap{{u"dir", u"C:\\new\\temp\\s\\u0041\\"},
                                         {u"bs", u"a\\tb"},
                                         {u"\\n", u"\\\\"},
                                         {u"#vn", u"#VietNam"},
                                         {u"k", u"a,b"}}));
  EXPECT_EQ(table.since, (AbbrevMap{{u"k", u"c"}}));
}

TEST(AbbrevFile, ReadsEscapedLines) {
  const std::string escaped =
      "# Ky tu dac biet: \\t TAB, \\r CR, \\n xuong dong, \\s dau cach o dau/cuoi, \\\\ gach cheo, "
      "\\uXXXX ky tu khac\r\n";
  struct Row {
    const char* name;
    std::string_view line;
    std::u16string_view key;
    std::u16string_view expansion;  // "<none>" when the line is dropped
    std::u16string_view since = u"";
  };
  const std::u16string tabs63(63, u'\t');
  std::string tabs63Line;
  for (int i = 0; i < 63; ++i) tabs63Line += "\\t";
  tabs63Line += "\tx\n";
  const Row rows[] = {
      {"every escape", "\\sk\\t\\\\\t\\r\\n\\s\\u00e9\\u1EA0\n", u" k\t\\", u"\r\n \u00E9\u1EA0"},
      {"a backslash starting nothing stays", "k\tC:\\dir\\q\\u12\\u12G4\\\n", u"k",
       u"C:\\dir\\q\\u12\\u12G4\\"},
      {"the since column", "k\tx\\ty\t 1.\\s2 \n", u"k", u"x\ty", u"1. 2"},
      {"= form", "k\\t=v\\\\\n", u"k\t", u"v\\"},
      {"key lowered", "BRB\\t\tx\n", u"brb\t", u"x"},
      {"# key behind a space", " #\\t\t\\#\n", u"#\t", u"\\#"},
      {"63 units unescaped", tabs63Line, tabs63, u"x"},
      {"64 units unescaped", "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk\\s\tx\n",
       u"kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk ", u"<none>"},
      {"a raw control is damage", "k\tx\x01y\n", u"k", u"<none>"},
      {"a raw DEL is damage", "k\x7F\tx\n", u"k\x7F", u"<none>"},
      {"invalid UTF-8 is damage", "k\tx\xFF\n", u"k", u"<none>"},
      {"an escaped U+FFFD is not", "k\t\\uFFFD\n", u"k", u"\uFFFD"},
      {"empty key", "\t\\s\n", u"", u"<none>"},
      {"empty expansion", "k\t \n", u"k", u"<none>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AbbrevTable table = Parse("# Go tat cua Tonvira\n" + escaped + std::string(row.line));
    EXPECT_EQ(Expansion(table, row.key), row.expansion);
    EXPECT_EQ(table.expansions.size(), row.expansion == u"<none>" ? 0u : 1u);
    auto since = table.since.find(AbbrevKey(row.key));
    EXPECT_EQ(since == table.since.end() ? u"" : since->second, row.since);
  }
  // Lines above the escaped line are read plainly.
  AbbrevTable table = Parse("a\tx\\ty\n" + escaped + "b\tx\\ty\n");
  EXPECT_EQ(table.expansions, (AbbrevMap{{u"a", u"x\\ty"}, {u"b", u"x\ty"}}));
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
