#include "decide/skeleton_rules.h"

#include "compose/compose.h"

namespace tonvira {
namespace {

bool IsSkeletonLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || std::u16string_view(u"ăâêôơưđ").find(c) != std::u16string_view::npos;
}

bool IsFrontVowel(char16_t c) {
  return c == u'e' || c == u'ê' || c == u'i' || c == u'y';
}

bool At(const Skeleton& s, size_t i, char16_t c) {
  return i < s.letters.size() && s.letters[i] == c;
}

bool AtOneOf(const Skeleton& s, size_t i, std::u16string_view options) {
  return i < s.letters.size() && options.find(s.letters[i]) != std::u16string_view::npos;
}

bool IsCapital(const Skeleton& s, size_t i) {
  return (s.capitals >> i) & 1u;
}

// An added letter is a capital only inside a run of capitals (NGE -> NGHE, Nge -> Nghe).
std::optional<Skeleton> Insert(Skeleton s, size_t pos, char16_t c) {
  if (s.letters.size() >= kMaxSkeletonLetters) return std::nullopt;
  bool capital = pos > 0 && IsCapital(s, pos - 1) && (pos >= s.letters.size() || IsCapital(s, pos));
  uint16_t low = s.capitals & static_cast<uint16_t>((1u << pos) - 1);
  uint16_t high = static_cast<uint16_t>((s.capitals >> pos) << (pos + 1));
  s.capitals = static_cast<uint16_t>(low | high | (capital ? 1u << pos : 0u));
  s.letters.insert(pos, c);
  return s;
}

Skeleton Erase(Skeleton s, size_t pos) {
  uint16_t low = s.capitals & static_cast<uint16_t>((1u << pos) - 1);
  uint16_t high = static_cast<uint16_t>((s.capitals >> (pos + 1)) << pos);
  s.capitals = static_cast<uint16_t>(low | high);
  s.letters.erase(pos);
  return s;
}

Skeleton Replace(Skeleton s, size_t pos, char16_t c) {
  s.letters[pos] = c;
  return s;
}

// The u of an initial qu belongs to the onset.
bool IsUOfInitialQu(const Skeleton& s, size_t i) {
  return i == 1 && At(s, 0, u'q');
}

void UoHorn(const Skeleton& s, RuleResults& out) {  // "nưoc" -> "nươc"
  for (size_t i = 0; i + 1 < s.letters.size(); ++i) {
    bool hornedU = At(s, i, u'ư') && At(s, i + 1, u'o');
    bool hornedO = At(s, i, u'u') && At(s, i + 1, u'ơ') && !IsUOfInitialQu(s, i);
    if (hornedU || hornedO) {
      out.push_back({Replace(Replace(s, i, u'ư'), i + 1, u'ơ'), kRuleUoHorn, 1});
      return;
    }
  }
}

void QuHorn(const Skeleton& s, RuleResults& out) {  // "qưa" -> "qua"
  if (At(s, 0, u'q') && At(s, 1, u'ư')) out.push_back({Replace(s, 1, u'u'), kRuleQuHorn, 1});
}

void AddH(const Skeleton& s, RuleResults& out) {  // "nge" -> "nghe", "gê" -> "ghê"
  std::optional<Skeleton> added;
  if (At(s, 0, u'n') && At(s, 1, u'g') && AtOneOf(s, 2, u"eêiy")) {
    added = Insert(s, 2, u'h');
  } else if (At(s, 0, u'g') && AtOneOf(s, 1, u"eê")) {
    added = Insert(s, 1, u'h');
  }
  if (added) out.push_back({*added, kRuleAddH, 1});
}

bool IsOtherVowelAt(const Skeleton& s, size_t i) {
  return i < s.letters.size() && IsVietVowel(s.letters[i]) && !IsFrontVowel(s.letters[i]);
}

void DropH(const Skeleton& s, RuleResults& out) {  // "nghanh" -> "nganh", "gha" -> "ga"
  if (At(s, 0, u'n') && At(s, 1, u'g') && At(s, 2, u'h') && IsOtherVowelAt(s, 3)) {
    out.push_back({Erase(s, 2), kRuleDropH, 1});
  } else if (At(s, 0, u'g') && At(s, 1, u'h') && IsOtherVowelAt(s, 2)) {
    out.push_back({Erase(s, 1), kRuleDropH, 1});
  }
}

void CToK(const Skeleton& s, RuleResults& out) {  // "ce" -> "ke"
  if (At(s, 0, u'c') && AtOneOf(s, 1, u"eêiy")) out.push_back({Replace(s, 0, u'k'), kRuleCToK, 1});
}

void KToC(const Skeleton& s, RuleResults& out) {  // "ka" -> "ca"
  if (At(s, 0, u'k') && IsOtherVowelAt(s, 1)) out.push_back({Replace(s, 0, u'c'), kRuleKToC, 1});
}

// The circumflex or horn a vowel pair needs, at the first pair where one fits:
// "tieng" -> "tiêng", "xuan" -> "xuân", "muon" -> "muôn" and "mươn".
void MissingMark(const Skeleton& s, RuleResults& out) {
  for (size_t i = 0; i + 1 < s.letters.size(); ++i) {
    if (AtOneOf(s, i, u"iy") && At(s, i + 1, u'e')) {
      out.push_back({Replace(s, i + 1, u'ê'), kRuleCircumflex, 2});
      return;
    }
    bool afterQ = i > 0 && At(s, i - 1, u'q');
    if (At(s, i, u'u') && At(s, i + 1, u'a') && !afterQ && AtOneOf(s, i + 2, u"gnty")) {
      out.push_back({Replace(s, i + 1, u'â'), kRuleCircumflex, 2});
      return;
    }
    if (At(s, i, u'u') && At(s, i + 1, u'o') && !IsUOfInitialQu(s, i)) {
      out.push_back({Replace(s, i + 1, u'ô'), kRuleCircumflex, 2});
      out.push_back({Replace(Replace(s, i, u'ư'), i + 1, u'ơ'), kRuleCircumflex, 2});
      return;
    }
  }
}

void Uye(const Skeleton& s, RuleResults& out) {  // "tuên" -> "tuyên"
  for (size_t i = 0; i + 2 < s.letters.size(); ++i) {
    if (At(s, i, u'u') && At(s, i + 1, u'ê') && AtOneOf(s, i + 2, u"nt")) {
      if (std::optional<Skeleton> added = Insert(s, i + 1, u'y')) out.push_back({*added, kRuleUye, 2});
      return;
    }
  }
}

void StopTone(const Skeleton& s, RuleResults& out) {  // "hoc" -> "hóc" and "học"
  std::u16string_view l = s.letters;
  bool stop = l.ends_with(u'p') || l.ends_with(u't') || l.ends_with(u'c') || l.ends_with(u"ch");
  if (!stop) return;
  for (Tone tone : {kToneAcute, kToneDot}) {
    Skeleton toned = s;
    toned.tone = tone;
    out.push_back({toned, kRuleStopTone, 2});
  }
}

}  // namespace

std::optional<Skeleton> ParseSkeleton(std::u16string_view text) {
  if (text.empty() || text.size() > kMaxSkeletonLetters) return std::nullopt;
  Skeleton s;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t lower = ToLowerVi(text[i]);
    if (lower != text[i]) s.capitals |= static_cast<uint16_t>(1u << i);
    if (VowelCell cell = FindLowerVowel(lower); cell.row >= 0) {
      if (cell.tone != kToneNone) s.tone = cell.tone;
      lower = VowelForm(cell.row, kToneNone);
    }
    if (!IsSkeletonLetter(lower)) return std::nullopt;
    s.letters.push_back(lower);
  }
  return s;
}

std::u16string RenderSkeleton(const Skeleton& s, InputMethod method, bool classic) {
  ComposeResult rendered;
  RenderSkeletonInto(rendered, s, method, classic);
  return std::move(rendered.text);
}

void RenderSkeletonInto(ComposeResult& out, const Skeleton& s, InputMethod method, bool classic) {
  // The tone goes on any vowel: the composition places it where the syllable wants it. The
  // letters are gathered in a string that keeps its capacity, one per thread as the hook's.
  thread_local std::u16string prefix;
  prefix.clear();
  bool toned = s.tone == kToneNone;
  for (size_t i = 0; i < s.letters.size(); ++i) {
    char16_t c = s.letters[i];
    if (VowelCell cell = FindLowerVowel(c); !toned && cell.row >= 0) {
      c = VowelForm(cell.row, s.tone);
      toned = true;
    }
    prefix.push_back(IsCapital(s, i) ? ToUpperVi(c) : c);
  }
  ComposeInto(out, {}, method, classic, true, 0, prefix);
}

RuleResults ApplySkeletonRules(const Skeleton& s, uint32_t disabledRules) {
  RuleResults out;
  auto on = [disabledRules](SkeletonRule rule) { return !(disabledRules & (1u << rule)); };
  if (on(kRuleUoHorn)) UoHorn(s, out);
  if (on(kRuleQuHorn)) QuHorn(s, out);
  if (on(kRuleAddH)) AddH(s, out);
  if (on(kRuleDropH)) DropH(s, out);
  if (on(kRuleCToK)) CToK(s, out);
  if (on(kRuleKToC)) KToC(s, out);
  if (on(kRuleCircumflex)) MissingMark(s, out);
  if (on(kRuleUye)) Uye(s, out);
  if (on(kRuleStopTone)) StopTone(s, out);
  return out;
}

}  // namespace tonvira
