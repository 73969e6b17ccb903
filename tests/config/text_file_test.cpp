#include "config/text_file.h"

#include <gtest/gtest.h>

#include "scratch_machine.h"

namespace tonvira {
namespace {

TEST(SplitTextLines, DropsTheMarkAndEveryCrAndSplitsAtLf) {
  struct Row {
    const char* name;
    std::string_view bytes;
    std::vector<std::u16string> lines;
  };
  const Row rows[] = {
      {"empty", "", {}},
      {"one line without LF", "a", {u"a"}},
      {"one line with LF", "a\n", {u"a"}},
      {"empty lines count", "\n\na\n\n", {u"", u"", u"a", u""}},
      {"CR LF", "a\r\nb\r\n", {u"a", u"b"}},
      {"CR anywhere is dropped", "a\rb\r", {u"ab"}},
      {"a lone CR at the end is no line", "a\n\r", {u"a"}},
      {"byte-order mark", "\xEF\xBB\xBFx=1\n", {u"x=1"}},
      {"only the first mark", "\xEF\xBB\xBF\xEF\xBB\xBFx", {u"\uFEFFx"}},
      {"invalid UTF-8", "a\xFF\n\xC3", {u"a\uFFFD", u"\uFFFD"}},
      {"Vietnamese", "Tiếng Việt\n", {u"Tiếng Việt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SplitTextLines(row.bytes), row.lines);
  }
}

using TextFile = ScratchMachine;

TEST_F(TextFile, ReadTellsMissingFromUnreadable) {
  std::u16string path = Path("a.txt");
  EXPECT_EQ(ReadTextLines(path).status, FileRead::Missing);
  EXPECT_EQ(ReadTextLines(Path("no-folder/a.txt")).status, FileRead::Missing);
  Put(path, "x\ny");
  TextLines read = ReadTextLines(path);
  EXPECT_EQ(read.status, FileRead::Ok);
  EXPECT_EQ(read.lines, (std::vector<std::u16string>{u"x", u"y"}));
  SimulatedMachine().faults.unreadable.insert(path);
  read = ReadTextLines(path);
  EXPECT_EQ(read.status, FileRead::Unreadable);
  EXPECT_TRUE(read.lines.empty());
  EXPECT_EQ(ReadTextLines(Path("")).status, FileRead::Unreadable);  // a folder
}

TEST_F(TextFile, WritesUtf8WithoutMarkAndLeavesNoTemporary) {
  std::u16string path = Path("a.txt");
  Put(path, "old and much longer content\n");
  ASSERT_TRUE(WriteTextFile(path, u"Khoá\tBản khai triển\n"));
  EXPECT_EQ(Get(path), "Khoá\tBản khai triển\n");
  EXPECT_FALSE(Exists(path + u".tmp"));
  ASSERT_TRUE(WriteTextFile(path, u""));
  EXPECT_EQ(Get(path), "");
}

// Every failure along the way leaves the old file whole and no temporary behind.
TEST_F(TextFile, FailedWriteKeepsTheOldFile) {
  struct Row {
    const char* name;
    bool SimFaults::*fault;
  };
  const Row rows[] = {
      {"disk full", &SimFaults::failWrites},
      {"short write reported as success", &SimFaults::silentShortWrites},
      {"target locked", &SimFaults::failMoves},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::u16string path = Path("abbrev.txt");
    Put(path, "brb\tbe right back\n");
    SimulatedMachine().faults.*row.fault = true;
    EXPECT_FALSE(WriteTextFile(path, u"brb\tbe right back\nko\tkhông\n"));
    SimulatedMachine().faults = {};
    EXPECT_EQ(Get(path), "brb\tbe right back\n");
    EXPECT_FALSE(Exists(path + u".tmp"));
  }
}

TEST_F(TextFile, WriteIntoAMissingFolderFails) {
  EXPECT_FALSE(WriteTextFile(Path("no-folder/a.txt"), u"x"));
}

}  // namespace
}  // namespace tonvira
