#include "app/apply_settings.h"

#include <cmath>

namespace tonvira {

void ApplySettingsToEngine(Engine& e, const Settings& s, const AbbrevTable* abbrevTable) {
  e.options.method = s.method == 1 ? InputMethod::Vni : InputMethod::Telex;
  e.options.classicPlacement = !s.old_tone;
  e.options.enThreshold = std::isfinite(s.en_threshold) ? s.en_threshold : 2.0f;
  e.options.abbrevOn = s.abbrev;
  e.options.contextOn = s.context;
  e.options.smartOn = s.smart;
  e.options.bsEditOn = s.bs_edit;
  e.options.freeMarksOn = s.free_marks;
  e.options.autofixOn = s.autofix;
  e.options.capsViOn = s.caps_vi;
  e.options.abbrevTable = abbrevTable;
  AbandonWord(e);
}

void ApplySettingsToPipeline(Pipeline& p, const Settings& s) {
  ApplyPipelineOptions(p, s.enabled != 0, s.hotkey_mode);
}

void ToggleFromChord(Pipeline& p, Settings& s) {
  if (ToggleVietnamese(p)) s.enabled = GetVietnameseOn(p);
}

}  // namespace tonvira
