// The user's settings mapped onto the engine's and the pipeline's options.
#pragma once

#include "app/app.h"
#include "config/abbrev_table.h"
#include "config/settings.h"
#include "engine/engine.h"
#include "input/pipeline.h"

namespace tonvira {

// Vietnamese on or off and the hotkey mode; the main window is told.
void ApplySettingsToPipeline(Pipeline& pipeline, const Settings& settings);

// Every change of preferences: into the engine and the hook (which tells the main window). The
// caller has them saved (off this thread, within a second).
void ApplySettings(App& app);

// The hooks type on a thread of their own while the settings window edits app.abbrevs: they
// read a copy, made outside the pipeline's guard and swapped in under it.
void PublishAbbrevs(App& app);

// The tray menu's setting items: 1005 flips context, 1006 smart. False for any other command.
bool FlipMenuSetting(Settings& settings, uint32_t command);

}  // namespace tonvira
