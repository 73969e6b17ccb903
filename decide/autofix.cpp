#include "decide/autofix.h"

#include "decide/english_form.h"

#include <algorithm>

#include "compose/syllable.h"
#include "decide/compose_flags.h"
#include "decide/corrector.h"
#include "decide/english_word_lists.h"
#include "decide/lexicon.h"
#include "decide/word_shape.h"

namespace tonvira {

std::optional<CurrencyText> CurrencyFix(std::u16string_view keys, InputMethod method) {
  // An amount starts with a digit; only "vndd" has none. (Asked at every key of a word.)
  if (keys.empty() || !(IsAsciiDigit(keys[0]) || (keys.size() == 4 && LowerAsciiLetter(keys[0]) == u'v')))
    return std::nullopt;
  size_t numberEnd = 0;
  while (numberEnd < keys.size() &&
         (IsAsciiDigit(keys[numberEnd]) || keys[numberEnd] == u'.' || keys[numberEnd] == u',')) {
    ++numberEnd;
  }
  std::u16string_view number = keys.substr(0, numberEnd);
  std::u16string_view rest = keys.substr(numberEnd);
  if (!number.empty() && (!IsAsciiDigit(number.front()) || !IsAsciiDigit(number.back()))) return std::nullopt;

  std::u16string_view vn;
  if (rest.size() == 4 && LowerAsciiLetter(rest[0]) == u'v' && LowerAsciiLetter(rest[1]) == u'n') {
    vn = rest.substr(0, 2);
    rest.remove_prefix(2);
  } else if (number.empty()) {
    return std::nullopt;
  }
  if (rest.size() != 2 || LowerAsciiLetter(rest[0]) != u'd') return std::nullopt;
  bool ok = method == InputMethod::Vni ? rest[1] == u'9' : rest[1] == rest[0];
  if (!ok) return std::nullopt;

  // Past the composition's limit a word is shown as typed, an amount too.
  if (number.size() + vn.size() + 1 > kMaxComposeUnits) return std::nullopt;
  CurrencyText out(number);
  for (char16_t c : vn) out.push_back(c);
  out.push_back(rest[0] == u'D' ? u'Đ' : u'đ');
  return out;
}

namespace {

bool IsLowerAsciiWord(std::u16string_view keys) {
  return std::all_of(keys.begin(), keys.end(), IsAsciiLower);
}

bool IsKnownSyllable(const Syllables& syllables, std::u16string_view text) {
  return IsWellFormedSyllable(text) && SyllableFrequency(syllables, text) >= 2;
}

// The English form a word decided English would show, without the word-end treatment of a
// z that took a tone off in passing: the corrector asks what the keys mean as English.
std::u16string EnglishFormOfKeys(const DecisionInput& in, std::u16string_view keys) {
  return EnglishForm(in, keys, false);
}

AutofixResult Refused(const char* label) {
  AutofixResult r;
  r.label = label;
  return r;
}

}  // namespace

std::optional<std::u16string> SwapFix(std::u16string_view keys, const Syllables* syllables) {
  if (!syllables || keys.size() < 3 || keys.size() > 8 || !IsLowerAsciiWord(keys)) return std::nullopt;
  if (keys.starts_with(u"ng") && (keys[2] == u'e' || keys[2] == u'i')) {
    std::u16string candidate = u"ngh" + std::u16string(keys.substr(2));  // "ngien" -> "nghien"
    if (IsKnownSyllable(*syllables, candidate)) return candidate;
  }
  // The end first ("trogn"), then the start ("htu").
  for (size_t at : {keys.size() - 2, size_t{0}}) {
    for (std::string_view digraph : kSwappedDigraphs) {
      if (keys[at] != digraph[1] || keys[at + 1] != digraph[0]) continue;
      std::u16string candidate(keys);
      std::swap(candidate[at], candidate[at + 1]);
      if (IsKnownSyllable(*syllables, candidate)) return candidate;
    }
  }
  return std::nullopt;
}

AutofixResult AutofixWord(const DecisionInput& in, std::u16string_view keys, const ComposeResult& composed,
                          AutofixMode mode) {
  CorrectorParams params;
  params.mode =
      mode == AutofixMode::ValidSyllable ? CorrectorMode::ValidSyllable : CorrectorMode::InvalidSyllable;
  params.classic = in.options.classicPlacement;
  params.method = in.options.method;
  params.syllables = in.options.vietSyllables;
  std::optional<CorrectorResult> found = CorrectWord(keys, composed, params);
  if (!found) return {};

  if (IsCapitalised(keys) && !found->keptUnfinished && found->frequency < 3)
    return Refused(label::kAutofixNameRefused);

  int typedLevel = EnglishLevel(in.options.englishWords, keys);
  int formLevel = EnglishLevel(in.options.englishWords, EnglishFormOfKeys(in, keys));
  int level = (formLevel != 0 && (typedLevel == 0 || formLevel < typedLevel)) ? formLevel : typedLevel;
  if (level != 0 && level < 21) return Refused(label::kAutofixCommonEnglish);
  if (level >= 21 && level <= 50) {
    bool vietnameseContext = in.memory.EnglishLean < 0 ||
                             (in.options.contextOn && in.options.fieldClass == ContextClass::Vietnamese);
    bool strongCase = in.options.vietSyllables && !found->keptUnfinished && vietnameseContext &&
                      found->frequency >= kAutofixMinFrequency;
    if (!strongCase) return Refused(label::kAutofixEnglish);
  }

  AutofixResult r;
  r.accepted = true;
  r.text = std::move(found->text);
  r.fixKind = found->fixKind;
  r.fixDetail = found->fixDetail;
  r.cost = found->cost;
  r.frequency = found->frequency;
  r.keptUnfinished = found->keptUnfinished;
  if (found->keptUnfinished) {
    r.label = label::kAutofixKeptUnfinished;
  } else {
    r.label = mode == AutofixMode::ValidSyllable ? label::kAutofixUnusedSyllable : label::kAutofix;
  }
  return r;
}

}  // namespace tonvira
