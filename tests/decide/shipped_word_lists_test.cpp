// Spot values of the shipped word lists: they must hold real frequency data, not just rows.
#include <gtest/gtest.h>

#include <filesystem>

#include "decide/lexicon.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

class ShippedWordLists : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lexicon_ = new Lexicon;
    std::filesystem::path data = TONVIRA_DATA_DIR;
    loadedEnglish_ = LoadEnglishWords(*lexicon_, data / "en_words.txt");
    loadedSyllables_ = LoadSyllables(*lexicon_, data / "vi_syllables.txt", kDefaultSyllableFrequency);
  }
  static void TearDownTestSuite() { delete lexicon_; }

  static Lexicon* lexicon_;
  static bool loadedEnglish_;
  static bool loadedSyllables_;
};
Lexicon* ShippedWordLists::lexicon_ = nullptr;
bool ShippedWordLists::loadedEnglish_ = false;
bool ShippedWordLists::loadedSyllables_ = false;

TEST_F(ShippedWordLists, EnglishLevelsFollowEverydayUse) {
  ASSERT_TRUE(loadedEnglish_);
  const EnglishWords& en = lexicon_->english;
  EXPECT_GT(en.size(), 90000u);
  for (const char16_t* top : {u"the", u"and", u"you", u"is", u"of"}) EXPECT_EQ(EnglishLevel(&en, top), 1);
  EXPECT_LE(EnglishLevel(&en, u"test"), 12);
  EXPECT_LE(EnglishLevel(&en, u"office"), 12);
  EXPECT_LE(EnglishLevel(&en, u"email"), 25);
  EXPECT_GT(EnglishLevel(&en, u"email"), EnglishLevel(&en, u"the"));
  EXPECT_GE(EnglishLevel(&en, u"wifi"), 51);  // known only from the spelling list
  EXPECT_GE(EnglishLevel(&en, u"don"), 51);   // contraction fragments are no everyday words
  EXPECT_GE(EnglishLevel(&en, u"ll"), 51);
  EXPECT_TRUE(IsEnglishPrefix(en, u"meetin"));
  EXPECT_FALSE(IsEnglishPrefix(en, u"nguw"));
}

TEST_F(ShippedWordLists, SyllableFrequenciesFollowVietnameseUse) {
  ASSERT_TRUE(loadedSyllables_);
  const Syllables& vi = lexicon_->syllables;
  EXPECT_GT(vi.frequency.size(), 5000u);
  for (const char16_t* common : {u"không", u"người", u"của", u"là", u"và", u"có", u"một", u"được", u"tôi"}) {
    EXPECT_GE(SyllableFrequency(vi, common), 30) << std::u16string(common).size();
  }
  EXPECT_GT(SyllableFrequency(vi, u"đi"), SyllableFrequency(vi, u"di"));
  EXPECT_GE(SyllableFrequency(vi, u"đã"), SyllableFrequency(vi, u"dã") + 10);
  EXPECT_TRUE(IsDFlagged(vi, u"dã"));
  EXPECT_FALSE(IsDFlagged(vi, u"đã"));
  EXPECT_TRUE(IsRFlagged(vi, u"tủn"));  // what Telex makes of "turn"
  EXPECT_EQ(SyllableFrequency(vi, u"hòa"), SyllableFrequency(vi, u"hoà"));
  EXPECT_GT(SyllableFrequency(vi, u"hòa"), 0);
  EXPECT_EQ(SyllableFrequency(vi, u"the"), 1);  // an English word needs Vietnamese evidence
}

}  // namespace
}  // namespace tonvira
