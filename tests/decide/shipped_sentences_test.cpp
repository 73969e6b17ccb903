// Whole sentences through the engine with the shipped word lists and pair table: the words
// where smart mode meets a common Vietnamese syllable spelt by an English word's keys.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine_fixture.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

class ShippedSentences : public EngineFixture {
 protected:
  ShippedSentences() {
    lexicon_ = Lexicon{};
    std::filesystem::path data = TONVIRA_DATA_DIR;
    loaded_ = LoadEnglishWords(lexicon_, data / "en_words.txt") &&
              LoadSyllables(lexicon_, data / "vi_syllables.txt", kDefaultSyllableFrequency) &&
              LoadWordPairs(lexicon_.pairs, data / "word_pairs.txt");
    engine_.englishWords = &lexicon_.english;
    engine_.vietSyllables = &lexicon_.syllables;
    engine_.wordPairs = &lexicon_.pairs;
  }
  bool loaded_ = false;
};

TEST_F(ShippedSentences, CommonSyllablesAgainstEnglishWords) {
  ASSERT_TRUE(loaded_);
  struct Row {
    const char16_t* keys;
    const char16_t* expected;
  } rows[] = {
      {u"Tooi ddang vieets mootj ddoanj vawn bawngf tieengs Vieetj raats daif vaf sau ddos laf max nguoofn "
       u"cuar "
       u"chuwong trinhf",
       u"Tôi đang viết một đoạn văn bằng tiếng Việt rất dài và sau đó là mã nguồn của chương trình"},
      {u"Doanh thu ddatj 5 tyr ddoongf", u"Doanh thu đạt 5 tỷ đồng"},
      {u"set the max value to 10", u"set the max value to 10"},
      {u"max and min", u"max and min"},
      {u"Max is here.", u"Max is here."},
      {u"Bamas max nguoofn ddeer xem", u"Bấm mã nguồn để xem"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(TypeLine(row.keys), row.expected);
  }
}

}  // namespace
}  // namespace tonvira
