// Start-up loading of the user's files and the save step after a change.
#include "config/abbrev_library.h"
#include "config/abbrev_table.h"
#include "config/data_folder.h"
#include "config/settings.h"
#include "config/text_file.h"

namespace tonvira {

SettingsState LoadSettings(Settings& settings, AbbrevTable& abbrevs) {
  SettingsState state;
  std::u16string settingsPath = DataFilePath(u"settings.txt");
  state.FirstRun = !FileExists(settingsPath);
  // A file that is there but could not be read (locked, an I/O error) must not be replaced by
  // the defaults at the next save.
  state.SettingsLoaded = ReadSettingsFile(settings, settingsPath) != FileRead::Unreadable;

  ClearAbbrevTable(abbrevs);
  TextLines abbrevFile = ReadTextLines(DataFilePath(u"abbrev.txt"));
  state.AbbrevLoaded = abbrevFile.status != FileRead::Unreadable;
  ParseAbbrevLines(abbrevs, abbrevFile.lines);

  MergeAbbrevLibrary(settings, abbrevs, state);
  return state;
}

bool SaveSettings(const Settings& settings, const SettingsState& state) {
  if (!state.SettingsLoaded) return false;
  return WriteSettingsFile(settings, DataFilePath(u"settings.txt"));
}

}  // namespace tonvira
