#include "decide/lexicon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "decide/syllable_key.h"

namespace tonvira {
namespace {

TEST(SyllableKey, LowersTakesOffTheToneAndAppendsItsDigit) {
  struct Row {
    const char16_t* word;
    const char16_t* key;
  } rows[] = {
      {u"hoà", u"hoa2"},   {u"hòa", u"hoa2"},     {u"HÒA", u"hoa2"}, {u"Việt", u"viêt5"}, {u"ĐỒNG", u"đông2"},
      {u"ươ", u"ươ0"},     {u"a", u"a0"},         {u"", u"0"},       {u"áà", u"aa2"},  // the last tone counts
      {u"thuở", u"thuơ3"}, {u"Tiếng", u"tiêng1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::u16string(row.word).size());
    EXPECT_EQ(SyllableKey(row.word), row.key);
  }
}

TEST(EnglishWords, ReadsPairsUntilTheFirstPairThatCannotBeRead) {
  EnglishWords words;
  ASSERT_TRUE(ParseEnglishWords(words, "the 1\nand 1\r\nFile 7\nzebra 30 apple\t12\nbroken x\nafter 3\n"));
  EXPECT_EQ(EnglishLevel(&words, u"the"), 1);
  EXPECT_EQ(EnglishLevel(&words, u"THE"), 1);  // a query in capitals finds the lower-case entry
  EXPECT_EQ(EnglishLevel(&words, u"zebra"), 30);
  EXPECT_EQ(EnglishLevel(&words, u"apple"), 12);
  EXPECT_EQ(EnglishLevel(&words, u"File"), 0);  // stored with a capital: never found
  EXPECT_EQ(EnglishLevel(&words, u"file"), 0);
  EXPECT_EQ(EnglishLevel(&words, u"broken"), 0);  // its level is not a number: reading stops
  EXPECT_EQ(EnglishLevel(&words, u"after"), 0);
}

// en_words.txt lists its words level by level, each level alphabetically; any order is read
// the same, words parsed before keep their levels, and a level keeps its low eight bits.
TEST(EnglishWords, AnyOrderGivesTheSameLevels) {
  EnglishWords words;
  ASSERT_TRUE(ParseEnglishWords(
      words, "bee 1 cat 1 dog 1 ant 2 bee 2 cow 2 zoo 3 a 3 ant 4 yak 5 b 6 aa 7 big 257 zero 256"));
  const std::pair<const char16_t*, int> levels[] = {
      {u"a", 3},   {u"aa", 7},  {u"ant", 2}, {u"b", 6},  {u"bee", 1}, {u"cat", 1}, {u"cow", 2}, {u"dog", 1},
      {u"yak", 5}, {u"zoo", 3}, {u"ab", 0},  {u"be", 0}, {u"big", 1}, {u"zero", 0}};  // 0 means absent
  for (auto [word, level] : levels)
    EXPECT_EQ(EnglishLevel(&words, word), level) << std::u16string(word).size();
  ASSERT_TRUE(ParseEnglishWords(words, "cat 9 elk 8"));
  EXPECT_EQ(EnglishLevel(&words, u"cat"), 1);
  EXPECT_EQ(EnglishLevel(&words, u"elk"), 8);
  EXPECT_TRUE(IsEnglishPrefix(words, u"el"));
  EXPECT_EQ(words.size(), 12u);
}

TEST(EnglishWords, LevelIsZeroWithoutListOrForNonAsciiWords) {
  EnglishWords words;
  ASSERT_TRUE(ParseEnglishWords(words, "cafe 20 tin 9"));
  EXPECT_EQ(EnglishLevel(nullptr, u"tin"), 0);
  EXPECT_EQ(EnglishLevel(&words, u""), 0);
  EXPECT_EQ(EnglishLevel(&words, u"café"), 0);
  EXPECT_EQ(EnglishLevel(&words, u"tín"), 0);
  EXPECT_EQ(EnglishLevel(&words, std::u16string(200, u'a')), 0);
  EXPECT_TRUE(IsEnglishPrefix(words, u"TI"));
  EXPECT_FALSE(IsEnglishPrefix(words, u""));
  EXPECT_FALSE(IsEnglishPrefix(words, u"tí"));
}

TEST(EnglishWords, EmptyOrUnreadableInputStoresNothing) {
  EnglishWords words;
  EXPECT_FALSE(ParseEnglishWords(words, ""));
  EXPECT_FALSE(ParseEnglishWords(words, "word\n"));
  EXPECT_FALSE(ParseEnglishWords(words, "12 word"));  // "word" is not a level
  Lexicon lexicon;
  EXPECT_FALSE(LoadEnglishWords(lexicon, "/nonexistent/en_words.txt"));
}

// Prefix queries narrow the range found for the query before: growing, shrinking, switching
// words, switching lists and rebuilding a list in place must all answer as a plain search.
TEST(EnglishWords, PrefixQueriesInAnyOrderAnswerAsAPlainSearch) {
  const std::vector<std::string> listA = {"a", "ab", "abc", "abd", "b", "ba", "test", "tests", "tea", "zoo"};
  const std::vector<std::string> listB = {"cat", "catalog", "dog", "tease", "zebra"};
  auto text = [](const std::vector<std::string>& list) {
    std::string t;
    for (const std::string& w : list) t += w + " 1 ";
    return t;
  };
  auto plain = [](const std::vector<std::string>& list, const std::string& prefix) {
    return !prefix.empty() &&
           std::any_of(list.begin(), list.end(), [&](const std::string& w) { return w.starts_with(prefix); });
  };
  EnglishWords a;
  EnglishWords b;
  ASSERT_TRUE(ParseEnglishWords(a, text(listA)));
  ASSERT_TRUE(ParseEnglishWords(b, text(listB)));
  const std::vector<std::string> queries = {
      "t", "te", "tes", "test", "tests", "testsx", "tea", "teas", "te",   "ab", "a", "abd",  "abe",
      "b", "ba", "bab", "z",    "zoo",   "c",      "ca",  "cat",  "cata", "d",  "x", "tease"};
  const std::vector<std::string>* inA = &listA;
  for (int round = 0; round < 2; ++round) {
    for (const std::string& q : queries) {
      SCOPED_TRACE(q);
      std::u16string query(q.begin(), q.end());
      EXPECT_EQ(IsEnglishPrefix(a, query), plain(*inA, q));
      EXPECT_EQ(IsEnglishPrefix(b, query), plain(listB, q));
      EXPECT_EQ(IsEnglishPrefix(a, query), plain(*inA, q));  // right after the other list
    }
    // The same object rebuilt with other words: nothing remembered of the old list is used.
    a = EnglishWords();
    ASSERT_TRUE(ParseEnglishWords(a, text(listB)));
    inA = &listB;
  }
}

// The first two letters of a query are looked up, not searched: every pair of first bytes
// (letters, a one-letter word, a hyphen, an apostrophe or a digit second) answers as a plain
// search, and so do the words that grow from them.
TEST(EnglishWords, FirstTwoLettersAnswerAsAPlainSearch) {
  const std::vector<std::pair<std::string, int>> list = {
      {"a", 1},  {"a-z", 2}, {"aa", 3},  {"az", 4},  {"azz", 5}, {"b'c", 6}, {"ba", 7},
      {"bz", 8}, {"m1", 9},  {"ma", 10}, {"mz", 11}, {"z", 12},  {"zz", 13}, {"o'clock", 14},
  };
  std::string text;
  for (const auto& [word, level] : list) text += word + " " + std::to_string(level) + " ";
  EnglishWords words;
  ASSERT_TRUE(ParseEnglishWords(words, text));
  const std::string bytes = "abmoyz-'1c";
  std::vector<std::string> queries;
  for (char x : bytes) {
    queries.push_back(std::string(1, x));
    for (char y : bytes) {
      queries.push_back(std::string{x, y});
      queries.push_back(std::string{x, y, 'z'});
      queries.push_back(std::string{x, y, 'c'});
    }
  }
  for (const std::string& q : queries) {
    SCOPED_TRACE(q);
    std::u16string query(q.begin(), q.end());
    bool prefix =
        std::any_of(list.begin(), list.end(), [&](const auto& w) { return w.first.starts_with(q); });
    auto listed = std::find_if(list.begin(), list.end(), [&](const auto& w) { return w.first == q; });
    EXPECT_EQ(IsEnglishPrefix(words, query), prefix);
    EXPECT_EQ(EnglishLevel(&words, query), listed == list.end() ? 0 : listed->second);
  }
}

constexpr std::string_view kSyllableFile =
    "\xEF\xBB\xBFtiếng\t200\n"
    "# a comment\n"
    "\n"
    "hòa\t40\r\n"
    "hoà\t90\n"
    "di\t30\td\n"
    "đi\t180\n"
    "tủn\t3\tr\n"
    "ải\t5\tx\n"
    "người/ a note about the word\t150\n"
    "nhà\n"
    "có dấu\t50\n"
    "9a\t50\n"
    "\xEF\xBB\xBFmột\t170\n"
    "hết\t\n"
    "xa\t300\n";

TEST(Syllables, ReadsTheLineFormat) {
  Syllables s;
  ASSERT_TRUE(ParseSyllables(s, kSyllableFile, kDefaultSyllableFrequency));
  struct Row {
    const char16_t* word;
    int frequency;
  } rows[] = {
      {u"tiếng", 200},  // after a byte-order mark
      {u"TIẾNG", 200},  // looked up by key
      {u"hoà", 90},     // both tone placements share one entry, the larger frequency wins
      {u"hòa", 90},    {u"di", 30},    {u"đi", 180}, {u"người", 150},  // "/" ends the word column
      {u"nhà", 1},                                                     // no TAB: the default frequency
      {u"có", 0},      {u"có dấu", 0},                                 // a word with a space is skipped
      {u"9a", 0},     // a word beginning with a digit is skipped
      {u"một", 170},  // a mark on any line is dropped
      {u"hết", 0},    // TAB without digits
      {u"xa", 44},    // low 8 bits of 300
      {u"tiêng", 0},  // another tone is another syllable
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::u16string(row.word).size());
    EXPECT_EQ(SyllableFrequency(s, row.word), row.frequency);
  }
}

TEST(Syllables, FlagsAndDoubtfulSyllables) {
  Syllables s;
  ASSERT_TRUE(ParseSyllables(s, std::string(kSyllableFile) + "dã\t2\td\n", kDefaultSyllableFrequency));
  EXPECT_TRUE(IsDFlagged(s, u"di"));
  EXPECT_FALSE(IsDFlagged(s, u"đi"));
  EXPECT_FALSE(IsDFlagged(s, u"dì"));  // the flag belongs to one tone
  EXPECT_TRUE(IsRFlagged(s, u"tủn"));
  EXPECT_FALSE(IsRFlagged(s, u"ải"));  // only d and r are flags
  EXPECT_FALSE(IsDFlagged(s, u"ải"));
  EXPECT_FALSE(IsDoubtfulSyllable(s, u"di"));  // frequency 30
  EXPECT_TRUE(IsDoubtfulSyllable(s, u"dã"));
}

TEST(Syllables, MissingOrEmptyFileGivesNoSyllables) {
  Syllables s;
  EXPECT_FALSE(ParseSyllables(s, "# only a comment\n\n", kDefaultSyllableFrequency));
  Lexicon lexicon;
  EXPECT_FALSE(LoadSyllables(lexicon, "/nonexistent/vi_syllables.txt", kDefaultSyllableFrequency));
}

}  // namespace
}  // namespace tonvira
