#include "decide/skeleton_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "compose/syllable.h"

namespace tonvira {
namespace {

std::u16string Render(const Skeleton& s, bool classic = true) {
  return RenderSkeleton(s, InputMethod::Telex, classic);
}

struct RuleRow {
  const char16_t* word;  // the composed word the repairs start from
  uint32_t disabled;
  std::vector<std::pair<std::u16string, SkeletonRule>> expected;  // every repair, in order
};

TEST(SkeletonRules, EachRuleWithAnExample) {
  const RuleRow rows[] = {
      {u"thưong", 0, {{u"thương", kRuleUoHorn}}},
      {u"buơn", 0, {{u"bươn", kRuleUoHorn}}},
      {u"quơ", 0, {}},  // the u of qu takes no horn
      {u"qưa", 0, {{u"qua", kRuleQuHorn}}},
      {u"ngiệm", 0, {{u"nghiệm", kRuleAddH}}},
      {u"gế", 0, {{u"ghế", kRuleAddH}}},
      {u"gi", 0, {}},  // gi is an initial of its own
      {u"nghành", 0, {{u"ngành", kRuleDropH}}},
      {u"ghà", 0, {{u"gà", kRuleDropH}}},
      {u"cem", 0, {{u"kem", kRuleCToK}}},
      {u"cem", kEngineRuleFlags, {}},
      {u"kà", 0, {{u"cà", kRuleKToC}}},
      {u"kà", kEngineRuleFlags, {}},
      {u"tiéng", 0, {{u"tiếng", kRuleCircumflex}}},
      {u"xuàn", 0, {{u"xuần", kRuleCircumflex}}},
      {u"quan", 0, {}},  // ua after q is no uâ
      {u"nguòi", 0, {{u"nguồi", kRuleCircumflex}, {u"người", kRuleCircumflex}}},
      {u"tuên", 0, {{u"tuyên", kRuleUye}}},
      {u"hòc", 0, {{u"hóc", kRuleStopTone}, {u"học", kRuleStopTone}}},
      {u"sach", 0, {{u"sách", kRuleStopTone}, {u"sạch", kRuleStopTone}}},
      {u"tiêt", 0, {{u"tiết", kRuleStopTone}, {u"tiệt", kRuleStopTone}}},
      {u"bàn", 0, {}},
  };
  for (const RuleRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    std::optional<Skeleton> s = ParseSkeleton(row.word);
    ASSERT_TRUE(s);
    RuleResults got = ApplySkeletonRules(*s, row.disabled);
    ASSERT_EQ(got.size(), row.expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(Render(got[i].skeleton), row.expected[i].first);
      EXPECT_EQ(got[i].rule, row.expected[i].second);
      bool addsALettersWorth = got[i].rule >= kRuleCircumflex;
      EXPECT_EQ(got[i].extraCost, addsALettersWorth ? 2 : 1);
    }
  }
}

TEST(SkeletonRules, ParsingKeepsCapitalsAndTheTone) {
  std::optional<Skeleton> s = ParseSkeleton(u"NGIỆM");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->letters, u"ngiêm");
  EXPECT_EQ(s->capitals, 0x1F);
  EXPECT_EQ(s->tone, kToneDot);
  RuleResults got = ApplySkeletonRules(*s, kEngineRuleFlags);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(Render(got[0].skeleton), u"NGHIỆM");  // a letter added inside capitals is a capital

  std::optional<Skeleton> name = ParseSkeleton(u"Ngiệm");
  ASSERT_TRUE(name);
  EXPECT_EQ(Render(ApplySkeletonRules(*name, kEngineRuleFlags)[0].skeleton), u"Nghiệm");
  EXPECT_EQ(Render(*ParseSkeleton(u"Đường")), u"Đường");
}

TEST(SkeletonRules, ParsingRejectsWhatIsNoWord) {
  EXPECT_FALSE(ParseSkeleton(u""));
  EXPECT_FALSE(ParseSkeleton(u"a1"));
  EXPECT_FALSE(ParseSkeleton(u"a-b"));
  EXPECT_TRUE(ParseSkeleton(u"abcdefghijklmno"));  // 15 letters
  EXPECT_FALSE(ParseSkeleton(u"abcdefghijklmnop"));
}

TEST(SkeletonRules, RenderingPlacesTheToneAsTheEngineDoes) {
  Skeleton hoa{u"hoa", 0, kToneGrave};
  EXPECT_EQ(Render(hoa, true), u"hòa");
  EXPECT_EQ(Render(hoa, false), u"hoà");
  EXPECT_EQ(Render({u"thươ", 0, kToneHook}), u"thuở");  // ươ at the end is written uơ
  EXPECT_EQ(Render({u"nguơi", 0, kToneGrave}), u"nguời");
}

TEST(SkeletonRules, NothingGrowsPastFifteenLetters) {
  // "ngiêmngiêmngiêm" has 15 letters: adding the h of ngh would make 16.
  std::optional<Skeleton> s = ParseSkeleton(u"ngiêmngiêmngiêm");
  ASSERT_TRUE(s);
  for (const RuleResult& r : ApplySkeletonRules(*s, 0)) {
    EXPECT_LE(r.skeleton.letters.size(), kMaxSkeletonLetters);
    EXPECT_NE(r.rule, kRuleAddH);
  }
}

}  // namespace
}  // namespace tonvira
