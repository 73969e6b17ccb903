#include "config/abbrev_library.h"

#include <gtest/gtest.h>

#include "config/abbrev_table.h"
#include "config/settings.h"
#include "scratch_machine.h"

namespace tonvira {
namespace {

TEST(AbbrevLibrary, VersionsCompareNumerically) {
  struct Row {
    std::u16string_view a, b;
    bool lower;
  };
  const Row rows[] = {
      {u"1.4.9", u"1.4.10", true},
      {u"1.4.10", u"1.4.9", false},
      {u"1.4.12", u"1.4.12", false},
      {u"1.4", u"1.4.0", false},
      {u"1.4.0", u"1.4", false},
      {u"1.4", u"1.4.1", true},
      {u"1.10", u"1.9.9", false},
      {u"", u"0.0.1", true},
      {u"", u"0", false},
      {u"1.04.1", u"1.4.1", false},
      {u"1.4b.2", u"1.4.3", true},
      {u"v2", u"1.9", false},
      {u"1..2", u"1.0.3", true},
      {u"99999999999999999999.1", u"99999999999999999999.2", true},
      {u"100000000000000000000", u"99999999999999999999", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.a.begin(), row.a.end()) + " < " + std::string(row.b.begin(), row.b.end()));
    EXPECT_EQ(VersionLower(row.a, row.b), row.lower);
  }
  EXPECT_EQ(AbbrevLibraryVersion(), u"1.4.12");
}

// An installed copy: the library ships in Program Files, the user's files are per user.
class LibraryMerge : public ScratchMachine {
 protected:
  void SetUp() override {
    ScratchMachine::SetUp();
    Install();
    Put(Shipped(u"abbrev.txt"),
        "# library\n"
        "vn\tViệt Nam\t1.0\n"
        "ko\tkhông\t1.4.9\n"
        "dc\tđược\t1.4.10\n"
        "hn\tHà Nội\t1.4.12\n"
        "nosince\twithout a version\n");
  }
  std::u16string UserAbbrevs() { return Path("LocalAppData/Tonvira/abbrev.txt"); }
  std::u16string UserSettings() { return Path("LocalAppData/Tonvira/settings.txt"); }

  struct Loaded {
    Settings settings;
    AbbrevTable abbrevs;
    SettingsState state;
  };
  static Loaded Load() {
    Loaded out;
    out.state = LoadSettings(out.settings, out.abbrevs);
    return out;
  }
  static std::u16string Expansion(const AbbrevTable& table, std::u16string_view key) {
    const std::u16string* found = LookupAbbrev(table, key);
    return found ? *found : u"<none>";
  }
};

TEST_F(LibraryMerge, FirstMergeAddsEveryVersionedEntryTheUserLacks) {
  Put(UserAbbrevs(), "ko\tkhông có\n");  // the user's own meaning stays
  Loaded loaded = Load();
  EXPECT_EQ(Expansion(loaded.abbrevs, u"ko"), u"không có");
  EXPECT_EQ(Expansion(loaded.abbrevs, u"vn"), u"Việt Nam");
  EXPECT_EQ(Expansion(loaded.abbrevs, u"hn"), u"Hà Nội");
  EXPECT_EQ(Expansion(loaded.abbrevs, u"nosince"), u"<none>");
  EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.12");
  EXPECT_EQ(Get(UserAbbrevs()),
            "# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\n"
            "dc\tđược\nhn\tHà Nội\nko\tkhông có\nvn\tViệt Nam\n");
  EXPECT_NE(Get(UserSettings()).find("\nabbrev_lib=1.4.12\n"), std::string::npos);
}

TEST_F(LibraryMerge, FreshUserStartsFromTheLibraryCopy) {
  Loaded loaded = Load();
  EXPECT_TRUE(loaded.state.FirstRun);
  EXPECT_EQ(loaded.abbrevs.expansions.size(), 5u);
  EXPECT_EQ(Expansion(loaded.abbrevs, u"nosince"), u"without a version");  // copied, not merged
  EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.12");
  EXPECT_TRUE(Exists(UserSettings()));
}

TEST_F(LibraryMerge, OnlyEntriesNewerThanTheLastMergedLibrary) {
  Put(UserSettings(), "abbrev_lib=1.4.9\n");
  Put(UserAbbrevs(), "x\ty\n");
  Loaded loaded = Load();
  EXPECT_EQ(Expansion(loaded.abbrevs, u"dc"), u"được");  // 1.4.10 is newer than 1.4.9
  EXPECT_EQ(Expansion(loaded.abbrevs, u"hn"), u"Hà Nội");
  EXPECT_EQ(Expansion(loaded.abbrevs, u"ko"), u"<none>");
  EXPECT_EQ(Expansion(loaded.abbrevs, u"vn"), u"<none>");
  EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.12");
}

TEST_F(LibraryMerge, RunsOncePerLibraryVersion) {
  Put(UserSettings(), "abbrev_lib=1.4.12\n");
  Put(UserAbbrevs(), "x\ty\n");  // the user deleted every library entry
  Loaded loaded = Load();
  EXPECT_EQ(loaded.abbrevs.expansions.size(), 1u);
  EXPECT_EQ(Get(UserAbbrevs()), "x\ty\n");
  EXPECT_EQ(Get(UserSettings()), "abbrev_lib=1.4.12\n");
}

TEST_F(LibraryMerge, NothingToAddStillRecordsTheVersion) {
  Put(UserSettings(), "abbrev_lib=1.4.12.0.1\n");  // a later library: nothing is newer
  Put(UserAbbrevs(), "x\ty\n");
  Loaded loaded = Load();
  EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.12");
  EXPECT_EQ(Get(UserAbbrevs()), "x\ty\n");  // not rewritten
  EXPECT_NE(Get(UserSettings()).find("\nabbrev_lib=1.4.12\n"), std::string::npos);
}

TEST_F(LibraryMerge, MissingLibraryIsTriedAgainNextTime) {
  std::filesystem::remove(Utf16ToUtf8(Shipped(u"abbrev.txt")));
  Put(UserSettings(), "abbrev_lib=1.4.9\n");
  Loaded loaded = Load();
  EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.9");
  EXPECT_EQ(Get(UserSettings()), "abbrev_lib=1.4.9\n");
}

TEST_F(LibraryMerge, FailedWriteKeepsTheOldVersionSoTheMergeRunsAgain) {
  Put(UserSettings(), "abbrev_lib=1.4.9\n");
  Put(UserAbbrevs(), "x\ty\n");
  SimulatedMachine().faults.failMoves = true;
  {
    Loaded loaded = Load();
    EXPECT_EQ(Expansion(loaded.abbrevs, u"dc"), u"được");  // usable for this run
    EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.9");
  }
  EXPECT_EQ(Get(UserAbbrevs()), "x\ty\n");
  EXPECT_EQ(Get(UserSettings()), "abbrev_lib=1.4.9\n");

  SimulatedMachine().faults = {};
  Loaded loaded = Load();
  EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.12");
  EXPECT_NE(Get(UserAbbrevs()).find("dc\tđược\n"), std::string::npos);
}

TEST_F(LibraryMerge, UnreadableUserFileIsNotReplaced) {
  Put(UserSettings(), "abbrev_lib=1.4.9\n");
  Put(UserAbbrevs(), "years\tof work\n");
  SimulatedMachine().faults.unreadable.insert(UserAbbrevs());
  Loaded loaded = Load();
  EXPECT_FALSE(loaded.state.AbbrevLoaded);
  EXPECT_TRUE(loaded.state.SettingsLoaded);
  EXPECT_EQ(loaded.settings.abbrev_lib, u"1.4.9");
  SimulatedMachine().faults = {};
  EXPECT_EQ(Get(UserAbbrevs()), "years\tof work\n");
  EXPECT_EQ(Get(UserSettings()), "abbrev_lib=1.4.9\n");
  EXPECT_FALSE(SaveAbbrevs(loaded.abbrevs, loaded.state));
}

}  // namespace
}  // namespace tonvira
