// Whole sentences through the engine with the shipped word lists and pair table: the words
// where smart mode meets a common Vietnamese syllable spelt by an English word's keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "config/abbrev_table.h"
#include "tests/engine/engine_fixture.h"
#include "text/utf8.h"

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
    engine_.options.englishWords = &lexicon_.english;
    engine_.options.vietSyllables = &lexicon_.syllables;
    engine_.options.wordPairs = &lexicon_.pairs;
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

TEST_F(ShippedSentences, NoTypedCharacterIsLost) {
  ASSERT_TRUE(loaded_);
  struct Row {
    InputMethod method;
    const char16_t* keys;
    const char16_t* expected;
  } rows[] = {
      {InputMethod::Vni, u"pho2ng A101 ", u"phòng A101 "},
      {InputMethod::Vni, u"Samsung A50 ", u"Samsung A50 "},
      {InputMethod::Vni, u"A320 ", u"A320 "},
      {InputMethod::Vni, u"B52 ", u"B52 "},
      {InputMethod::Vni, u"vie65t Nam ", u"việt Nam "},  // a mark and a tone in a row still compose
      {InputMethod::Vni, u"to61t ", u"tốt "},
      {InputMethod::Telex, u"vnexpress.net messi bossfight.io sorryyy ",
       u"vnexpress.net messi bossfight.io sorryyy "},
      {InputMethod::Telex, u"banr-ddoof.pdf ", u"bản-đồ.pdf "},
      {InputMethod::Telex, u"Anh ddi roofi.Em owr nhaf ", u"Anh đi rồi.Em ở nhà "},
      {InputMethod::Telex, u"Console.WriteLine System.IO ", u"Console.WriteLine System.IO "},
      {InputMethod::Telex, u"Luwowng 15tr/thasng ", u"Lương 15tr/tháng "},
      {InputMethod::Telex, u"def tinh_tong(a, b): ", u"def tinh_tong(a, b): "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    engine_.options.method = row.method;
    EXPECT_EQ(TypeLine(row.keys), row.expected);
  }
}

TEST_F(ShippedSentences, ShippedAbbreviationsOnlyWhereVietnameseIsTyped) {
  ASSERT_TRUE(loaded_);
  ASSERT_TRUE(ReadAbbrevFile(abbrevs_, Utf8ToUtf16(TONVIRA_DATA_DIR "/abbrev.txt")));
  AbbrevTable shipped = abbrevs_;
  SetAbbrev(abbrevs_, u"hp", u"Hải Phòng");   // the user's own entry
  SetAbbrev(abbrevs_, u"cb", u"cố lên bạn");  // a shipped key the user gave another expansion
  engine_.options.abbrevTable = &abbrevs_;
  engine_.options.shippedAbbrevs = &shipped;
  struct Row {
    ContextClass field;
    const char16_t* keys;
    const char16_t* expected;
  } rows[] = {
      {ContextClass::English, u"ng serve ", u"ng serve "},  // a terminal: keys as typed
      {ContextClass::English, u"cd tp ", u"cd tp "},
      {ContextClass::English, u"git log --oneline ko ", u"git log --oneline ko "},
      {ContextClass::Auto, u"src/ng/app/main.ts ", u"src/ng/app/main.ts "},  // path segments
      {ContextClass::Auto, u"api/tk/list ", u"api/tk/list "},
      {ContextClass::Auto, u"tk.txt ", u"tk.txt "},
      {ContextClass::Auto, u"I need the dc for this ", u"I need the dc for this "},
      {ContextClass::Auto, u"ng owi ko dc ", u"người ơi không được "},  // a message starts at lean 0
      {ContextClass::Auto, u"ok ng owi ", u"ok người ơi "},  // one English word is not clearly English
      {ContextClass::Auto, u"I need the hp for this ", u"I need the Hải Phòng for this "},
      {ContextClass::Auto, u"I need the cb for this ", u"I need the cố lên bạn for this "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    engine_.options.fieldClass = row.field;
    EXPECT_EQ(TypeLine(row.keys), row.expected);
  }
}

// Words of letters and digits, with doubled keys and capitals more often than chance would
// give them: whatever the decisions keep in Latin letters shows exactly its keys, unless what
// it shows is a known English word (a deliberate undo: mixx for mix).
TEST_F(ShippedSentences, AWordKeptAsTypedShowsEveryKey) {
  ASSERT_TRUE(loaded_);
  constexpr std::u16string_view kKeys = u"abcdefghijklmnopqrstuvwxyzAEIODSRFJXW0123456789";
  std::mt19937 random(20261206);
  int kept = 0;
  for (InputMethod method : {InputMethod::Telex, InputMethod::Vni}) {
    engine_.options.method = method;
    for (int n = 0; n < 3000; ++n) {
      std::u16string word;
      size_t length = 1 + random() % 9;
      while (word.size() < length) {
        bool repeat = !word.empty() && random() % 4 == 0;
        word.push_back(repeat ? word.back() : kKeys[random() % kKeys.size()]);
      }
      std::u16string shown = TypeLine(word + u" ");
      if (engine_.decision.history.size() != 1) continue;
      const DecisionRecord& d = engine_.decision.history.back();
      if (d.action != WordAction::English) continue;
      ++kept;
      if (shown != word + u" ") {
        EXPECT_GE(EnglishLevel(&lexicon_.english, d.output), 1)
            << "keys [" << std::string(word.begin(), word.end()) << "] method " << static_cast<int>(method);
      }
    }
  }
  EXPECT_GT(kept, 1000);  // the property was put to the test
}

}  // namespace
}  // namespace tonvira
