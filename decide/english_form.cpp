#include "decide/english_form.h"

#include <algorithm>

#include "compose/compose.h"
#include "compose/syllable.h"
#include "decide/compose_flags.h"
#include "decide/lexicon.h"
#include "decide/word_shape.h"

namespace tonvira {
namespace {

// The literal of the keys, valid until the next call: it is composed into a result that keeps
// its capacity, one per thread as the hook's.
std::u16string_view LiteralOf(const DecisionInput& in, std::u16string_view keys) {
  thread_local ComposeResult composed;
  ComposeInto(composed, keys, in.options.method, in.options.classicPlacement, true,
              ComposeFlagsFor(in, keys, false));
  return composed.literal;
}

bool HasTripleW(std::u16string_view run) {
  int count = 0;
  for (char16_t c : run) {
    count = (c == u'w' || c == u'W') ? count + 1 : 0;
    if (count == 3) return true;
  }
  return false;
}

// Telex "quartz": the z took the tone off "quảt", which could still grow into a syllable;
// a removal the typist did not mean, so the run stays as typed.
bool ZRemovedAToneInPassing(const DecisionInput& in, std::u16string_view run) {
  if (in.options.method != InputMethod::Telex) return false;
  for (size_t i = 1; i < run.size(); ++i) {
    if (run[i] != u'z' && run[i] != u'Z') continue;
    ComposeResult before = Compose(run.substr(0, i), in.options.method, in.options.classicPlacement, true, 0);
    if (before.tone != kToneNone && CouldBeSyllableStart(before.text)) return true;
  }
  return false;
}

bool HasAdjacentRepeat(std::u16string_view run) {
  for (size_t i = 1; i < run.size(); ++i) {
    if (LowerAsciiLetter(run[i]) == LowerAsciiLetter(run[i - 1])) return true;
  }
  return false;
}

std::u16string_view RestoreRun(const DecisionInput& in, std::u16string_view run, bool withZRule) {
  std::u16string_view literal = LiteralOf(in, run);
  if (literal == run) return run;
  if (in.options.method == InputMethod::Telex && HasTripleW(run)) return run;
  bool allCaps = std::none_of(run.begin(), run.end(), IsAsciiLower);
  if (run.size() >= 2 && (allCaps || IsCapitalised(run))) return run;
  int level = EnglishLevel(in.options.englishWords, run);
  if (level >= 1 && level <= 35) return run;
  if (withZRule && ZRemovedAToneInPassing(in, run)) return run;
  // A deliberate undo repeats a key at once to get the letter itself (mixx for mix, buss for
  // bus): taken only when what it leaves is a known English word and the keys as typed are
  // none, or a rarer one. Otherwise the doubled letter is the word's own (vnexpress, messi,
  // sorryyy), and a literal without such a pair only lost a tone key that a letter far along
  // happened to repeat (necromancers): the run stays as typed.
  if (!HasAdjacentRepeat(run)) return run;
  int literalLevel = EnglishLevel(in.options.englishWords, literal);
  if (literalLevel >= 1 && (level == 0 || literalLevel < level)) return literal;
  return run;
}

}  // namespace

std::u16string EnglishForm(const DecisionInput& in, std::u16string_view keys, bool withZRule) {
  std::u16string out;
  EnglishFormInto(out, in, keys, withZRule);
  return out;
}

void EnglishFormInto(std::u16string& out, const DecisionInput& in, std::u16string_view keys, bool withZRule) {
  out.clear();
  bool plain = std::all_of(keys.begin(), keys.end(), [](char16_t c) {
    return IsAsciiLetter(c) || c == u'-' || c == u'.' || c == u'_';
  });
  if (!plain || LiteralOf(in, keys) == keys) {
    out += keys;
    return;
  }
  size_t i = 0;
  while (i < keys.size()) {
    if (!IsAsciiLetter(keys[i])) {
      out.push_back(keys[i++]);
      continue;
    }
    size_t end = i;
    while (end < keys.size() && IsAsciiLetter(keys[end])) ++end;
    out += RestoreRun(in, keys.substr(i, end - i), withZRule);
    i = end;
  }
}

}  // namespace tonvira
