#include <gtest/gtest.h>

#include "config/abbrev_table.h"
#include "config/text_file.h"
#include "scratch_machine.h"

namespace tonvira {
namespace {

struct Imported {
  int result;
  AbbrevTable table;
};

Imported Import(std::string_view bytes) {
  Imported out;
  out.result = ImportAbbrevLines(out.table, SplitTextLines(bytes));
  return out;
}

std::u16string Expansion(const AbbrevTable& table, std::u16string_view key) {
  const std::u16string* found = LookupAbbrev(table, key);
  return found ? *found : u"<none>";
}

TEST(AbbrevImport, SplitsTrimsAndUnquotes) {
  struct Row {
    const char* name;
    std::string_view file;
    std::u16string_view key;
    std::u16string_view expansion;  // "<none>": not imported
  };
  const Row rows[] = {
      {"comma", "brb,be right back\n", u"brb", u"be right back"},
      {"TAB", "brb\tbe right back\n", u"brb", u"be right back"},
      {"semicolon", "brb;be right back\n", u"brb", u"be right back"},
      {"only the first separator splits", "k,a,b\n", u"k", u"a,b"},
      {"the first of any kind", "k;a,b\tc\n", u"k", u"a,b\tc"},
      {"quotes do not protect a separator", "\"a,b\",c\n", u"\"a", u"b\",c"},
      {"quoted fields", "\"hn\",\"Hà Nội\"\n", u"hn", u"Hà Nội"},
      {"four quotes inside a quoted field", "q,\"\"\"\"\"\"\n", u"q", u"\""},
      {"doubled quotes inside", "q,\"say \"\"hi\"\"\"\n", u"q", u"say \"hi\""},
      {"an unquoted field keeps its quotes", "tv,màn hình 40\"\"\n", u"tv", u"màn hình 40\"\""},
      {"trimmed before unquoting", "  \"k\"  ,  \" v \"  \n", u"k", u" v "},
      {"capital key lowered", "BRB,x\n", u"brb", u"x"},
      {"byte-order mark on a later line", "a,1\n\xEF\xBB\xBFk,v\n", u"k", u"v"},
      {"comment", "#k,v\n", u"#k", u"<none>"},
      {"no separator", "kv\n", u"kv", u"<none>"},
      {"empty value", "k,\n", u"k", u"<none>"},
      {"64-unit key", "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk,x\n",
       u"kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk", u"<none>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Imported imported = Import(row.file);
    EXPECT_EQ(Expansion(imported.table, row.key), row.expansion);
  }
}

TEST(AbbrevImport, HeaderRowOnlyOnTheFirstDataLine) {
  struct Row {
    std::string_view file;
    int count;
  };
  const Row rows[] = {
      {"key,expansion\nbrb,be right back\n", 1},
      {"KEY;Expansion\nbrb;be right back\n", 1},
      {"Khoa,Ban khai trien\nbrb,be right back\n", 1},
      {"Viet tat\tNghia\nbrb\tbe right back\n", 1},
      {"TU VIET TAT,x\nbrb,be right back\n", 1},
      // Our own column titles, and the other tone placement of the first one.
      {"Khoá,Bản khai triển\nbrb,be right back\n", 1},
      {"KHOÁ,BẢN KHAI TRIỂN\nbrb,be right back\n", 1},
      {"\"Khóa\",\"Nghĩa\"\nbrb,be right back\n", 1},
      {"Viết tắt;Nghĩa\nbrb;be right back\n", 1},
      {"Từ Viết Tắt\tNghĩa\nbrb\tbe right back\n", 1},
      {"\xEF\xBB\xBF# exported list\n\nno separator\nkey,expansion\nbrb,be right back\n", 1},
      // Only the first line that got this far can be a header.
      {"brb,be right back\nkey,expansion\n", 2},
      {"khoa x,y\nbrb,be right back\n", 2},
      {"khoas,y\nbrb,be right back\n", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    Imported imported = Import(row.file);
    EXPECT_EQ(imported.result, row.count);
    EXPECT_EQ(Expansion(imported.table, u"brb"), u"be right back");
  }
}

TEST(AbbrevImport, CountsOverwrittenKeysAndOverwritesTheTable) {
  AbbrevTable table;
  SetAbbrev(table, u"ko", u"không");
  std::vector<std::u16string> lines = {u"ko,không bao giờ", u"dc,được", u"DC,được rồi"};
  EXPECT_EQ(ImportAbbrevLines(table, lines), 3);
  EXPECT_EQ(ImportAbbrevLines(table, lines), 3);
  EXPECT_EQ(Expansion(table, u"ko"), u"không bao giờ");
  EXPECT_EQ(Expansion(table, u"dc"), u"được rồi");
  EXPECT_EQ(table.expansions.size(), 2u);
}

TEST(AbbrevImport, RefusesWorkbooksAndOtherEncodings) {
  struct Row {
    const char* name;
    std::string_view file;
    int result;
  };
  const Row rows[] = {
      {"empty", "", kImportMissing},
      {"zip signature", std::string_view("PK\x03\x04\x14\x00\x00\x00", 8), kImportNotText},
      {"zip signature, short first line", std::string_view("PK\x03\x04\n", 5), kImportNotText},
      {"PK text is fine", "PK,x\n", 1},
      {"a NUL anywhere", std::string_view("a,b\nc,d\x00\n", 9), kImportNotText},
      {"UTF-16 text",
       std::string_view("\xFF\xFE"
                        "a\x00,\x00"
                        "b\x00",
                        8),
       kImportNotText},
      // Windows-1258: "Việt" holds bytes that are not UTF-8.
      {"legacy code page", "vn,Vi\xF2\xEAt Nam\nhn,H\xE0 N\xF4i\nko,kh\xF4ng\n", kImportNotText},
      // Exactly half the lines with U+FFFD is still taken as UTF-8; their entries are dropped.
      {"half the lines broken", "vn,Vi\xF2\xEAt\nhn,Hà Nội\n", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AbbrevTable table;
    SetAbbrev(table, u"keep", u"giữ");
    EXPECT_EQ(ImportAbbrevLines(table, SplitTextLines(row.file)), row.result);
    EXPECT_EQ(Expansion(table, u"keep"), u"giữ");
    if (row.result < 0) {
      EXPECT_EQ(table.expansions.size(), 1u);
    }
  }
}

using AbbrevImportFile = ScratchMachine;

TEST_F(AbbrevImportFile, MissingOrUnreadableFile) {
  AbbrevTable table;
  EXPECT_EQ(ImportAbbrevFile(table, Path("none.csv")), kImportMissing);
  Put(Path("list.csv"), "\xEF\xBB\xBFKhoá,Bản khai triển\r\nbrb,\"be right back\"\r\n");
  EXPECT_EQ(ImportAbbrevFile(table, Path("list.csv")), 1);
  SimulatedMachine().faults.unreadable.insert(Path("list.csv"));
  EXPECT_EQ(ImportAbbrevFile(table, Path("list.csv")), kImportMissing);
}

}  // namespace
}  // namespace tonvira
