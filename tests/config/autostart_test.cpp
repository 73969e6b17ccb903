#include "config/autostart.h"

#include <gtest/gtest.h>

#include "config/settings.h"
#include "scratch_machine.h"

namespace tonvira {
namespace {

using Autostart = ScratchMachine;

TEST_F(Autostart, RemovesTheRunValueAndTheStartupShortcut) {
  SimulatedMachine().runValues = {u"Tonvira", u"OtherProgram"};
  SimulatedMachine().startupFolder = Path("Startup");
  Put(Path("Startup/Tonvira.lnk"), "shortcut");
  Put(Path("Startup/Other.lnk"), "shortcut");
  RemoveLegacyAutostart();
  EXPECT_EQ(SimulatedMachine().runValues, (std::set<std::u16string>{u"OtherProgram"}));
  EXPECT_EQ(SimulatedMachine().removedRunValues, (std::vector<std::u16string>{u"Tonvira"}));
  EXPECT_FALSE(Exists(Path("Startup/Tonvira.lnk")));
  EXPECT_TRUE(Exists(Path("Startup/Other.lnk")));
  RemoveLegacyAutostart();  // nothing left: nothing happens
  EXPECT_EQ(SimulatedMachine().removedRunValues.size(), 1u);
}

TEST_F(Autostart, WithoutAStartupFolderNothingIsDeleted) {
  Put(Path("app/Tonvira.lnk"), "shortcut");
  RemoveLegacyAutostart();
  EXPECT_TRUE(Exists(Path("app/Tonvira.lnk")));
}

TEST_F(Autostart, SetStartWithWindowsSavesOnlyALoadedFile) {
  SimulatedMachine().runValues = {u"Tonvira"};
  Settings settings;
  SettingsState state;
  EXPECT_TRUE(SetStartWithWindows(settings, state, false));
  EXPECT_EQ(settings.startup, 0);
  EXPECT_TRUE(SimulatedMachine().runValues.empty());
  EXPECT_FALSE(Exists(Path("app/data/settings.txt")));

  state.SettingsLoaded = true;
  EXPECT_TRUE(SetStartWithWindows(settings, state, true));
  EXPECT_EQ(settings.startup, 1);
  EXPECT_NE(Get(Path("app/data/settings.txt")).find("\nstartup=1\n"), std::string::npos);
  EXPECT_TRUE(SetStartWithWindows(settings, state, false));
  EXPECT_NE(Get(Path("app/data/settings.txt")).find("\nstartup=0\n"), std::string::npos);
}

}  // namespace
}  // namespace tonvira
