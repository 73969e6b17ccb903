#include "decide/word_pairs.h"

#include <gtest/gtest.h>

namespace tonvira {
namespace {

constexpr std::string_view kPairs =
    "# word pairs\n"
    "# generated\n"
    "v\tlà\tmã\t25\n"
    "e\tthe\tmax\t31\n"
    "v\tthủy\tthủ\t12\r\n"  // classic placement in the file
    "v\tlà\tmã\t9\n"        // a line met again keeps the first score
    "x\tthe\tmax\t5\n"      // unknown language
    "e\tthe\tmin\t0\n"      // out of range
    "e\tthe\tmin\t256\n"
    "e\tthe\t\t4\n"  // a part missing
    "e\tthe\tmin\n"
    "e\tset\tthe\t7\tlater\n";  // columns after the fourth are for later use

TEST(WordPairs, ParsesValidLinesAndLooksUpUnderSyllableKeys) {
  WordPairs pairs;
  ASSERT_TRUE(ParseWordPairs(pairs, kPairs));
  EXPECT_EQ(pairs.scores.size(), 4u);
  struct Row {
    PairLanguage language;
    const char16_t* previous;
    const char16_t* word;
    int score;
  } rows[] = {
      {PairLanguage::Vietnamese, u"là", u"mã", 25},
      {PairLanguage::Vietnamese, u"LÀ", u"Mã", 25},  // case does not matter
      {PairLanguage::English, u"The", u"MAX", 31},
      {PairLanguage::English, u"là", u"mã", 0},  // each language its own pairs
      {PairLanguage::Vietnamese, u"the", u"max", 0},
      {PairLanguage::Vietnamese, u"thuỷ", u"thủ", 12},  // modern placement meets the classic one
      {PairLanguage::English, u"the", u"min", 0},
      {PairLanguage::English, u"set", u"the", 7},
      {PairLanguage::English, u"", u"max", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(PairScore(pairs, row.language, row.previous, row.word), row.score);
  }
  WordPairs none;
  EXPECT_FALSE(ParseWordPairs(none, "# nothing\n\n"));
  EXPECT_EQ(PairScore(none, PairLanguage::English, u"the", u"max"), 0);
}

TEST(WordPairs, PreviousWordIsTheWordRightBeforeTheSpaces) {
  struct Row {
    const char16_t* committed;
    const char16_t* previous;
  } rows[] = {
      {u"sau đó là ", u"là"},
      {u"Set the  ", u"the"},
      {u"là", u""},  // no space: the text is still the word itself
      {u"", u""},
      {u"nguồn. ", u""},  // a sentence end parts the two words
      {u"là, ", u""},
      {u"(là ", u"là"},
      {u"x86 ", u""},  // tokens that are no words
      {u"file.txt ", u""},
      {u"e-mail ", u""},
      {u"Đà ", u"Đà"},
      {u"   ", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(PreviousWord(row.committed), std::u16string_view(row.previous));
  }
}

}  // namespace
}  // namespace tonvira
