#include "engine/live_verdict.h"

#include "compose/syllable.h"
#include "decide/caps_vietnamese.h"
#include "decide/compose_flags.h"
#include "decide/decision_labels.h"
#include "decide/word_shape.h"

namespace tonvira {

std::u16string_view WithoutTrailingSuffix(std::u16string_view keys) {
  while (!keys.empty() && IsTrailingSuffixChar(keys.back())) keys.remove_suffix(1);
  return keys;
}

bool ExtendsLongWordAsTyped(const Engine& e) {
  // The keys before this one were checked in full and found no syllable and no shape but
  // perhaps all capitals (the verdict is worked out again at every key that does not end in
  // a "-", "." run). With a lower-case letter after them the word has no shape at all, still
  // composes as typed and is still no syllable: the verdict below would come out the same.
  const std::u16string& keys = e.word.keys;
  const WordDecisionState& d = e.decision;
  return keys.size() > kMaxComposeUnits + 1 && IsAsciiLower(keys.back()) &&
         !IsTrailingSuffixChar(keys[keys.size() - 2]) && e.word.mode == WordMode::Keys && d.NotVietnamese() &&
         d.verdict == LiveVerdict::CannotBeSyllable && e.options.smartOn && !EnglishOnlyField(e) &&
         !e.options.blocked;
}

void UpdateLiveVerdict(Engine& e) {
  WordDecisionState& d = e.decision;
  if (InManualEdit(e) || ExtendsLongWordAsTyped(e)) return;
  if (EnglishOnlyField(e) || e.options.blocked) {
    d.verdict = LiveVerdict::EnglishField;
    return;
  }
  if (d.NotVietnamese() && d.verdict != LiveVerdict::CannotBeSyllable && d.verdict != LiveVerdict::AllCaps)
    return;
  if (!e.options.smartOn) return;

  const std::u16string& keys = e.word.keys;
  // "việt-": a trailing "-" or "." leaves the word as it was (the composed part stays).
  if (WithoutTrailingSuffix(keys).size() != keys.size()) return;

  const char* shape = WordShape(keys, e.options.method);
  bool allCaps = IsLabel(shape, label::kAllCaps);
  if (shape && (!allCaps || !e.options.vietSyllables)) {
    d.verdict = allCaps ? LiveVerdict::AllCaps : LiveVerdict::Shape;
    return;
  }
  // Without the out-of-order transforms a word that cannot be a syllable stays one.
  const ComposeResult* kept = nullptr;
  if (d.verdict == LiveVerdict::CannotBeSyllable) {
    uint32_t flags = ComposeFlagsFor(Input(e), keys, /*strict=*/true);
    if (!(flags & e.options.extraFlags)) return;
    kept = &ComposeWord(e, keys, flags);
  }
  // Whether the keys may still become an English word decides the transforms, and so
  // matters only when one of them changed the word.
  if (!kept) kept = ComposeWordUnchanged(e, keys);
  if (!kept) kept = &ComposeWord(e, keys, ComposeFlagsFor(Input(e), keys, /*strict=*/true));
  const ComposeResult& composed = *kept;
  std::u16string_view shown = composed.text;
  std::u16string_view afterPending;
  if (composed.pendingTonePos >= 0) {  // the waiting tone key is not shown
    afterPending = shown.substr(static_cast<size_t>(composed.pendingTonePos) + 1);
    shown = shown.substr(0, static_cast<size_t>(composed.pendingTonePos));
  }
  if (!CouldBeSyllableStart(shown, afterPending)) {
    d.verdict = LiveVerdict::CannotBeSyllable;
  } else if (allCaps) {
    if (CapsVietnamese(Input(e), keys, composed, /*atWordEnd=*/false)) {
      d.verdict = LiveVerdict::None;
    } else {
      d.verdict = LiveVerdict::AllCaps;
    }
  } else {
    d.verdict = LiveVerdict::None;
  }
}

}  // namespace tonvira
