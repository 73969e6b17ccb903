#include "config/data_folder.h"

#include <gtest/gtest.h>

#include "scratch_machine.h"

namespace tonvira {
namespace {

TEST(DataFolder, JoinsWithTheMachineSeparator) {
  // The simulated machine joins with '/'; Windows with '\'.
  EXPECT_EQ(JoinPath(u"", u"a.txt"), u"a.txt");
  EXPECT_EQ(JoinPath(u"/x", u"a.txt"), u"/x/a.txt");
  EXPECT_EQ(JoinPath(u"/x/", u"a.txt"), u"/x/a.txt");
  EXPECT_EQ(JoinPath(u"C:\\x\\", u"a.txt"), u"C:\\x\\a.txt");
}

TEST(DataFolder, ProgramFolderIsCutAtTheLastSlash) {
  EXPECT_EQ(FolderOf(u"C:\\Program Files\\Tonvira\\tonvira.exe"), u"C:\\Program Files\\Tonvira");
  EXPECT_EQ(FolderOf(u"C:\\a/b\\c.exe"), u"C:\\a/b");
  EXPECT_EQ(FolderOf(u"/opt/tonvira/tonvira"), u"/opt/tonvira");
  EXPECT_EQ(FolderOf(u"tonvira.exe"), u".");
  EXPECT_EQ(FolderOf(u"/tonvira"), u"");
}

TEST(DataFolder, InstalledUnderEitherProgramFilesFolder) {
  struct Row {
    std::u16string_view program, programFiles, programFilesX86;
    bool installed;
  };
  const Row rows[] = {
      {u"C:\\Program Files\\Tonvira", u"C:\\Program Files", u"C:\\Program Files (x86)", true},
      {u"c:\\PROGRAM FILES (X86)\\Tonvira", u"C:\\Program Files", u"C:\\Program Files (x86)", true},
      {u"C:\\Program Files", u"C:\\Program Files", u"", false},  // must be longer
      {u"D:\\Tools\\Tonvira", u"C:\\Program Files", u"C:\\Program Files (x86)", false},
      {u"C:\\Tonvira", u"", u"", false},  // an empty folder never matches
      {u"C:\\Users\\An\\Program Files\\Tonvira", u"C:\\Program Files", u"", false},
      // Only A-Z are lowered: a Vietnamese capital in the folder name must match exactly.
      {u"C:\\Phần Mềm\\Tonvira", u"C:\\PHẦN MỀM", u"", false},
      {u"C:\\phần mềm\\Tonvira", u"C:\\PHần Mềm", u"", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.program.begin(), row.program.end()));
    EXPECT_EQ(IsInstalledFolder(row.program, row.programFiles, row.programFilesX86), row.installed);
  }
}

using DataFiles = ScratchMachine;

TEST_F(DataFiles, PortableCopyKeepsItsFilesBesideTheExecutable) {
  SimulatedMachine().programFiles = Path("Program Files");
  SimulatedMachine().localAppData = Path("LocalAppData");
  EXPECT_EQ(ProgramFolder(), Path("app"));
  EXPECT_EQ(DataFolder(), Path("app/data"));
  EXPECT_EQ(DataFilePath(u"settings.txt"), Path("app/data/settings.txt"));
  EXPECT_EQ(ShippedFilePath(u"abbrev.txt"), Path("app/data/abbrev.txt"));
}

TEST_F(DataFiles, InstalledCopyKeepsFilesPerUser) {
  Install();
  SimulatedMachine().programFiles = Path("PROGRAM FILES");  // compared with A-Z lowered
  SimulatedMachine().programFilesX86 = Path("Program Files (x86)");
  EXPECT_EQ(DataFolder(), Path("LocalAppData/Tonvira"));
  EXPECT_TRUE(std::filesystem::is_directory(root_ / "LocalAppData" / "Tonvira"));
  EXPECT_EQ(ShippedFilePath(u"abbrev.txt"), Path("Program Files/Tonvira/data/abbrev.txt"));
}

TEST_F(DataFiles, InstalledWithoutLocalAppDataFallsBackToTheShippedFolder) {
  Install();
  SimulatedMachine().localAppData.clear();
  EXPECT_EQ(DataFolder(), Path("Program Files/Tonvira/data"));
}

TEST_F(DataFiles, FolderIsDecidedOnceAndKept) {
  Install();
  std::u16string first = DataFolder();
  SimulatedMachine().localAppData.clear();
  EXPECT_EQ(DataFolder(), first);
}

TEST_F(DataFiles, FreshUserGetsTheShippedCopyAndNothingIsOverwritten) {
  Install();
  Put(Shipped(u"context.txt"), "shipped\n");
  std::u16string path = DataFilePath(u"context.txt");
  EXPECT_EQ(path, Path("LocalAppData/Tonvira/context.txt"));
  EXPECT_EQ(Get(path), "shipped\n");

  Put(path, "the user's own\n");
  Put(Shipped(u"context.txt"), "a newer shipped copy\n");
  EXPECT_EQ(DataFilePath(u"context.txt"), path);
  EXPECT_EQ(Get(path), "the user's own\n");

  // Neither copy exists: the path is still given, and no file appears.
  std::u16string none = DataFilePath(u"banner.txt");
  EXPECT_EQ(none, Path("LocalAppData/Tonvira/banner.txt"));
  EXPECT_FALSE(Exists(none));
}

TEST_F(DataFiles, FailedCopyIsSilent) {
  Install();
  Put(Shipped(u"settings.txt"), "ver=145\n");
  SimulatedMachine().faults.failCopies = true;
  std::u16string path = DataFilePath(u"settings.txt");
  EXPECT_EQ(path, Path("LocalAppData/Tonvira/settings.txt"));
  EXPECT_FALSE(Exists(path));
}

}  // namespace
}  // namespace tonvira
