#include "engine/word_output.h"

#include "decide/autofix.h"
#include "decide/live_verdict.h"
#include "decide/word_shape.h"
#include "engine/compose_flags.h"

namespace tonvira {

std::u16string WordOutput(const Engine& e) {
  if (EnglishOnlyField(e) || e.blocked)
    return (e.mode == WordMode::Keys ? std::u16string() : e.composedPrefix) + e.keys;

  // "vieetj-" shows "việt-": a trailing "-", "." run stays after the composed part.
  std::u16string_view core = WithoutTrailingSuffix(e.keys);
  std::u16string_view suffix = std::u16string_view(e.keys).substr(core.size());

  std::u16string out = e.decision.decidedHead;  // "và/" before the rest of "vaf/bao"
  if (e.mode != WordMode::Keys) {
    uint32_t flags = (e.freeMarksOn && e.smartOn) ? e.baseFlags : 0;
    out += core.empty() ? e.composedPrefix
                        : Compose(core, e.method, e.classicPlacement, true, flags, e.composedPrefix).text;
  } else if (e.literalWord) {
    out += core;
  } else if (std::optional<std::u16string> amount; e.smartOn && e.autofixOn &&
                                                   !(IsCapitalised(core) && !e.memory.SentenceStart) &&
                                                   (amount = CurrencyFix(core, e.method))) {
    out += *amount;  // 50000dd is shown as 50000đ already while typing
  } else if (e.decision.notVietnamese) {
    out += core;
  } else {
    out += Compose(core, e.method, e.classicPlacement, true, ComposeFlagsFor(e, core, false)).text;
  }
  out += suffix;
  return out;
}

}  // namespace tonvira
