// Syllable skeletons and the spelling repairs the corrector tries on them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compose/compose.h"
#include "text/inline_string.h"
#include "text/letters.h"

namespace tonvira {

inline constexpr size_t kMaxSkeletonLetters = 15;

// A word as letters without tone (lower case, marks kept: "ươ", "đ"), a capital flag per
// letter, and the one tone of the syllable.
struct Skeleton {
  InlineU16String<kMaxSkeletonLetters> letters;  // copied by every repair: held in place
  uint16_t capitals = 0;                         // bit i: letter i is a capital
  Tone tone = kToneNone;
  bool operator==(const Skeleton&) const = default;
};

// 1 to 15 letters of the Vietnamese alphabet, else nothing.
std::optional<Skeleton> ParseSkeleton(std::u16string_view text);
// The skeleton as the composition shows it: tone on the vowel the placement picks, capitals.
std::u16string RenderSkeleton(const Skeleton& skeleton, InputMethod method, bool classic);
// The same into a result whose strings keep their capacity (its text is the rendering).
void RenderSkeletonInto(ComposeResult& out, const Skeleton& skeleton, InputMethod method, bool classic);

// The repairs, numbered as the fix kinds they give:
//   1 ư-o or u-ơ -> ươ          2 initial qư -> qu         3 ng/g before e, ê, i, y -> ngh/gh
//   4 ngh/gh before other vowels -> ng/g                   5 c before e, ê, i, y -> k
//   6 k before other vowels -> c                           7 ie -> iê, ua(g,n,t,y) -> uâ, uo -> uô/ươ
//   8 uê before n, t -> uyê     9 a stop final takes the acute or the dot-below tone
enum SkeletonRule : uint32_t {
  kRuleUoHorn = 1,
  kRuleQuHorn = 2,
  kRuleAddH = 3,
  kRuleDropH = 4,
  kRuleCToK = 5,
  kRuleKToC = 6,
  kRuleCircumflex = 7,
  kRuleUye = 8,
  kRuleStopTone = 9,
};

// Bit 1 << rule switches a rule off; the engine runs with 5 and 6 off.
inline constexpr uint32_t kEngineRuleFlags = 1u << kRuleCToK | 1u << kRuleKToC;
static_assert(kEngineRuleFlags == 0x60);

struct RuleResult {
  Skeleton skeleton;
  SkeletonRule rule;
  int extraCost;  // 1, or 2 for the rules that add a letter's worth of change
};

// The results of the repairs on one skeleton, held in place: at most one per rule, two for
// rules 7 and 9.
class RuleResults {
 public:
  static constexpr size_t kCapacity = 11;
  void push_back(const RuleResult& r) { items_[size_++] = r; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const RuleResult& operator[](size_t i) const { return items_[i]; }
  const RuleResult* begin() const { return items_.data(); }
  const RuleResult* end() const { return items_.data() + size_; }

 private:
  std::array<RuleResult, kCapacity> items_{};
  size_t size_ = 0;
};

// Every repair that applies to the skeleton, one result each (type 7 on uo and type 9 give two).
RuleResults ApplySkeletonRules(const Skeleton& skeleton, uint32_t disabledRules);

}  // namespace tonvira
