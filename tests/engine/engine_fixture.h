// An engine over small word lists written in the test, so each decision can be pinned.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "config/abbrev_table.h"
#include "decide/lexicon.h"
#include "engine/engine.h"
#include "sim/sim_field.h"

namespace tonvira {

// Levels: 1 most frequent. Frequencies: 1-255, +10 is ten times more frequent.
inline constexpr std::string_view kTestEnglish =
    "the 1 and 1 to 1 can 2 so 2 is 1 it 1 of 1 in 1 me 3 go 4 ok 5 test 8 file 9 email 10 boss 12 "
    "slide 14 sang 30 tin 25 pin 22 ban 24 con 28 mix 20 quartz 40 asap 30 docs 15 office 12 "
    "hiss 40 bans 20 gary 30 boris 35 via 16 bay 18 can 2 sin 20 chin 25 max 13 don 15 isn 30 ";

inline constexpr std::string_view kTestSyllables =
    "tiếng\t200\nviệt\t180\nlà\t220\nngôn\t120\nngữ\t110\ncủa\t230\nngười\t210\ncái\t150\nnày\t190\n"
    "nhé\t120\nanh\t180\nxem\t120\nlại\t170\nlai\t60\ntôi\t200\nđi\t180\ndi\t30\td\nđã\t190\ndã\t2\td\n"
    "học\t160\nsáng\t120\nsang\t130\ntin\t110\npin\t60\nbán\t120\nban\t110\ncon\t170\ncó\t230\nmột\t210\n"
    "và\t230\nhòa\t90\nhoà\t90\nbình\t100\nnam\t150\nthe\t5\nmĩ\t20\nsin\t15\nchín\t90\nbay\t100\n"
    "mưa\t110\ntrong\t200\nđược\t220\nkhông\t230\nquá\t120\nnhà\t190\nphố\t100\nbóng\t90\nđá\t110\n"
    "mã\t100\ntủn\t3\tr\nđầu\t160\nvào\t200\nxin\t120\nchào\t120\nbạn\t180\nmai\t100\nhẹn\t60\ngặp\t110\n";

class EngineFixture : public testing::Test {
 protected:
  EngineFixture() {
    ParseEnglishWords(lexicon_.english, kTestEnglish);
    ParseSyllables(lexicon_.syllables, kTestSyllables, kDefaultSyllableFrequency);
    engine_.options.englishWords = &lexicon_.english;
    engine_.options.vietSyllables = &lexicon_.syllables;
    engine_.decision.recording = true;
  }

  // Types text into a fresh field (a new window) and commits the last word as Tab would.
  std::u16string TypeLine(std::u16string_view text) {
    NewContext(engine_);
    engine_.committed.committedText.clear();
    engine_.decision.history.clear();
    SimField field(engine_);
    field.Type(text);
    field.Commit();
    return field.Text();
  }

  // The decision for one word typed into a fresh field and ended by the separator.
  DecisionRecord Decide(std::u16string_view keys, char16_t separator = u' ') {
    NewContext(engine_);
    engine_.decision.history.clear();
    SimField field(engine_);
    field.Type(keys);
    field.Type(separator);
    EXPECT_EQ(engine_.decision.history.size(), 1u);
    return engine_.decision.history.empty() ? DecisionRecord{} : engine_.decision.history.back();
  }

  Lexicon lexicon_;
  Engine engine_;
  AbbrevTable abbrevs_;
};

}  // namespace tonvira
