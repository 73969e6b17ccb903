#include "decide/corrector.h"

#include <vector>

#include "decide/english_word_lists.h"
#include "decide/lexicon.h"
#include "decide/skeleton_rules.h"
#include "engine/syllable.h"

namespace tonvira {
namespace {

constexpr size_t kMaxCandidates = 48;
constexpr size_t kMaxKeyVariants = 4;
constexpr int kNoCost = 99;

char16_t Upper(char c) {
  return static_cast<char16_t>(c - 32);
}

struct Candidate {
  std::u16string text;
  uint32_t type = 0;
  uint32_t detail = 0;
  int cost = 0;
  uint8_t frequency = 0;
  bool counts = false;
};

// Candidates by their text; a text met again keeps its lowest cost.
class CandidateSet {
 public:
  explicit CandidateSet(const CorrectorParams& p) : p_(p) {}

  // The candidate's text, for the caller to decide whether to repair it further.
  std::u16string Add(const Skeleton& skeleton, uint32_t type, uint32_t detail, int cost) {
    std::u16string text = RenderSkeleton(skeleton, p_.method, p_.classic);
    for (Candidate& c : all_) {
      if (c.text != text) continue;
      if (cost < c.cost) {
        c.type = type;
        c.detail = detail;
        c.cost = cost;
      }
      return text;
    }
    if (all_.size() < kMaxCandidates) all_.push_back({text, type, detail, cost, 0, false});
    return text;
  }

  std::vector<Candidate>& all() { return all_; }

 private:
  const CorrectorParams& p_;
  std::vector<Candidate> all_;
};

// Runs the repairs on a skeleton; with `again`, a repair that still is no syllable is
// repaired once more.
void Repair(CandidateSet& set, const Skeleton& from, uint32_t type, uint32_t detail, int cost, bool again,
            uint32_t ruleFlags) {
  for (const RuleResult& r : ApplySkeletonRules(from, ruleFlags)) {
    uint32_t childType = type != 0 ? type : r.rule;
    uint32_t childDetail = (detail << 4) | r.rule;
    int childCost = cost + r.extraCost;
    std::u16string text = set.Add(r.skeleton, childType, childDetail, childCost);
    if (again && !IsWellFormedSyllable(text))
      Repair(set, r.skeleton, childType, childDetail, childCost, false, ruleFlags);
  }
}

struct KeyVariant {
  std::u16string keys;
  uint32_t type;
};

// "caaan" -> "caan": a, d, e or o typed exactly three times; the first of them goes.
std::optional<std::u16string> WithoutOvershotTriple(std::u16string_view keys) {
  for (size_t i = 0; i + 2 < keys.size(); ++i) {
    char16_t c = LowerAsciiLetter(keys[i]);
    if (std::u16string_view(u"adeo").find(c) == std::u16string_view::npos) continue;
    if (LowerAsciiLetter(keys[i + 1]) != c || LowerAsciiLetter(keys[i + 2]) != c) continue;
    if ((i > 0 && LowerAsciiLetter(keys[i - 1]) == c) ||
        (i + 3 < keys.size() && LowerAsciiLetter(keys[i + 3]) == c))
      continue;
    std::u16string out(keys);
    out.erase(i, 1);
    return out;
  }
  return std::nullopt;
}

// "tohng" -> "thong": the first adjacent pair that is a digraph typed backwards. The shift
// stays where it was pressed: "Hkoong" -> "Khoong", not "hKoong".
std::optional<std::u16string> WithDigraphSwappedBack(std::u16string_view keys) {
  for (size_t i = 0; i + 1 < keys.size(); ++i) {
    for (std::string_view digraph : kSwappedDigraphs) {
      if (LowerAsciiLetter(keys[i]) == digraph[1] && LowerAsciiLetter(keys[i + 1]) == digraph[0]) {
        std::u16string out(keys);
        out[i] = IsAsciiUpper(keys[i]) ? Upper(digraph[0]) : digraph[0];
        out[i + 1] = IsAsciiUpper(keys[i + 1]) ? Upper(digraph[1]) : digraph[1];
        return out;
      }
    }
  }
  return std::nullopt;
}

// "caais" -> "cais": a circumflex the word cannot carry, typed by a doubled vowel key
// (aa, ee, oo exactly twice) or, in VNI, by a 6.
std::optional<std::u16string> WithoutDoubledVowel(std::u16string_view keys, InputMethod method) {
  for (size_t i = 0; i < keys.size(); ++i) {
    bool hit = false;
    if (method == InputMethod::Vni) {
      hit = keys[i] == u'6' && i > 0;
    } else if (i > 0) {
      char16_t c = LowerAsciiLetter(keys[i]);
      hit = std::u16string_view(u"aeo").find(c) != std::u16string_view::npos &&
            LowerAsciiLetter(keys[i - 1]) == c && !(i >= 2 && LowerAsciiLetter(keys[i - 2]) == c) &&
            !(i + 1 < keys.size() && LowerAsciiLetter(keys[i + 1]) == c);
    }
    if (hit) {
      std::u16string out(keys);
      out.erase(i, 1);
      return out;
    }
  }
  return std::nullopt;
}

std::vector<KeyVariant> KeyVariants(std::u16string_view keys, InputMethod method) {
  std::vector<KeyVariant> out;
  if (auto v = WithoutOvershotTriple(keys)) out.push_back({*v, kVariantOvershotTriple});
  if (auto v = WithDigraphSwappedBack(keys)) out.push_back({*v, kVariantSwappedDigraph});
  if (auto v = WithoutDoubledVowel(keys, method)) out.push_back({*v, kVariantDoubledVowel});
  if (out.size() > kMaxKeyVariants) out.resize(kMaxKeyVariants);
  return out;
}

// A rival spelt with d where đ is far more common, or a hỏi syllable that English words
// produce, is no syllable the typist is likely to have meant.
bool PassesFlagTest(const Syllables& syllables, std::u16string_view text) {
  if (IsDFlagged(syllables, text)) return true;
  return IsRFlagged(syllables, text);
}

}  // namespace

int KeyVariantCost(uint32_t type) {
  switch (type) {
    case 1:
    case 2:
    case 3:
    case 10:
      return 1;
    case 4:
    case 5:
    case 7:
    case 8:
    case 9:
    case 11:
      return 2;
    case 6:
      return 3;
    default:
      return 9;
  }
}

std::optional<CorrectorResult> CorrectWord(std::u16string_view keys, const ComposeResult& composed,
                                           const CorrectorParams& p) {
  std::optional<Skeleton> seed = ParseSkeleton(composed.text);
  if (!seed) return std::nullopt;

  CandidateSet set(p);
  Repair(set, *seed, 0, 0, 0, true, p.ruleFlags);
  for (const KeyVariant& v : KeyVariants(keys, p.method)) {
    ComposeResult typed = Compose(v.keys, p.method, p.classic, p.loneW, 0);
    std::optional<Skeleton> skeleton = ParseSkeleton(typed.text);
    if (!skeleton) continue;
    int cost = KeyVariantCost(v.type);
    std::u16string text = set.Add(*skeleton, v.type, v.type, cost);
    if (!IsWellFormedSyllable(text)) Repair(set, *skeleton, v.type, v.type, cost, false, p.ruleFlags);
  }

  bool validMode = p.mode == CorrectorMode::ValidSyllable;
  for (Candidate& c : set.all()) {
    c.frequency = p.syllables ? SyllableFrequency(*p.syllables, c.text) : 0;
    c.counts = IsWellFormedSyllable(c.text) && (!p.syllables || c.frequency >= 2);
    if (validMode) {
      bool typedOver = c.type == kRuleUye || c.type == kVariantOvershotTriple;
      c.counts = c.counts && typedOver && c.text != composed.text;
    }
  }

  const Candidate* best = nullptr;
  int bestCost = kNoCost;
  for (const Candidate& c : set.all()) {
    if (!c.counts) continue;
    if (c.cost < bestCost || (best && c.cost == bestCost && c.frequency > best->frequency)) {
      best = &c;
      bestCost = c.cost;
    }
  }
  if (!best) return std::nullopt;

  bool ambiguous = false;
  bool allToneDoubts = best->type == kRuleStopTone;
  for (const Candidate& c : set.all()) {
    if (&c == best || !c.counts || c.cost != best->cost) continue;
    if (c.frequency + p.margin <= best->frequency) continue;
    if (p.syllables && best->frequency >= 3 && PassesFlagTest(*p.syllables, c.text)) continue;
    ambiguous = true;
    allToneDoubts = allToneDoubts && c.type == kRuleStopTone;
  }
  if (ambiguous) {
    if (validMode || !allToneDoubts) return std::nullopt;
    CorrectorResult kept;
    kept.text = RenderSkeleton(*seed, p.method, p.classic);
    kept.fixKind = kRuleStopTone;
    kept.fixDetail = best->detail;
    kept.cost = best->cost;
    kept.frequency = p.syllables ? SyllableFrequency(*p.syllables, kept.text) : 0;
    kept.keptUnfinished = 1;
    return kept;
  }
  return CorrectorResult{best->text, best->type, best->detail, best->cost, best->frequency, 0};
}

}  // namespace tonvira
