#include "engine/word_end.h"

#include <limits>

#include "app/apply_settings.h"
#include "config/settings.h"
#include "decide/compose_flags.h"
#include "decide/decision_labels.h"
#include "engine/key_path.h"
#include "engine/word_output.h"
#include "tests/engine/engine_fixture.h"

namespace tonvira {
namespace {

using WordEndTest = EngineFixture;

struct DecisionRow {
  const char16_t* keys;
  const char16_t* output;
  WordAction action;
  const char* reason;
};

void ExpectDecision(const DecisionRecord& r, const DecisionRow& row) {
  EXPECT_EQ(r.output, row.output);
  EXPECT_EQ(r.action, row.action);
  EXPECT_STREQ(r.reason, row.reason);
}

TEST_F(WordEndTest, EachCheckWithItsReason) {
  const DecisionRow rows[] = {
      {u"50000dd", u"50000đ", WordAction::Vietnamese, label::kCurrencyFix},
      {u"mp3", u"mp3", WordAction::English, label::kHasDigit},
      {u"iPhone", u"iPhone", WordAction::English, label::kCamelCase},
      {u"xem", u"xem", WordAction::Unchanged, label::kUnchanged},
      {u"ddc", u"đc", WordAction::Unchanged, label::kLoneLetter},  // đc: a đ shorthand
      {u"aa", u"â", WordAction::Unchanged, label::kLoneLetter},
      {u"Boris", u"Boris", WordAction::English, label::kProperName},       // Bói is no syllable in use
      {u"test", u"test", WordAction::English, label::kLeansEnglish},       // level 8 against tét (usage 1)
      {u"bans", u"bán", WordAction::Vietnamese, label::kLeansVietnamese},  // level 20 against bán (usage 3)
      {u"tieengs", u"tiếng", WordAction::Vietnamese, label::kNotEnglishWord},
      {u"boss", u"boss", WordAction::English, label::kNotSyllable},      // an everyday word keeps its keys
      {u"mixx", u"mix", WordAction::English, label::kNotSyllable},       // a deliberate undo
      {u"quartz", u"quartz", WordAction::English, label::kNotSyllable},  // the z took no tone on purpose
      // Rare words whose tone key a later letter repeats: no undo was meant.
      {u"necromancers", u"necromancers", WordAction::English, label::kNotSyllable},
      {u"thundersticks", u"thundersticks", WordAction::English, label::kNotSyllable},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    ExpectDecision(Decide(row.keys), row);
  }
}

TEST_F(WordEndTest, FieldAndSettingsChecks) {
  engine_.options.smartOn = 0;
  ExpectDecision(Decide(u"vieetj"), {nullptr, u"việt", WordAction::Vietnamese, label::kSmartOff});
  ExpectDecision(Decide(u"test"), {nullptr, u"tét", WordAction::Vietnamese, label::kSmartOff});
  ExpectDecision(Decide(u"abc"), {nullptr, u"abc", WordAction::Unchanged, label::kSmartOff});
  engine_.options.smartOn = 1;
  engine_.options.fieldClass = ContextClass::English;
  ExpectDecision(Decide(u"vieetj"), {nullptr, u"vieetj", WordAction::English, label::kEnglishContext});
  engine_.options.contextOn = 0;  // the class counts only with context on
  ExpectDecision(Decide(u"vieetj"), {nullptr, u"việt", WordAction::Vietnamese, label::kNotEnglishWord});
}

TEST_F(WordEndTest, ApostropheContractions) {
  ExpectDecision(Decide(u"don", u'\''), {nullptr, u"don", WordAction::English, label::kContraction});
  EXPECT_EQ(TypeLine(u"isn't it"), u"isn't it");
}

TEST_F(WordEndTest, LoneDDependsOnTheLean) {
  ExpectDecision(Decide(u"dd"), {nullptr, u"đ", WordAction::Unchanged, label::kLoneLetter});
  NewContext(engine_);
  SimField field(engine_);
  field.Type(u"the ");  // lean 4.0
  field.Type(u"dd ");
  EXPECT_EQ(field.Text(), u"the dd ");
  EXPECT_STREQ(engine_.decision.history.back().reason, label::kNotSyllable);
}

TEST_F(WordEndTest, SuffixesAndSentenceEnds) {
  EXPECT_EQ(TypeLine(u"-- "), u"-- ");
  EXPECT_EQ(TypeLine(u"vieetj. Tieengs"), u"việt. Tiếng");
  DecisionRecord r = Decide(u"vieetj.");
  EXPECT_EQ(r.output, u"việt");
  EXPECT_TRUE(engine_.memory.SentenceStart);
  Decide(u"vieetj");
  EXPECT_FALSE(engine_.memory.SentenceStart);
}

TEST_F(WordEndTest, ListMarkersKeepTheLineStart) {
  for (const char16_t* marker : {u"1.", u"12.", u"IV.", u"a)", u"TP.", u"2.1."}) {
    SCOPED_TRACE(std::u16string(marker).size());
    NewContext(engine_);
    SimField field(engine_);
    field.Type(marker);
    field.Type(u' ');
    EXPECT_TRUE(engine_.memory.LineStart);
    EXPECT_STREQ(engine_.decision.history.back().reason, label::kListMarker);
  }
  NewContext(engine_);
  SimField field(engine_);
  field.Type(u"1234. ");  // four digits are no list number
  EXPECT_FALSE(engine_.memory.LineStart);
}

TEST_F(WordEndTest, CapitalRuns) {
  EXPECT_EQ(TypeLine(u"VIEETJ NAM"), u"VIỆT NAM");
  EXPECT_EQ(TypeLine(u"XIX"), u"XIX");
  EXPECT_EQ(TypeLine(u"ASAP"), u"ASAP");
  EXPECT_EQ(TypeLine(u"TIEENGS"), u"TIẾNG");
  engine_.options.capsViOn = 0;
  EXPECT_EQ(TypeLine(u"TIEENGS"), u"TIEENGS");
}

TEST_F(WordEndTest, CapitalRunFlags) {
  NewContext(engine_);
  SimField field(engine_);
  field.Type(u"VIEETJ ");
  EXPECT_TRUE(engine_.memory.CapsRunVietnamese);
  EXPECT_FALSE(engine_.memory.CapsRunEnglishWord);
  field.Type(u"XIX ");  // a number inside the run leaves it as it was
  EXPECT_TRUE(engine_.memory.CapsRunVietnamese);
  field.Type(u"NAM ");  // nothing composed: the run goes on
  EXPECT_TRUE(engine_.memory.CapsRunVietnamese);
  field.Type(u"ASAP ");  // English
  EXPECT_FALSE(engine_.memory.CapsRunVietnamese);
  field.Type(u"VIEETJ ");
  field.Type(u"hello ");  // a lower-case word ends the run
  EXPECT_FALSE(engine_.memory.CapsRunVietnamese);
}

TEST_F(WordEndTest, SettingsReachTheEngine) {
  Settings settings;
  settings.method = 7;  // kept in the file, typed as Telex
  settings.old_tone = 1;
  settings.en_threshold = std::numeric_limits<float>::infinity();
  SimField field(engine_);
  field.Type(u"vieet");
  ApplySettingsToEngine(engine_, settings, &abbrevs_);
  EXPECT_EQ(engine_.options.method, InputMethod::Telex);
  EXPECT_EQ(engine_.options.classicPlacement, 0);
  EXPECT_FLOAT_EQ(engine_.options.enThreshold, 2.0f);
  EXPECT_EQ(engine_.options.abbrevTable, &abbrevs_);
  EXPECT_TRUE(EngineIdle(engine_));  // the word in progress was abandoned
  settings.method = 1;
  settings.en_threshold = 3.5f;
  ApplySettingsToEngine(engine_, settings, nullptr);
  EXPECT_EQ(engine_.options.method, InputMethod::Vni);
  EXPECT_FLOAT_EQ(engine_.options.enThreshold, 3.5f);
}

TEST_F(WordEndTest, Abbreviations) {
  engine_.options.abbrevTable = &abbrevs_;
  abbrevs_.expansions[u"vn"] = u"Việt Nam";
  abbrevs_.expansions[u"hb"] = u"hoà bình";
  abbrevs_.expansions[u"k2"] = u"không";
  EXPECT_EQ(TypeLine(u"vn "), u"Việt Nam ");
  EXPECT_EQ(TypeLine(u"hb "), u"hòa bình ");  // stored modern, shown in the user's classic style
  EXPECT_EQ(TypeLine(u"Hb "), u"Hòa bình ");
  EXPECT_EQ(TypeLine(u"HB "), u"HB ");     // ALL CAPS never expands
  EXPECT_EQ(TypeLine(u"k2 "), u"không ");  // the shape rules come after the lookup
  EXPECT_EQ(TypeLine(u"vn. "), u"Việt Nam. ");
  EXPECT_TRUE(engine_.memory.SentenceStart);
  engine_.options.classicPlacement = 0;
  EXPECT_EQ(TypeLine(u"hb "), u"hoà bình ");
  engine_.options.abbrevOn = 0;
  EXPECT_EQ(TypeLine(u"hb "), u"hb ");
}

TEST_F(WordEndTest, WordOutputWhileTyping) {
  struct Row {
    const char16_t* keys;
    uint8_t smart, autofix;
    ContextClass field;
    const char16_t* shown;
  } rows[] = {
      {u"50000dd", 1, 1, ContextClass::Auto, u"50000đ"},
      {u"50000dd", 1, 0, ContextClass::Auto, u"50000dd"},  // digits: shown as typed
      {u"50000dd", 0, 1, ContextClass::Auto, u"50000đ"},   // plain composition
      {u"vieetj-", 1, 1, ContextClass::Auto, u"việt-"},
      {u"vieetj", 1, 1, ContextClass::English, u"vieetj"},
      {u"boss", 1, 1, ContextClass::Auto, u"boss"},  // can no longer be a syllable
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::u16string(row.keys).size());
    NewContext(engine_);
    engine_.options.smartOn = row.smart;
    engine_.options.autofixOn = row.autofix;
    engine_.options.fieldClass = row.field;
    for (const char16_t* k = row.keys; *k; ++k) {
      AddChar(engine_, *k);
      AfterChar(engine_, *k);
    }
    EXPECT_EQ(WordOutput(engine_), row.shown);
  }
}

TEST_F(WordEndTest, BlockedFieldKeepsNothing) {
  engine_.options.blocked = 1;
  EXPECT_EQ(TypeLine(u"vieetj"), u"vieetj");
  EXPECT_EQ(WordOutput(engine_), u"");
}

TEST_F(WordEndTest, ComposeFlagsForTheWord) {
  constexpr uint32_t kAll = 44 | 19;
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"toio", false), kAll);
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"test", false), 44u);  // an English word
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"tes", false), kAll);
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"tes", true), 44u);    // could still become test
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"tês", false), kAll);  // not ASCII letters: not looked up
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"iPhone", false), 44u);
  engine_.memory.SentenceStart = 0;
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"Toio", false), 44u);  // capitalised mid-sentence
  engine_.options.fieldClass = ContextClass::Vietnamese;            // ...unless the field is Vietnamese
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"Toio", false), kAll);
  engine_.options.fieldClass = ContextClass::Auto;
  engine_.memory.EnglishLean = -1;
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"Toio", false), kAll);
  engine_.options.englishWords = nullptr;
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"test", false), kAll);
  engine_.options.freeMarksOn = 0;
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"toio", false), 0u);
  engine_.options.freeMarksOn = 1;
  engine_.options.blocked = 1;
  EXPECT_EQ(ComposeFlagsFor(Input(engine_), u"toio", false), 0u);
}

}  // namespace
}  // namespace tonvira
