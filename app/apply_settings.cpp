#include "app/apply_settings.h"

#include "app/shell.h"

namespace tonvira {

void ApplySettingsToPipeline(Pipeline& p, const Settings& s) {
  ApplyPipelineOptions(p, s.enabled != 0, s.hotkey_mode);
}

void PublishAbbrevs(App& app) {
  AbbrevTable copy = app.abbrevs;
  std::lock_guard lock(app.pipeline.guard);
  std::swap(app.abbrevsInUse, copy);
}  // the old copy is freed here, after the guard is let go

void ApplySettings(App& app) {
  PublishAbbrevs(app);
  {
    std::lock_guard lock(app.pipeline.guard);
    ApplySettingsToEngine(app.engine, app.settings, &app.abbrevsInUse);
  }
  ApplySettingsToPipeline(app.pipeline, app.settings);
}

bool FlipMenuSetting(Settings& s, uint32_t command) {
  if (command == kCommandContext) {
    s.context = !s.context;
  } else if (command == kCommandSmart) {
    s.smart = !s.smart;
  } else {
    return false;
  }
  return true;
}

}  // namespace tonvira
