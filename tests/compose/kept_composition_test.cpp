// A word composed as its keys grow must come out exactly as composing all its keys at once:
// every field, every transform set, both methods and placements, after edits, flag changes
// and the length limit.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "compose/compose.h"

namespace tonvira {
namespace {

constexpr uint32_t kAllFlags = kOrdinaryFlags | kNotEnglishFlags | kNoClusterR | kNoRepeatedHalfCheck;
constexpr uint32_t kFlagSets[] = {0, kOrdinaryFlags, kOrdinaryFlags | kNotEnglishFlags, kAllFlags};

void ExpectSameResult(const ComposeResult& got, const ComposeResult& want) {
  EXPECT_EQ(got.text, want.text);
  EXPECT_EQ(got.literal, want.literal);
  EXPECT_EQ(got.tone, want.tone);
  EXPECT_EQ(got.changed, want.changed);
  EXPECT_EQ(got.toneBeforeMark, want.toneBeforeMark);
  EXPECT_EQ(got.pendingTonePos, want.pendingTonePos);
}

// How often a composition was found to serve fewer transforms, and found not to.
struct ServedCounts {
  int served = 0;
  int refused = 0;
};

void ExpectSameAsFresh(KeptComposition& kept, std::u16string_view keys, InputMethod method, bool classic,
                       uint32_t flags, std::u16string_view prefix = {}, ServedCounts* counts = nullptr) {
  const ComposeResult& got = kept.Compose(keys, method, classic, true, flags, prefix);
  ComposeResult want = Compose(keys, method, classic, true, flags, prefix);
  std::string trace(keys.begin(), keys.end());
  SCOPED_TRACE(trace + " flags=" + std::to_string(flags) + (classic ? " classic" : " modern"));
  // Served for fewer transforms only when it is their composition too.
  for (uint32_t fewer : kFlagSets) {
    if ((fewer & ~flags) || fewer == flags) continue;
    if (!kept.Holds(keys, method, classic, true, fewer, prefix)) {
      // A word no transform changed serves any of them (past the limit it is kept for none,
      // and comes back as typed whatever the transforms).
      if (prefix.size() + keys.size() <= kMaxComposeUnits) {
        EXPECT_NE(kept.changedBy(), 0u);
      }
      if (counts) ++counts->refused;
      continue;
    }
    if (counts) ++counts->served;
    SCOPED_TRACE("served for flags=" + std::to_string(fewer));
    ExpectSameResult(kept.result(), Compose(keys, method, classic, true, fewer, prefix));
  }
  ExpectSameResult(got, want);
  // Past the limit the keys come back as typed, and nothing is kept to go on from.
  EXPECT_EQ(kept.Holds(keys, method, classic, true, flags, prefix),
            prefix.size() + keys.size() <= kMaxComposeUnits);
}

// Each word typed key by key into one kept composition, as the engine reads it.
ServedCounts TypeKeyByKey(const std::vector<std::u16string>& words, InputMethod method) {
  ServedCounts counts;
  for (uint32_t flags : kFlagSets) {
    for (bool classic : {true, false}) {
      KeptComposition kept;
      for (const std::u16string& word : words) {
        for (size_t n = 1; n <= word.size(); ++n) {
          ExpectSameAsFresh(kept, std::u16string_view(word).substr(0, n), method, classic, flags, {},
                            &counts);
        }
      }
    }
  }
  return counts;
}

TEST(KeptComposition, TelexWordsTypedKeyByKey) {
  // Undo by repeat, the half written twice (a last key only), waiting tones settled and
  // restored, horns aimed and shifted, uơ at the end, late strokes, capitals.
  TypeKeyByKey({u"vieetj", u"nguwowif", u"toto",    u"totos",  u"hoho",  u"hohoo",  u"tsoi",  u"tsww",
                u"tsw",    u"uwow",     u"huwow",   u"thuowr", u"huow",  u"muaw",   u"ouw",   u"uuw",
                u"dad",    u"dadf",     u"aaa",     u"asss",   u"asfz",  u"toio",   u"toior", u"quaays",
                u"giaas",  u"HOAF",     u"ViEetJ",  u"trrong", u"brown", u"cdef",   u"www",   u"ddd",
                u"oow",    u"xoas",     u"NGUWOWI", u"SEX",    u"DAMS",  u"NGUWOWi"},
               InputMethod::Telex);
}

TEST(KeptComposition, VniWordsTypedKeyByKey) {
  TypeKeyByKey({u"vie65t", u"ngu7o72i", u"a66", u"d9d9", u"to6i1", u"hoa2", u"u7o7", u"1tuan"},
               InputMethod::Vni);
}

TEST(KeptComposition, RandomKeysTypedKeyByKey) {
  std::mt19937 random(20261207);
  const std::u16string_view telexKeys = u"aeiouydwsfrxjzqghtnckmpAEOWDSINTX";
  std::vector<std::u16string> words;
  for (int w = 0; w < 300; ++w) {
    std::u16string word;
    size_t length = 1 + random() % 9;
    for (size_t i = 0; i < length; ++i) word.push_back(telexKeys[random() % telexKeys.size()]);
    words.push_back(word);
  }
  ServedCounts counts = TypeKeyByKey(words, InputMethod::Telex);
  // Both answers come up, so both were checked.
  EXPECT_GT(counts.served, 1000);
  EXPECT_GT(counts.refused, 100);
}

// A word the left-out transforms changed is composed again without them.
TEST(KeptComposition, ServesFewerTransformsOnlyWhereTheyChangedNothing) {
  const uint32_t ordinary = kOrdinaryFlags;
  const uint32_t all = kOrdinaryFlags | kNotEnglishFlags;
  struct Row {
    std::u16string_view keys;
    bool served;
  } rows[] = {
      {u"toi", true},   {u"tois", true},    {u"tsoi", false},  // a waiting tone
      {u"toio", false},                                        // a circumflex reaching back
      {u"dad", false},  {u"dan", true},                        // a late stroke
      {u"muaw", true},  {u"nguowif", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.keys.begin(), row.keys.end()));
    KeptComposition kept;
    kept.Compose(row.keys, InputMethod::Telex, true, true, all);
    EXPECT_EQ(kept.Holds(row.keys, InputMethod::Telex, true, true, ordinary), row.served);
    EXPECT_TRUE(kept.Holds(row.keys, InputMethod::Telex, true, true, all));
    EXPECT_FALSE(kept.Holds(row.keys, InputMethod::Telex, true, true, all | kNoClusterR));  // more: never
  }
}

// The engine reads the same word under other settings, edits it with backspace and starts new
// words in the same composition: each time the result is the fresh one.
TEST(KeptComposition, EditsAndOtherSettingsStartAfresh) {
  KeptComposition kept;
  const InputMethod telex = InputMethod::Telex;
  ExpectSameAsFresh(kept, u"tot", telex, true, kAllFlags);
  ExpectSameAsFresh(kept, u"toto", telex, true, kAllFlags);   // refused as the last key
  ExpectSameAsFresh(kept, u"totoo", telex, true, kAllFlags);  // then taken as an ordinary one
  ExpectSameAsFresh(kept, u"toto", telex, true, kAllFlags);   // backspace
  ExpectSameAsFresh(kept, u"totos", telex, true, kAllFlags);
  ExpectSameAsFresh(kept, u"totos", telex, false, kAllFlags);      // another placement
  ExpectSameAsFresh(kept, u"totos", telex, true, kOrdinaryFlags);  // other transforms
  ExpectSameAsFresh(kept, u"totosf", telex, true, kOrdinaryFlags);
  ExpectSameAsFresh(kept, u"tsoi", telex, true, kAllFlags);  // another word
  ExpectSameAsFresh(kept, u"tsoi", InputMethod::Vni, true, kAllFlags);
  ExpectSameAsFresh(kept, u"", telex, true, kAllFlags);
  ExpectSameAsFresh(kept, u"s", telex, true, kAllFlags, u"hoa");  // after a composed prefix
  ExpectSameAsFresh(kept, u"sw", telex, true, kAllFlags, u"hoa");
  ExpectSameAsFresh(kept, u"sw", telex, true, kAllFlags, u"hòa");
  ExpectSameAsFresh(kept, u"sw", telex, true, kAllFlags);
}

TEST(KeptComposition, PastTheLengthLimitAsTypedThenComposedAgain) {
  KeptComposition kept;
  std::u16string keys = u"vieetj";
  for (size_t i = keys.size(); i < kMaxComposeUnits + 3; ++i) keys.push_back(u'a' + i % 26);
  for (size_t n = kMaxComposeUnits - 2; n <= keys.size(); ++n) {
    ExpectSameAsFresh(kept, std::u16string_view(keys).substr(0, n), InputMethod::Telex, true, kAllFlags);
  }
  ExpectSameAsFresh(kept, std::u16string_view(keys).substr(0, 5), InputMethod::Telex, true, kAllFlags);
  ExpectSameAsFresh(kept, std::u16string_view(keys).substr(0, 6), InputMethod::Telex, true, kAllFlags);
  ExpectSameAsFresh(kept, std::u16string_view(keys).substr(0, 20), InputMethod::Telex, true, kAllFlags,
                    std::u16string(kMaxComposeUnits - 10, u'a'));
}

TEST(KeptComposition, CopiesKeepTheirOwnWord) {
  KeptComposition kept;
  kept.Compose(u"vieet", InputMethod::Telex, true, true, kAllFlags);
  KeptComposition copy = kept;
  ExpectSameAsFresh(copy, u"vieetj", InputMethod::Telex, true, kAllFlags);
  EXPECT_TRUE(kept.Holds(u"vieet", InputMethod::Telex, true, true, kAllFlags));
  ExpectSameAsFresh(kept, u"vieetf", InputMethod::Telex, true, kAllFlags);
  kept = copy;
  EXPECT_TRUE(kept.Holds(u"vieetj", InputMethod::Telex, true, true, kAllFlags));
  ExpectSameAsFresh(kept, u"vieetjs", InputMethod::Telex, true, kAllFlags);
}

}  // namespace
}  // namespace tonvira
