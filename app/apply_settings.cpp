#include "app/apply_settings.h"

#include <cmath>

namespace tonvira {

void ApplySettingsToEngine(Engine& e, const Settings& s, const AbbrevTable* abbrevTable) {
  e.method = s.method == 1 ? InputMethod::Vni : InputMethod::Telex;
  e.classicPlacement = !s.old_tone;
  e.enThreshold = std::isfinite(s.en_threshold) ? s.en_threshold : 2.0f;
  e.abbrevOn = s.abbrev;
  e.contextOn = s.context;
  e.smartOn = s.smart;
  e.bsEditOn = s.bs_edit;
  e.freeMarksOn = s.free_marks;
  e.autofixOn = s.autofix;
  e.capsViOn = s.caps_vi;
  e.abbrevTable = abbrevTable;
  AbandonWord(e);
}

void ApplySettingsToPipeline(Pipeline& p, const Settings& s) {
  ApplyPipelineOptions(p, s.enabled != 0, s.hotkey_mode);
}

void ToggleFromChord(Pipeline& p, Settings& s) {
  if (ToggleVietnamese(p)) s.enabled = GetVietnameseOn(p);
}

}  // namespace tonvira
