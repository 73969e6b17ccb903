#include "decide/corrector.h"

#include <array>

#include "compose/syllable.h"
#include "decide/english_word_lists.h"
#include "decide/lexicon.h"
#include "decide/skeleton_rules.h"

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

struct KeyVariant {
  std::u16string keys;
  uint32_t type;
};

// What one word's correction works in. Its strings keep their capacity from word to word, so
// a correction allocates only for a longer word than any before; one per thread, as the
// hook's, and used by one correction at a time.
struct CorrectorScratch {
  std::array<Candidate, kMaxCandidates> candidates;
  ComposeResult rendered;  // a candidate's text before it is known to be new
  ComposeResult typed;     // a key variant composed
  std::array<KeyVariant, kMaxKeyVariants> variants;
};

CorrectorScratch& Scratch() {
  thread_local CorrectorScratch scratch;
  return scratch;
}

// Candidates by their text; a text met again keeps its lowest cost.
class CandidateSet {
 public:
  CandidateSet(const CorrectorParams& p, CorrectorScratch& scratch) : p_(p), scratch_(scratch) {}

  // The candidate's text, for the caller to decide whether to repair it further (valid until
  // the next Add).
  std::u16string_view Add(const Skeleton& skeleton, uint32_t type, uint32_t detail, int cost) {
    RenderSkeletonInto(scratch_.rendered, skeleton, p_.method, p_.classic);
    const std::u16string& text = scratch_.rendered.text;
    for (Candidate& c : *this) {
      if (c.text != text) continue;
      if (cost < c.cost) {
        c.type = type;
        c.detail = detail;
        c.cost = cost;
      }
      return text;
    }
    if (size_ < kMaxCandidates) {
      Candidate& c = scratch_.candidates[size_++];
      c.text = text;
      c.type = type;
      c.detail = detail;
      c.cost = cost;
      c.frequency = 0;
      c.counts = false;
    }
    return text;
  }

  Candidate* begin() { return scratch_.candidates.data(); }
  Candidate* end() { return scratch_.candidates.data() + size_; }

 private:
  const CorrectorParams& p_;
  CorrectorScratch& scratch_;
  size_t size_ = 0;
};

// Runs the repairs on a skeleton; with `again`, a repair that still is no syllable is
// repaired once more.
void Repair(CandidateSet& set, const Skeleton& from, uint32_t type, uint32_t detail, int cost, bool again,
            uint32_t ruleFlags) {
  for (const RuleResult& r : ApplySkeletonRules(from, ruleFlags)) {
    uint32_t childType = type != 0 ? type : r.rule;
    uint32_t childDetail = (detail << 4) | r.rule;
    int childCost = cost + r.extraCost;
    std::u16string_view text = set.Add(r.skeleton, childType, childDetail, childCost);
    if (again && !IsWellFormedSyllable(text))
      Repair(set, r.skeleton, childType, childDetail, childCost, false, ruleFlags);
  }
}

// "caaan" -> "caan": a, d, e or o typed exactly three times; the first of them goes.
bool WithoutOvershotTriple(std::u16string_view keys, std::u16string& out) {
  for (size_t i = 0; i + 2 < keys.size(); ++i) {
    char16_t c = LowerAsciiLetter(keys[i]);
    if (std::u16string_view(u"adeo").find(c) == std::u16string_view::npos) continue;
    if (LowerAsciiLetter(keys[i + 1]) != c || LowerAsciiLetter(keys[i + 2]) != c) continue;
    if ((i > 0 && LowerAsciiLetter(keys[i - 1]) == c) ||
        (i + 3 < keys.size() && LowerAsciiLetter(keys[i + 3]) == c))
      continue;
    out = keys;
    out.erase(i, 1);
    return true;
  }
  return false;
}

// "tohng" -> "thong": the first adjacent pair that is a digraph typed backwards. The shift
// stays where it was pressed: "Hkoong" -> "Khoong", not "hKoong".
bool WithDigraphSwappedBack(std::u16string_view keys, std::u16string& out) {
  for (size_t i = 0; i + 1 < keys.size(); ++i) {
    for (std::string_view digraph : kSwappedDigraphs) {
      if (LowerAsciiLetter(keys[i]) == digraph[1] && LowerAsciiLetter(keys[i + 1]) == digraph[0]) {
        out = keys;
        out[i] = IsAsciiUpper(keys[i]) ? Upper(digraph[0]) : digraph[0];
        out[i + 1] = IsAsciiUpper(keys[i + 1]) ? Upper(digraph[1]) : digraph[1];
        return true;
      }
    }
  }
  return false;
}

// "caais" -> "cais": a circumflex the word cannot carry, typed by a doubled vowel key
// (aa, ee, oo exactly twice) or, in VNI, by a 6.
bool WithoutDoubledVowel(std::u16string_view keys, InputMethod method, std::u16string& out) {
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
      out = keys;
      out.erase(i, 1);
      return true;
    }
  }
  return false;
}

// The key variants into the scratch's; how many there are.
size_t KeyVariants(std::u16string_view keys, InputMethod method, CorrectorScratch& scratch) {
  size_t count = 0;
  auto add = [&](uint32_t type, auto make) {
    if (count < kMaxKeyVariants && make(scratch.variants[count].keys)) scratch.variants[count++].type = type;
  };
  add(kVariantOvershotTriple, [&](std::u16string& out) { return WithoutOvershotTriple(keys, out); });
  add(kVariantSwappedDigraph, [&](std::u16string& out) { return WithDigraphSwappedBack(keys, out); });
  add(kVariantDoubledVowel, [&](std::u16string& out) { return WithoutDoubledVowel(keys, method, out); });
  return count;
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

  CorrectorScratch& scratch = Scratch();
  CandidateSet set(p, scratch);
  Repair(set, *seed, 0, 0, 0, true, p.ruleFlags);
  size_t variants = KeyVariants(keys, p.method, scratch);
  for (size_t i = 0; i < variants; ++i) {
    const KeyVariant& v = scratch.variants[i];
    ComposeInto(scratch.typed, v.keys, p.method, p.classic, p.loneW, 0);
    std::optional<Skeleton> skeleton = ParseSkeleton(scratch.typed.text);
    if (!skeleton) continue;
    int cost = KeyVariantCost(v.type);
    std::u16string_view text = set.Add(*skeleton, v.type, v.type, cost);
    if (!IsWellFormedSyllable(text)) Repair(set, *skeleton, v.type, v.type, cost, false, p.ruleFlags);
  }

  bool validMode = p.mode == CorrectorMode::ValidSyllable;
  for (Candidate& c : set) {
    c.frequency = p.syllables ? SyllableFrequency(*p.syllables, c.text) : 0;
    c.counts = IsWellFormedSyllable(c.text) && (!p.syllables || c.frequency >= 2);
    if (validMode) {
      bool typedOver = c.type == kRuleUye || c.type == kVariantOvershotTriple;
      c.counts = c.counts && typedOver && c.text != composed.text;
    }
  }

  const Candidate* best = nullptr;
  int bestCost = kNoCost;
  for (const Candidate& c : set) {
    if (!c.counts) continue;
    if (c.cost < bestCost || (best && c.cost == bestCost && c.frequency > best->frequency)) {
      best = &c;
      bestCost = c.cost;
    }
  }
  if (!best) return std::nullopt;

  bool ambiguous = false;
  bool allToneDoubts = best->type == kRuleStopTone;
  for (const Candidate& c : set) {
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
