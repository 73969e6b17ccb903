// Start with Windows. The installation creates the only log-on entry (with --autostart); the
// program itself removes the entries of older versions.
#pragma once

namespace tonvira {

struct Settings;
struct SettingsState;

// Removes the Run value "Tonvira" and the shortcut "Tonvira.lnk" in the Startup folder;
// whatever is missing or refused is left alone.
void RemoveLegacyAutostart();
// The user's choice: stores it, removes the older entries and saves the settings. Always true.
bool SetStartWithWindows(Settings& settings, const SettingsState& state, bool on);

}  // namespace tonvira
