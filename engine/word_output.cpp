#include "engine/word_output.h"

#include "decide/autofix.h"
#include "decide/compose_flags.h"
#include "decide/word_shape.h"
#include "engine/live_verdict.h"

namespace tonvira {

void WordOutputInto(const Engine& e, std::u16string& out) {
  out.clear();
  if (EnglishOnlyField(e) || e.options.blocked) {
    if (e.word.mode != WordMode::Keys) out += e.word.composedPrefix;
    out += e.word.keys;
    return;
  }

  // "vieetj-" shows "việt-": a trailing "-", "." run stays after the composed part.
  std::u16string_view core = WithoutTrailingSuffix(e.word.keys);
  std::u16string_view suffix = std::u16string_view(e.word.keys).substr(core.size());

  if (!e.decision.decidedHead.empty()) out += e.decision.decidedHead;  // "và/" before the rest of "vaf/bao"
  if (e.word.mode != WordMode::Keys) {
    uint32_t flags = (e.options.freeMarksOn && e.options.smartOn) ? e.options.baseFlags : 0;
    if (core.empty()) {
      out += e.word.composedPrefix;
    } else {
      out += ComposeWord(e, core, flags, e.word.composedPrefix).text;
    }
  } else if (e.word.literalWord) {
    out += core;
  } else if (std::optional<CurrencyText> amount; e.options.smartOn && e.options.autofixOn &&
                                                 !MidSentenceCapital(core, e.memory) &&
                                                 (amount = CurrencyFix(core, e.options.method))) {
    out += amount->view();  // 50000dd is shown as 50000đ already while typing
  } else if (e.decision.NotVietnamese()) {
    out += core;
  } else {
    const ComposeResult* composed = ComposeWordUnchanged(e, core);  // the same whatever the transforms
    if (!composed) composed = &ComposeWord(e, core, ComposeFlagsFor(Input(e), core, false));
    out += composed->text;
  }
  if (!suffix.empty()) out += suffix;
}

std::u16string WordOutput(const Engine& e) {
  std::u16string out;
  WordOutputInto(e, out);
  return out;
}

}  // namespace tonvira
