#include "engine/word_end.h"

#include <algorithm>
#include <optional>

#include "compose/compose.h"
#include "compose/syllable.h"
#include "config/abbrev_table.h"
#include "decide/abbrev_expand.h"
#include "decide/autofix.h"
#include "decide/builtin_words.h"
#include "decide/caps_vietnamese.h"
#include "decide/compose_flags.h"
#include "decide/decision_labels.h"
#include "decide/english_form.h"
#include "decide/lexicon.h"
#include "decide/scoring.h"
#include "decide/word_shape.h"
#include "engine/live_verdict.h"
#include "engine/word_output.h"

namespace tonvira {
namespace {

// The lean from which text counts as clearly English for the shipped abbreviation keys.
constexpr float kClearlyEnglishLean = 3.0f;

struct Decision {
  WordAction action = WordAction::Unchanged;
  ReasonCode code = ReasonCode::Unchanged;
  const char* label = "";
  float score = 0;
  std::optional<std::u16string> correction;
  uint32_t fixKind = 0;
  uint32_t fixDetail = 0;
};

Decision Verdict(WordAction action, ReasonCode code, const char* label, float score = 0) {
  Decision d;
  d.action = action;
  d.code = code;
  d.label = label;
  d.score = score;
  return d;
}

// A correction replaces the Vietnamese form.
Decision Corrected(ReasonCode code, const char* label, std::u16string text, uint32_t kind,
                   uint32_t detail = 0) {
  Decision d = Verdict(WordAction::Vietnamese, code, label);
  d.correction = std::move(text);
  d.fixKind = kind;
  d.fixDetail = detail;
  return d;
}

// Everything a word's checks read, worked out once.
struct WordFacts {
  explicit WordFacts(const ComposeResult& vietnamese) : composed(vietnamese) {}
  const ComposeResult& composed;  // the Vietnamese form
  std::u16string_view keys;       // key text without its trailing suffix (the word's own keys)
  std::u16string_view suffix;
  char16_t separator = 0;
  bool keepShown = false;
  bool autofixAllowed = false;
  bool passThrough = false;
  bool afterSplit = false;  // the rest of a word split at an inner "/" or "-" run
};

WordEndSnapshot TakeSnapshot(const Engine& e) {
  return {e.memory, e.decision.backspaceTouched, static_cast<uint64_t>(e.decision.history.size())};
}

bool IsApostrophe(char16_t c) {
  return c == u'\'' || c == u'\u2019';
}

// The out-of-order transforms are trusted only where they give a real, known syllable.
bool TrustExtraTransforms(const Engine& e, const std::u16string& text) {
  if (!IsWellFormedSyllable(text)) return false;
  if (!e.options.vietSyllables) return true;
  return SyllableFrequency(*e.options.vietSyllables, text) >= 2 &&
         !IsDoubtfulSyllable(*e.options.vietSyllables, text);
}

// The texts a word end works with. They keep their capacity from word to word, so a word
// end allocates only for a word longer than any before it; one set per thread, as the
// hook's, and never held across a word end.
struct WordEndScratch {
  ComposeResult composed;
  std::u16string output;
  std::u16string keys;        // the keys of the word being committed, for a backspace to reopen it
  std::u16string dottedKeys;  // "tooi.docx" while its parts are decided
};

WordEndScratch& Scratch() {
  thread_local WordEndScratch scratch;
  return scratch;
}

// The Vietnamese form, composed into the scratch's `composed`.
const ComposeResult& ComposeForDecision(const Engine& e, std::u16string_view keys, char16_t separator) {
  // Copied out of the word's kept compositions: the decision may compose other texts.
  WordEndScratch& scratch = Scratch();
  if (const ComposeResult* unchanged = ComposeWordUnchanged(e, keys)) {  // whatever the transforms
    scratch.composed = *unchanged;
    return scratch.composed;
  }
  uint32_t flags = ComposeFlagsFor(Input(e), keys, false);
  if (IsApostrophe(separator)) flags &= ~e.options.extraFlags;  // don't, it's: no reaching back
  scratch.composed = ComposeWord(e, keys, flags);
  if (flags & e.options.extraFlags) {
    const ComposeResult& conservative = ComposeWord(e, keys, flags & ~e.options.extraFlags);
    if (conservative.text != scratch.composed.text && !TrustExtraTransforms(e, scratch.composed.text))
      scratch.composed = conservative;
  }
  return scratch.composed;
}

// "â", "đ", "đc", "đt": a lone letter or a đ shorthand.
bool IsLoneLetterOrDShorthand(std::u16string_view viet) {
  if (viet.size() > 3) return false;
  std::u16string lower(viet);
  for (char16_t& c : lower) c = ToLowerVi(c);
  if (lower == u"â" || lower == u"đ") return true;
  if (lower.size() < 2 || lower.size() > 3 || lower[0] != u'đ') return false;
  return std::none_of(lower.begin() + 1, lower.end(), IsVietVowel);  // no vowel, toned or not
}

// The word-end checks, each a question about the word: a decision when it settles the word,
// nothing when the next check is to look.
using WordCheck = std::optional<Decision> (*)(const Engine& e, const WordFacts& w);

// A terminal (class English) or a password box: the keys as typed.
std::optional<Decision> FieldDecides(const Engine& e, const WordFacts& w) {
  if (!EnglishOnlyField(e) && !w.passThrough) return std::nullopt;
  return Verdict(WordAction::English, ReasonCode::Context, label::kEnglishContext);
}

// "bos" held as shown after a backspace: it stays as the user left it.
std::optional<Decision> KeptAsShown(const Engine&, const WordFacts& w) {
  if (!w.keepShown) return std::nullopt;
  return Verdict(WordAction::Unchanged, ReasonCode::Unchanged, label::kKeepShown);
}

// Smart mode off: "vieetj" is việt, whatever English word it might be.
std::optional<Decision> SmartModeOff(const Engine& e, const WordFacts& w) {
  if (e.options.smartOn) return std::nullopt;
  return Verdict(w.composed.text != w.keys ? WordAction::Vietnamese : WordAction::Unchanged,
                 ReasonCode::Context, label::kSmartOff);
}

// "50000dd": 50000đ.
std::optional<Decision> CurrencyAmount(const Engine& e, const WordFacts& w) {
  if (!e.options.autofixOn || MidSentenceCapital(w.keys, e.memory)) return std::nullopt;
  std::optional<CurrencyText> fixed = CurrencyFix(w.keys, e.options.method);
  if (!fixed) return std::nullopt;
  return Corrected(ReasonCode::Shape, label::kCurrencyFix, std::u16string(fixed->view()), 12);
}

// "x86", "e-mail", "iPhone", "HTML": the word's shape says it is no Vietnamese word.
std::optional<Decision> ShapeOfWord(const Engine& e, const WordFacts& w) {
  if (CapsVietnamese(Input(e), w.keys, w.composed, /*atWordEnd=*/true)) return std::nullopt;
  const char* shape = WordShape(w.keys, e.options.method);
  if (!shape) return std::nullopt;
  return Verdict(WordAction::English, ReasonCode::Shape, shape);
}

// "don" before an apostrophe: don't.
std::optional<Decision> Contraction(const Engine&, const WordFacts& w) {
  if (!IsApostrophe(w.separator) || !IsEnglishContraction(w.keys)) return std::nullopt;
  return Verdict(WordAction::English, ReasonCode::Shape, label::kContraction);
}

// "xem": the keys are the word; "htu", no English word, is thu with its letters swapped back.
std::optional<Decision> KeysAreTheWord(const Engine& e, const WordFacts& w) {
  if (w.composed.text != w.keys) return std::nullopt;
  if (w.autofixAllowed && e.options.vietSyllables && EnglishLevel(e.options.englishWords, w.keys) == 0) {
    if (auto swapped = SwapFix(w.keys, e.options.vietSyllables)) {
      return Corrected(ReasonCode::Vietnamese, label::kSwapFix, *swapped, 11);
    }
  }
  return Verdict(WordAction::Unchanged, ReasonCode::Unchanged, label::kUnchanged);
}

// "â", "đc": a lone letter or a đ shorthand, unless English is typed around it.
std::optional<Decision> LoneLetter(const Engine& e, const WordFacts& w) {
  if (!IsLoneLetterOrDShorthand(w.composed.text)) return std::nullopt;
  if (EnglishLevel(e.options.englishWords, w.keys) != 0 ||
      e.memory.EnglishLean >= e.options.weights[weight::kRareEnglishLean])
    return Verdict(WordAction::English, ReasonCode::NotSyllable, label::kNotSyllable);
  return Verdict(WordAction::Unchanged, ReasonCode::Unchanged, label::kLoneLetter);
}

// "ban", "max": a syllable, autofixed when Vietnamese hardly uses it, a name when capitalised
// and unused (Boris), otherwise weighed against the English word its keys spell.
std::optional<Decision> ValidSyllable(const Engine& e, const WordFacts& w) {
  const std::u16string& viet = w.composed.text;
  if (!IsWellFormedSyllable(viet)) return std::nullopt;
  int frequency = e.options.vietSyllables ? SyllableFrequency(*e.options.vietSyllables, viet) : 0;
  if (w.autofixAllowed && frequency < 2) {
    AutofixResult fix = AutofixWord(Input(e), w.keys, w.composed, AutofixMode::ValidSyllable);
    if (fix.accepted)
      return Corrected(ReasonCode::Vietnamese, fix.label, fix.text, fix.fixKind, fix.fixDetail);
  }
  if (e.options.vietSyllables && IsCapitalised(w.keys) && !HasStrongVietKeys(w.keys, e.options.method) &&
      !HasDoubledVowel(w.keys) && (frequency == 0 || IsForeignName(w.keys))) {
    return Verdict(WordAction::English, ReasonCode::NotSyllable, label::kProperName);
  }
  ScoreResult scored = ScoreWord(Input(e), w.keys, w.composed);
  return Verdict(scored.action, scored.code, scored.label, scored.score);
}

// "bsla", "tiengs": no syllable; autofix may find the one meant, otherwise the keys stay.
std::optional<Decision> NotASyllable(const Engine& e, const WordFacts& w) {
  const char* declined = nullptr;
  if (w.autofixAllowed) {
    AutofixResult fix = AutofixWord(Input(e), w.keys, w.composed, AutofixMode::InvalidSyllable);
    if (fix.accepted)
      return Corrected(ReasonCode::Vietnamese, fix.label, fix.text, fix.fixKind, fix.fixDetail);
    declined = fix.label;
  }
  return Verdict(WordAction::English, ReasonCode::NotSyllable, declined ? declined : label::kNotSyllable);
}

// The order of the decisions at a word end: the first check that settles the word wins.
constexpr WordCheck kWordEndChecks[] = {
    FieldDecides, KeptAsShown,    SmartModeOff, CurrencyAmount, ShapeOfWord,
    Contraction,  KeysAreTheWord, LoneLetter,   ValidSyllable,  NotASyllable,
};

Decision RunChecks(const Engine& e, const WordFacts& w) {
  for (WordCheck check : kWordEndChecks) {
    if (std::optional<Decision> d = check(e, w)) return std::move(*d);
  }
  return Verdict(WordAction::Unchanged, ReasonCode::Unchanged,
                 label::kUnchanged);  // NotASyllable always decides
}

// Runs of capitals: whether the run so far was Vietnamese, and whether it began with a word
// that is also English (VIEETJ NAM vs. a heading in English).
void UpdateCapsRun(Engine& e, const WordFacts& w, WordAction action) {
  std::u16string_view k = w.keys;
  bool capsShape =
      k.size() >= 2 &&
      std::all_of(k.begin(), k.end(), [](char16_t c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }) &&
      (e.options.method == InputMethod::Vni || std::none_of(k.begin(), k.end(), IsAsciiDigit)) &&
      std::none_of(k.begin(), k.end(), IsAsciiLower) && std::any_of(k.begin(), k.end(), IsAsciiUpper);
  if (!capsShape) {
    if (std::any_of(k.begin(), k.end(), IsAsciiLetter))
      e.memory.CapsRunVietnamese = e.memory.CapsRunEnglishWord = 0;
    return;
  }
  if (w.composed.text == k) return;
  if (k.size() <= 5 && IsRomanNineteen(k)) return;  // XIX: a number, not a word
  bool runStartsHere = !e.memory.CapsRunVietnamese;
  bool vietnamese = action == WordAction::Vietnamese;
  e.memory.CapsRunVietnamese = vietnamese;
  if (!vietnamese) {
    e.memory.CapsRunEnglishWord = 0;
  } else if (runStartsHere) {
    e.memory.CapsRunEnglishWord = EnglishLevel(e.options.englishWords, k) != 0;
  }
}

// "1.", "a)", "IV.", "TP." at the start of a line number a list; they say nothing of language.
bool IsListMarker(const WordFacts& w) {
  char16_t mark = w.suffix.empty() ? w.separator : w.suffix.back();
  if (mark != u'.' && mark != u')') return false;
  std::u16string_view k = w.keys;
  if (k.empty() || k.size() > 8) return false;
  bool allDigits = std::all_of(k.begin(), k.end(), IsAsciiDigit);
  if (allDigits && k.size() < 4) return true;
  bool roman =
      std::all_of(k.begin(), k.end(), [](char16_t c) { return c == u'I' || c == u'V' || c == u'X'; });
  if (roman && k.size() < 5) return true;
  if (k.size() == 1 && IsAsciiLetter(k[0])) return true;
  if (k == u"TP" || k == u"TX" || k == u"TT") return true;
  // 2.1, 3.2.4: numbered sub-items (digits alone are bounded by the rule above).
  return IsAsciiDigit(k[0]) && k.find(u'.') != std::u16string::npos &&
         std::all_of(k.begin(), k.end(), [](char16_t c) { return IsAsciiDigit(c) || c == u'.'; });
}

void Record(Engine& e, const WordFacts& w, std::u16string_view output, const Decision& d, const char* label) {
  if (!e.decision.recording) return;
  std::u16string keys(w.keys);
  keys += w.suffix;
  e.decision.history.push_back({std::move(keys), w.composed.text, std::u16string(output), d.action, label,
                                d.score, d.fixKind, d.fixDetail});
}

// Abbreviations are tried on lower-case or capitalised words only: ALL CAPS never expands.
// A key from the shipped library typed where the text is clearly English ("I need the cb for
// this"), as the user's own entry it is not: at least two English words in a row, or one
// English function word, bring the lean this far; one everyday English word (ok, a name)
// at the start of a Vietnamese message does not.
bool ShippedKeyInEnglish(const Engine& e, std::u16string_view keys) {
  if (!e.options.shippedAbbrevs || e.memory.EnglishLean < kClearlyEnglishLean) return false;
  const std::u16string* shipped = LookupAbbrev(*e.options.shippedAbbrevs, keys);
  const std::u16string* mine = LookupAbbrev(*e.options.abbrevTable, keys);
  return shipped && mine && *shipped == *mine;
}

bool TryAbbreviation(Engine& e, const WordFacts& w, bool reDeciding) {
  if (!e.options.abbrevOn || !e.options.abbrevTable || w.passThrough || reDeciding || w.keepShown)
    return false;
  // A command line or a code editor gets the keys as typed; so does a path, a URL or a file
  // name ("src/ng/app", "api/tk/list"): any part of a word split at an inner run or a dot.
  if (EnglishOnlyField(e) || e.decision.decidingPart || w.afterSplit) return false;
  bool noCapital = std::none_of(w.keys.begin(), w.keys.end(), IsAsciiUpper);
  if (!noCapital && !IsCapitalised(w.keys)) return false;
  if (ShippedKeyInEnglish(e, w.keys)) return false;
  std::optional<std::u16string> expansion = ExpandAbbrev(Input(e), w.keys, e.options.classicPlacement);
  if (!expansion) return false;
  e.committed.committedText += *expansion;
  e.committed.committedText += w.suffix;
  if (w.separator) e.committed.committedText.push_back(w.separator);
  e.memory.LastLanguage = 1;
  UpdateLean(e.memory, e.options.weights, e.options.weights[weight::kVietnameseLean], w.suffix, w.separator);
  e.memory.LineStart = e.memory.CapsRunVietnamese = e.memory.CapsRunEnglishWord = 0;
  Decision d = Verdict(WordAction::Vietnamese, ReasonCode::Vietnamese, label::kAbbreviation);
  Record(e, w, *expansion, d, label::kAbbreviation);
  return true;
}

// A word rebuilt by backspace editing is committed as the user left it.
void CommitManualEdit(Engine& e, char16_t separator) {
  std::u16string text = WordOutput(e);
  e.committed.committedText += text;
  if (separator) e.committed.committedText.push_back(separator);
  e.memory.LineStart = 0;
  bool vietnamese = HasNonAscii(text);
  WordAction action = vietnamese ? WordAction::Vietnamese : WordAction::Unchanged;
  if (vietnamese) e.memory.LastLanguage = 1;
  ReasonCode code = vietnamese ? ReasonCode::Vietnamese : ReasonCode::Unchanged;
  // "tiến." edited by hand still ends the sentence: its trailing run counts as for any word.
  std::u16string_view core = WithoutTrailingSuffix(text);
  UpdateLean(e.memory, e.options.weights, LeanDelta(Input(e), core, action, code),
             std::u16string_view(text).substr(core.size()), separator);
  if (e.decision.recording) {
    e.decision.history.push_back(
        {e.word.composedPrefix + e.word.keys, text, text, action, label::kManualEdit, 0, 0, 0});
  }
}

// A reopened word the user went on typing: what is shown stays (the edit was deliberate);
// the decision runs on the whole key text for the language memory.
void CommitEditedReopenedWord(Engine& e, char16_t separator) {
  std::u16string shown = WordOutput(e);
  std::u16string keys =
      e.committed.reopen.composedForm ? e.committed.lastWordKeys + e.word.keys : e.word.keys;
  e.word.keys = keys;
  e.word.composedPrefix.clear();
  e.word.mode = WordMode::Keys;
  e.decision.reDeciding = true;
  size_t before = e.committed.committedText.size();
  DecideWord(e, separator);
  e.decision.reDeciding = false;
  e.committed.committedText.resize(before);
  e.committed.committedText += shown;
  if (separator) e.committed.committedText.push_back(separator);
}

// "roofi.Em": a full stop straight before a capitalised word ends a sentence inside the word
// (Console.WriteLine is no such case: its first part stays English).
bool StartsSentence(std::u16string_view right) {
  return IsAsciiUpper(right[0]) && std::any_of(right.begin() + 1, right.end(), IsAsciiLower);
}

// "tooi.docx", "Readme.TXT", "roofi.Em": the part before the full stop is decided as a word
// of its own and kept when it became Vietnamese, with the rest as typed after a file name or
// decided as the first word of a sentence; otherwise the whole word is decided as usual.
bool TryDottedWord(Engine& e, char16_t separator) {
  if (!e.options.smartOn || EnglishOnlyField(e) || e.options.blocked) return false;
  std::u16string_view typed = WithoutTrailingSuffix(e.word.keys);
  size_t typedDot = typed.find(u'.');
  if (typedDot == std::u16string_view::npos || typedDot == 0 || typedDot + 1 >= typed.size()) return false;
  // The parts are views of this copy: deciding a part takes e.word.keys over.
  std::u16string& allKeys = Scratch().dottedKeys;
  allKeys = e.word.keys;
  std::u16string_view keys = WithoutTrailingSuffix(allKeys);
  std::u16string_view suffix = std::u16string_view(allKeys).substr(keys.size());
  size_t dot = keys.find(u'.');
  if (dot == std::u16string_view::npos || dot == 0 || dot + 1 >= keys.size()) return false;
  std::u16string_view left = keys.substr(0, dot);
  std::u16string_view right = keys.substr(dot + 1);
  bool plainRight = std::all_of(right.begin(), right.end(), [](char16_t c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'-' || c == u'.' || c == u'_';
  });
  if (!plainRight) return false;
  bool capitalsAfterName = right.size() <= 3 && std::all_of(right.begin(), right.end(), IsAsciiUpper) &&
                           left.size() >= 2 && IsAsciiUpper(left[0]) &&
                           std::all_of(left.begin() + 1, left.end(), IsAsciiLower);
  bool fileName = IsFileExtension(right) || capitalsAfterName;
  if (!fileName && !StartsSentence(right)) return false;

  WordEndSnapshot saved = TakeSnapshot(e);
  // The part before an inner split ("bản-" of "banr-ddoof.pdf") goes first, decided already.
  std::u16string head = std::move(e.decision.decidedHead);
  e.decision.decidedHead.clear();
  size_t headStart = e.committed.committedText.size();
  e.committed.committedText += head;
  size_t committedBefore = e.committed.committedText.size();
  e.word.keys = left;
  e.decision.decidingPart = true;
  DecideWord(e, 0);
  e.decision.decidingPart = false;
  std::u16string_view leftOut = std::u16string_view(e.committed.committedText).substr(committedBefore);
  if (HasNonAscii(leftOut)) {
    e.committed.committedText.push_back(u'.');
    if (!fileName) {
      EndSentence(e);
      e.word.keys = right;
      e.word.keys += suffix;
      DecideWord(e, separator);
      return true;
    }
    e.committed.committedText += right;
    e.committed.committedText += suffix;
    if (separator) e.committed.committedText.push_back(separator);
    if (IsSentenceEnd(suffix, separator)) {
      EndSentence(e);
    }
    return true;
  }
  // Not Vietnamese: everything the left part did is undone, text included.
  e.committed.committedText.resize(headStart);
  e.decision.decidedHead = std::move(head);
  RestoreLanguageMemory(e, saved);
  e.decision.history.resize(saved.recordCount);
  e.word.keys = allKeys;
  return false;
}

}  // namespace

namespace {

// DecideWord on the word's keys, which stay in place (views of them are taken) until it is done.
// A word's end in three parts: its facts are gathered (and the steps before the checks may
// settle it), the checks of kWordEndChecks decide it, and the result is committed (where the
// step after the checks may overrule what the word says of the language).
//
// Before the checks, in order:
//   no keys:      "--" then a space is written back unchanged
//   abbreviation: "ko " becomes "không " (the user's table, then the shipped one)
//   VNI digit:    "ba0 " in VNI: a digit the composition did not use keeps autofix off
// After the checks:
//   list marker:  "1." or "IV." at a line's start numbers a list and says nothing of language

// What the commit needs of the memory as it was before the word.
struct MemoryBefore {
  bool lineStart;
  uint32_t lastLanguage;
};

// The word's facts; false when a step before the checks has settled and committed the word.
bool GatherFacts(Engine& e, char16_t separator, WordFacts& w, MemoryBefore& before) {
  w.separator = separator;
  w.keepShown = e.decision.keepShown;
  bool backspaceTouched = e.decision.backspaceTouched;
  e.decision.keepShown = e.decision.backspaceTouched = false;
  w.passThrough = e.options.blocked;
  w.afterSplit = !e.decision.decidedHead.empty();
  e.committed.committedText += e.decision.decidedHead;  // "và/" decided before the rest of "vaf/bao"
  e.decision.decidedHead.clear();

  w.keys = e.word.keys;
  size_t suffixStart = w.keys.size();
  while (suffixStart > 0 && IsTrailingSuffixChar(w.keys[suffixStart - 1])) --suffixStart;
  w.suffix = w.keys.substr(suffixStart);
  w.keys = w.keys.substr(0, suffixStart);
  before = {e.memory.LineStart != 0, e.memory.LastLanguage};

  if (w.keys.empty()) {  // no keys
    e.committed.committedText += w.suffix;
    if (separator) e.committed.committedText.push_back(separator);
    return false;
  }
  if (TryAbbreviation(e, w, e.decision.reDeciding)) return false;

  ComposeForDecision(e, w.keys, separator);
  w.autofixAllowed = e.options.smartOn && e.options.autofixOn && !w.passThrough && !EnglishOnlyField(e) &&
                     !backspaceTouched && !MidSentenceCapital(w.keys, e.memory);
  if (w.autofixAllowed && e.options.method == InputMethod::Vni &&
      (w.keys.find(u'0') != std::u16string_view::npos ||
       std::any_of(w.composed.text.begin(), w.composed.text.end(), IsAsciiDigit))) {
    w.autofixAllowed = false;  // VNI digit
  }
  return true;
}

// What the decision shows, added to the committed text, and what the word teaches the memory.
void CommitDecision(Engine& e, const WordFacts& w, const Decision& d, const MemoryBefore& before,
                    std::u16string& scratchOutput) {
  std::u16string_view output;
  if (w.keepShown) {
    output = w.keys;
  } else if (d.action == WordAction::English) {
    if (EnglishOnlyField(e) || w.passThrough) {
      output = w.keys;
    } else {
      EnglishFormInto(scratchOutput, Input(e), w.keys);
      output = scratchOutput;
    }
  } else {
    output = d.correction ? std::u16string_view(*d.correction) : std::u16string_view(w.composed.text);
  }
  e.committed.committedText += output;
  e.committed.committedText += w.suffix;
  if (w.separator) e.committed.committedText.push_back(w.separator);
  if (d.action != WordAction::Unchanged) e.memory.LastLanguage = static_cast<uint32_t>(d.action);

  UpdateCapsRun(e, w, d.action);

  const char* label = d.label;
  bool sentenceEnd = IsSentenceEnd(w.suffix, w.separator);
  if (before.lineStart && IsListMarker(w)) {  // list marker
    e.memory.LineStart = 1;
    e.memory.LastLanguage = before.lastLanguage;
    if (!w.passThrough)
      e.memory.EnglishLean =
          std::clamp(e.options.weights[weight::kLeanDecay] * e.memory.EnglishLean,
                     e.options.weights[weight::kLeanFloor], e.options.weights[weight::kLeanCeiling]);
    if (sentenceEnd) {
      EndSentence(e);
    }
    label = label::kListMarker;
  } else {
    e.memory.LineStart = 0;
    if (w.passThrough) {
      e.memory.SentenceStart = sentenceEnd;
    } else {
      UpdateLean(e.memory, e.options.weights, LeanDelta(Input(e), w.keys, d.action, d.code), w.suffix,
                 w.separator);
    }
  }
  Record(e, w, output, d, label);
}

void DecideWordKeys(Engine& e, char16_t separator) {
  WordEndScratch& scratch = Scratch();
  scratch.composed.text.clear();  // what an abbreviation records as the Vietnamese form
  WordFacts w(scratch.composed);
  MemoryBefore before{};
  if (!GatherFacts(e, separator, w, before)) return;
  CommitDecision(e, w, RunChecks(e, w), before, scratch.output);
}

}  // namespace

void DecideWord(Engine& e, char16_t separator) {
  DecideWordKeys(e, separator);
  e.word.keys.clear();  // its capacity stays for the next word's keys
}

void WordEnd(Engine& e, char16_t separator) {
  WordDecisionState& d = e.decision;
  d.snapshotsValid = false;

  if (e.committed.reopen.untouched) {
    // The reopened word comes back untouched, with the language memory it had.
    RestoreReopenedWord(e);
    if (separator) e.committed.committedText.push_back(separator);
    if (IsSentenceEnd({}, separator)) {
      EndSentence(e);
    }
    d.snapshotsValid = separator == u' ';
    ResetWord(e);
    e.committed.justCommitted = 1;
    return;
  }

  WordEndSnapshot before = TakeSnapshot(e);
  std::u16string& keys = Scratch().keys;
  if (InManualEdit(e)) {
    keys.clear();
  } else {
    keys = e.word.keys;
  }
  size_t committedBefore = e.committed.committedText.size();

  if (InManualEdit(e)) {
    CommitManualEdit(e, separator);
  } else if (e.committed.reopen.composedForm || e.committed.reopen.keyForm) {
    CommitEditedReopenedWord(e, separator);
  } else if (!TryDottedWord(e, separator)) {
    DecideWord(e, separator);
  }

  WordEndSnapshot after = TakeSnapshot(e);
  const std::u16string& text = e.committed.committedText;
  if (separator == u' ' && !e.options.blocked && !EnglishOnlyField(e) && text.size() >= committedBefore + 2 &&
      text.back() == u' ') {
    std::u16string_view word =
        std::u16string_view(text).substr(committedBefore, text.size() - 1 - committedBefore);
    bool reopenable = std::all_of(word.begin(), word.end(), [&](char16_t c) {
      if (IsVietLetter(c)) return true;
      return e.options.method == InputMethod::Vni && IsAsciiDigit(c) && word == keys;
    });
    if (reopenable) {
      e.committed.lastWordText = word;
      e.committed.lastWordKeys = keys;
      d.before = before;
      d.after = after;
      d.committedBefore = committedBefore;
      d.snapshotsValid = true;
    }
  }
  ResetWord(e);
  e.committed.justCommitted = 1;
}

}  // namespace tonvira
