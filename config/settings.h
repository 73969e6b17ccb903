// The user's preferences: the in-memory record and settings.txt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/file_system.h"

namespace tonvira {

// Fields are named after the keys of settings.txt.
struct Settings {
  uint8_t enabled = 1;
  int32_t method = 0;    // 1 VNI; anything else types Telex but is kept as it is
  uint8_t old_tone = 0;  // the modern placement (hoà); the engine gets the inverse
  uint8_t context = 1;
  uint8_t startup = 1;
  float en_threshold = 2.0f;
  int32_t hotkey_mode = 1;  // 1 Ctrl+Shift alone, 2 Ctrl+Shift+hotkey_char
  char16_t hotkey_char = u'Z';
  uint8_t abbrev = 1;
  uint8_t show_ads = 1;
  uint8_t cloud = 1;
  uint8_t smart = 1;
  uint8_t bs_edit = 1;
  uint8_t free_marks = 1;
  uint8_t autofix = 1;
  uint8_t caps_vi = 1;
  std::u16string abbrev_lib;
};

struct AbbrevTable;

// What LoadSettings found. Every save consults it, so that no file is overwritten before it
// has been read: a file that is there but could not be read stays untouched for the run.
struct SettingsState {
  bool SettingsLoaded = false;  // settings.txt was read, or there was none: it may be written
  bool FirstRun = false;        // settings.txt did not exist when the program started
  bool AbbrevLoaded = false;    // abbrev.txt was read, or there was none: it may be written
};

// Lines of settings.txt into the record. Fields the lines do not mention keep their values.
void ParseSettingsLines(Settings& settings, const std::vector<std::u16string>& lines);
FileRead ReadSettingsFile(Settings& settings, std::u16string_view path);
// The whole file: every key, always in the same order, each line ended by LF.
std::u16string SettingsText(const Settings& settings);
bool WriteSettingsFile(const Settings& settings, std::u16string_view path);

// Start-up: settings.txt and abbrev.txt from the data folder (the shipped copies for a new
// user), then the abbreviation library merge.
SettingsState LoadSettings(Settings& settings, AbbrevTable& abbrevs);
// The save step after a change of preferences: writes settings.txt unless it could not be
// read at start-up. The exit save goes through here too.
bool SaveSettings(const Settings& settings, const SettingsState& state);

}  // namespace tonvira
