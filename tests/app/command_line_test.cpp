#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvira {
namespace {

StartRequest Parse(std::vector<std::u16string> arguments) {
  return ParseCommandLine(arguments);
}

TEST(CommandLine, LogonStartIsExact) {
  EXPECT_TRUE(Parse({u"--autostart"}).startedAtLogon);
  EXPECT_FALSE(Parse({u"--AUTOSTART"}).startedAtLogon);  // the logon entry writes it exactly
  EXPECT_FALSE(Parse({u"--autostart=1"}).startedAtLogon);
  EXPECT_FALSE(Parse({}).startedAtLogon);
}

TEST(CommandLine, SettingsPages) {
  struct Row {
    std::vector<std::u16string> arguments;
    bool open;
    std::optional<int> page;
    int forRunning;
  } rows[] = {
      {{u"--settings"}, true, std::nullopt, 0},
      {{u"--SETTINGS=2"}, true, 2, 2},
      {{u"--settings=9"}, true, std::nullopt, 9},        // no such page: the window opens as it is
      {{u"--settings=1", u"--settings=3"}, true, 1, 3},  // the first opens here, the last is posted
      {{u"--settingsX"}, true, std::nullopt, 0},
      {{u"--setting"}, false, std::nullopt, 0},
      {{u"--settings= 2"}, true, 2, 2},  // read as the C library reads numbers
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    StartRequest r = ParseCommandLine(row.arguments);
    EXPECT_EQ(r.openSettings, row.open);
    EXPECT_EQ(r.page, row.page);
    EXPECT_EQ(r.pageForRunningInstance, row.forRunning);
  }
}

}  // namespace
}  // namespace tonvira
