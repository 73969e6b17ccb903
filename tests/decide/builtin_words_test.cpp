#include "decide/builtin_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "decide/english_word_lists.h"
#include "decide/vi_syllable_levels.h"

namespace tonvira {
namespace {

TEST(BuiltinWords, TablesHaveTheirRowsAndSortedOnesAreSortedByBytes) {
  std::array<int, 4> perLevel{};
  for (const SyllableLevel& row : kViSyllableLevels) {
    ASSERT_GE(row.level, 0);
    ASSERT_LE(row.level, 3);
    ++perLevel[row.level];
  }
  EXPECT_EQ(perLevel, (std::array<int, 4>{281, 217, 92, 32}));
  EXPECT_EQ(std::size(kEnglishFunctionWords), 136u);
  EXPECT_EQ(std::size(kEnglishContractions), 20u);
  EXPECT_EQ(std::size(kCapsEnglishWords), 46u);
  EXPECT_EQ(std::size(kCapsNotVietnamese), 18u);
  EXPECT_EQ(std::size(kForeignNames), 53u);
  EXPECT_EQ(std::size(kFileExtensions), 47u);
  EXPECT_EQ(std::size(kSwappedDigraphs), 8u);
  // Binary search needs strict byte order: sorted and without duplicates.
  auto strictlySorted = [](const auto& list) {
    return std::adjacent_find(std::begin(list), std::end(list), std::greater_equal<>()) == std::end(list);
  };
  EXPECT_TRUE(strictlySorted(kEnglishContractions));
  EXPECT_TRUE(strictlySorted(kCapsEnglishWords));
  EXPECT_TRUE(strictlySorted(kCapsNotVietnamese));
  EXPECT_TRUE(strictlySorted(kForeignNames));
  for (std::string_view pair : kSwappedDigraphs) EXPECT_EQ(pair.size(), 2u);
  for (std::string_view ext : kFileExtensions) EXPECT_LE(ext.size(), 4u);
}

TEST(BuiltinWords, EveryListedWordIsFoundThroughItsLookup) {
  auto u16 = [](std::string_view s) { return std::u16string(s.begin(), s.end()); };
  for (std::string_view w : kEnglishFunctionWords) EXPECT_TRUE(IsFunctionWord(u16(w))) << w;
  for (std::string_view w : kEnglishContractions) EXPECT_TRUE(IsEnglishContraction(u16(w))) << w;
  for (std::string_view w : kCapsEnglishWords) EXPECT_TRUE(IsCapsEnglishWord(u16(w))) << w;
  for (std::string_view w : kCapsNotVietnamese) EXPECT_TRUE(IsCapsNotVietnamese(u16(w))) << w;
  for (std::string_view w : kForeignNames) EXPECT_TRUE(IsForeignName(u16(w))) << w;
  for (std::string_view w : kFileExtensions) EXPECT_TRUE(IsFileExtension(u16(w))) << w;
  for (const SyllableLevel& row : kViSyllableLevels) EXPECT_GE(SyllableUsage(row.word), 0);
}

TEST(BuiltinWords, Lookups) {
  EXPECT_EQ(SyllableUsage(u"sáng"), 3);
  EXPECT_EQ(SyllableUsage(u"SÁNG"), 3);
  EXPECT_EQ(SyllableUsage(u"òa"), 1);
  EXPECT_EQ(SyllableUsage(u"lòa"), 1);  // by key: lòa and loà are one word
  EXPECT_EQ(SyllableUsage(u"loà"), 1);
  EXPECT_EQ(SyllableUsage(u"via"), 0);
  EXPECT_EQ(SyllableUsage(u"việt"), -1);
  EXPECT_EQ(SyllableUsage(u""), -1);

  EXPECT_TRUE(IsFunctionWord(u"The"));
  EXPECT_FALSE(IsFunctionWord(u"thé"));
  EXPECT_FALSE(IsFunctionWord(u"cat"));
  EXPECT_TRUE(IsEnglishContraction(u"DON"));
  EXPECT_FALSE(IsEnglishContraction(u"dont"));
  EXPECT_TRUE(IsCapsEnglishWord(u"ASAP"));
  EXPECT_FALSE(IsCapsEnglishWord(u"asa"));
  EXPECT_TRUE(IsCapsNotVietnamese(u"Laos"));
  EXPECT_TRUE(IsForeignName(u"Xerox"));
  EXPECT_FALSE(IsForeignName(u"xeroxes"));
  EXPECT_TRUE(IsFileExtension(u"DOCX"));
  EXPECT_FALSE(IsFileExtension(u"docxx"));
  EXPECT_FALSE(IsFileExtension(u""));
  EXPECT_FALSE(IsFileExtension(u"ñ"));
}

}  // namespace
}  // namespace tonvira
