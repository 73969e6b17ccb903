#include "decide/decision_input.h"

#include <cmath>

namespace tonvira {

EngineOptions::EngineOptions() {
  CopySettings(*this, Settings{});
}

void CopySettings(EngineOptions& o, const Settings& s) {
  o.method = ValueOf(s, SettingNamed(u"method")) == 1 ? InputMethod::Vni : InputMethod::Telex;
  o.classicPlacement = !s.old_tone;
  o.abbrevOn = s.abbrev;
  o.contextOn = s.context;
  o.smartOn = s.smart;
  o.freeMarksOn = s.free_marks;
  o.capsViOn = s.caps_vi;
  o.autofixOn = s.autofix;
  o.bsEditOn = s.bs_edit;
  // A hand-edited "nan" would make every comparison with the score false.
  o.enThreshold = std::isfinite(s.en_threshold) ? s.en_threshold
                                                : static_cast<float>(SettingNamed(u"en_threshold").byDefault);
}

}  // namespace tonvira
