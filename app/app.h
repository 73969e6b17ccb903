// The process-wide objects of the running program: created once at start-up, alive until exit,
// and shared by the main window, the tray, the settings window and the updater.
#pragma once

#include <cstdint>

#include "app/shell.h"
#include "config/abbrev_table.h"
#include "config/settings.h"
#include "decide/lexicon.h"
#include "engine/engine.h"
#include "input/pipeline.h"

namespace tonvira {

struct App {
  App() = default;
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  bool startedAtLogon = false;  // "--autostart" was on the command line
  uint64_t startTick = 0;       // the system's millisecond tick when the process started
  Lexicon lexicon;
  Settings settings;
  AbbrevTable abbrevs;         // the user's, as the settings window edits them
  AbbrevTable abbrevsInUse;    // the copy the typing reads, on the hooks' thread
  AbbrevTable shippedAbbrevs;  // the library as shipped, to tell its keys from the user's
  SettingsState settingsState;
  Engine engine;
  Pipeline pipeline{engine};
  WindowId mainWindow = 0;
  ShellState shell;
};

}  // namespace tonvira
