#include "config/autostart.h"

#include "config/data_folder.h"
#include "config/file_system.h"
#include "config/run_key.h"
#include "config/settings.h"

namespace tonvira {

void RemoveLegacyAutostart() {
  DeleteUserRunValue(u"Tonvira");
  std::u16string startup = StartupFolder();
  if (!startup.empty()) RemoveFile(JoinPath(startup, u"Tonvira.lnk"));
}

bool SetStartWithWindows(Settings& settings, const SettingsState& state, bool on) {
  settings.startup = on;
  RemoveLegacyAutostart();
  SaveSettings(settings, state);
  return true;
}

}  // namespace tonvira
