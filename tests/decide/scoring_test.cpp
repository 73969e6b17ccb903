#include "decide/scoring.h"

#include "decide/decision_labels.h"
#include "tests/engine/engine_fixture.h"

namespace tonvira {
namespace {

class Scoring : public EngineFixture {
 protected:
  // A word of the given English level whose Vietnamese form is `form`.
  ScoreResult Score(std::string_view englishEntry, const char16_t* keys, const char16_t* form,
                    bool toneKey = false) {
    english_ = EnglishWords{};
    ParseEnglishWords(english_, englishEntry);
    engine_.options.englishWords = &english_;
    ComposeResult composed;
    composed.text = form;
    composed.toneBeforeMark = toneKey;
    return ScoreWord(Input(engine_), keys, composed);
  }
  EnglishWords english_;
};

TEST_F(Scoring, WeighsEnglishLevelAgainstVietnameseUsage) {
  // ban: usage 2 (weight 2.5); level 5 weighs 3.0.
  ScoreResult r = Score("ban 5", u"ban", u"ban");
  EXPECT_EQ(r.action, WordAction::English);
  EXPECT_EQ(r.code, ReasonCode::LeansEnglish);
  EXPECT_STREQ(r.label, label::kLeansEnglish);
  EXPECT_FLOAT_EQ(r.score, 0.5f);

  engine_.options.enThreshold = 3.0f;
  r = Score("ban 5", u"ban", u"ban");
  EXPECT_EQ(r.action, WordAction::Vietnamese);
  EXPECT_EQ(r.code, ReasonCode::LeansVietnamese);
  EXPECT_FLOAT_EQ(r.score, -0.5f);
}

TEST_F(Scoring, ATieKeepsVietnamese) {
  engine_.memory.EnglishLean = -0.5f;
  ScoreResult r = Score("ban 5", u"ban", u"ban");
  EXPECT_FLOAT_EQ(r.score, 0.0f);
  EXPECT_EQ(r.action, WordAction::Vietnamese);
  EXPECT_STREQ(r.label, label::kLeansVietnamese);
}

TEST_F(Scoring, FormOutsideTheUsageTableCountsAsUncommonUnlessFrequent) {
  // tủn (frequency 3) is rare: weighed as uncommon.
  ScoreResult r = Score("xyz 5", u"xyz", u"tủn");
  EXPECT_FLOAT_EQ(r.score, 4.0f);
  EXPECT_EQ(r.action, WordAction::English);
  engine_.memory.EnglishLean = -3.0f;
  engine_.options.enThreshold = 4.0f;
  r = Score("xyz 5", u"xyz", u"tủn");
  EXPECT_FLOAT_EQ(r.score, -1.0f);
  EXPECT_EQ(r.action, WordAction::Vietnamese);

  // việt is frequent: common (2.5), never "very common" from frequency alone.
  engine_.memory.EnglishLean = 0;
  engine_.options.enThreshold = 2.0f;
  EXPECT_FLOAT_EQ(Score("xyz 5", u"xyz", u"việt").score, 0.5f);
  engine_.options.vietSyllables = nullptr;  // without the syllable list the table is all there is
  EXPECT_FLOAT_EQ(Score("xyz 5", u"xyz", u"việt").score, 4.0f);
  engine_.options.vietSyllables = &lexicon_.syllables;
  EXPECT_FLOAT_EQ(Score("ban 5", u"ban", u"ban").score, 0.5f);  // the table wins where it has the form
}

TEST_F(Scoring, TheWordBeforeWeighsTheTwoReadings) {
  WordPairs pairs;
  ParseWordPairs(pairs, "v\tlà\tmã\t25\ne\tthe\tmax\t31\ne\tof\tmax\t8\nv\tof\tmã\t3\n");
  engine_.options.wordPairs = &pairs;
  struct Row {
    const char16_t* committed;
    float score;  // level 5 (3.0) against mã outside the test lists' table but frequent (2.5)
  } rows[] = {
      {u"sau đó là ", 0.5f - 2.0f},  // 2.5 points for Vietnamese, held to 2
      {u"set the ", 0.5f + 2.0f},    // 3.1 for English, held to 2
      {u"one of ", 0.5f + 0.5f},     // both seen: the difference counts
      {u"là. ", 0.5f},               // a sentence end: no word before
      {u"", 0.5f},
      {u"what ", 0.5f},  // a word never seen before either
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    engine_.committed.committedText = row.committed;
    EXPECT_FLOAT_EQ(Score("max 5", u"max", u"mã").score, row.score);
  }
  engine_.options.wordPairs = nullptr;
  engine_.committed.committedText = u"sau đó là ";
  EXPECT_FLOAT_EQ(Score("max 5", u"max", u"mã").score, 0.5f);
}

TEST_F(Scoring, ToneKeyVietnameseFieldAndBands) {
  EXPECT_FLOAT_EQ(Score("ban 5", u"ban", u"ban", /*toneKey=*/true).score, 2.5f);
  engine_.options.fieldClass = ContextClass::Vietnamese;
  EXPECT_FLOAT_EQ(Score("ban 5", u"ban", u"ban").score, 0.25f);
  engine_.options.contextOn = 0;  // the field class counts only with context on
  EXPECT_FLOAT_EQ(Score("ban 5", u"ban", u"ban").score, 0.5f);
  EXPECT_FLOAT_EQ(Score("ban 15", u"ban", u"ban").score, -0.5f);    // level 11-20 weighs 2.0
  EXPECT_FLOAT_EQ(Score("ban 35", u"ban", u"ban").score, -1.5f);    // 21-35 weighs 1.0
  EXPECT_FLOAT_EQ(Score("sang 5", u"sang", u"sang").score, -1.0f);  // usage 3 weighs 4.0
}

TEST_F(Scoring, ShortCuts) {
  struct Row {
    std::string_view english;
    const char16_t* keys;
    const char16_t* form;
    WordAction action;
    ReasonCode code;
    const char* label;
  } rows[] = {
      {"other 5", u"ban", u"ban", WordAction::Vietnamese, ReasonCode::Vietnamese, label::kNotEnglishWord},
      {"ban 36", u"ban", u"ban", WordAction::Vietnamese, ReasonCode::Vietnamese, label::kRareEnglishWord},
      {"via 35", u"via", u"via", WordAction::English, ReasonCode::UnusedSyllable,
       label::kUnusedSyllable},  // usage 0
      {"via 1", u"vía", u"vía", WordAction::Vietnamese, ReasonCode::Vietnamese,
       label::kNotEnglishWord},  // keys not ASCII
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.english);
    engine_.memory.EnglishLean = 4.0f;  // the short cuts ignore the lean
    ScoreResult r = Score(row.english, row.keys, row.form);
    EXPECT_EQ(r.action, row.action);
    EXPECT_EQ(r.code, row.code);
    EXPECT_STREQ(r.label, row.label);
  }
  engine_.options.englishWords = nullptr;
  ComposeResult composed;
  composed.text = u"ban";
  EXPECT_STREQ(ScoreWord(Input(engine_), u"ban", composed).label, label::kNotEnglishWord);
}

TEST_F(Scoring, LeanDeltaByCode) {
  // From the fixture: the 1 (function word), test 8, quartz 40; hello is not listed.
  struct Row {
    const char16_t* keys;
    WordAction action;
    ReasonCode code;
    float delta;
  } rows[] = {
      {u"test", WordAction::English, ReasonCode::Context, 0.0f},
      {u"test", WordAction::English, ReasonCode::Shape, 0.5f},
      {u"the", WordAction::English, ReasonCode::NotSyllable, 4.0f},
      {u"test", WordAction::English, ReasonCode::NotSyllable, 2.0f},
      {u"quartz", WordAction::English, ReasonCode::NotSyllable, 1.0f},
      {u"hello", WordAction::English, ReasonCode::NotSyllable, 1.0f},
      {u"test", WordAction::Vietnamese, ReasonCode::Vietnamese, -2.5f},
      {u"the", WordAction::English, ReasonCode::LeansEnglish, 4.0f},
      {u"test", WordAction::English, ReasonCode::UnusedSyllable, 2.0f},
      {u"test", WordAction::Vietnamese, ReasonCode::LeansVietnamese, -1.5f},
      {u"test", WordAction::Vietnamese, ReasonCode::Unchanged, -2.5f},  // code 2 with action 1
      {u"the", WordAction::Unchanged, ReasonCode::Unchanged,
       4.0f},  // the: a syllable of usage 1, and a function word
      {u"sang", WordAction::Unchanged, ReasonCode::Unchanged, -2.0f},   // 1.0 - 4.0 clamped
      {u"ban", WordAction::Unchanged, ReasonCode::Unchanged, -1.5f},    // 1.0 - 2.5
      {u"xem", WordAction::Unchanged, ReasonCode::Unchanged, -1.5f},    // a syllable, not an English word
      {u"quartz", WordAction::Unchanged, ReasonCode::Unchanged, 1.0f},  // not a syllable, rare English
      {u"test", WordAction::Unchanged, ReasonCode::Unchanged, 2.0f},    // not a syllable, everyday English
      {u"zzz", WordAction::Unchanged, ReasonCode::Unchanged, 0.0f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "code " << static_cast<int>(row.code) << " delta " << row.delta);
    EXPECT_FLOAT_EQ(LeanDelta(Input(engine_), row.keys, row.action, row.code), row.delta);
  }
}

TEST_F(Scoring, UpdateLeanDecaysClampsAndHalvesAtSentenceEnds) {
  engine_.memory.EnglishLean = 4.0f;
  UpdateLean(engine_.memory, engine_.options.weights, 4.0f, u"", u' ');
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, 4.0f);
  EXPECT_FALSE(engine_.memory.SentenceStart);
  UpdateLean(engine_.memory, engine_.options.weights, 4.0f, u".", u' ');
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, 2.0f);  // clamped to 4.0, then halved
  EXPECT_TRUE(engine_.memory.SentenceStart);
  engine_.memory.EnglishLean = -3.0f;
  UpdateLean(engine_.memory, engine_.options.weights, -2.5f, u"", u'?');
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, -1.5f);
  engine_.memory.EnglishLean = -3.0f;
  UpdateLean(engine_.memory, engine_.options.weights, -2.5f, u"", u',');
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, -3.0f);
}

}  // namespace
}  // namespace tonvira
