#include "decide/autofix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "decide/corrector.h"
#include "decide/decision_labels.h"
#include "decide/lexicon.h"
#include "decide/skeleton_rules.h"
#include "engine/word_end.h"
#include "sim/sim_field.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

// --- currency ---

TEST(CurrencyFix, AmountsBeforeTheDongSign) {
  struct Row {
    const char16_t* keys;
    InputMethod method;
    const char16_t* expected;  // null: no fix
  } rows[] = {
      {u"100dd", InputMethod::Telex, u"100đ"},
      {u"1,5dd", InputMethod::Telex, u"1,5đ"},
      {u"1.500.000vndd", InputMethod::Telex, u"1.500.000vnđ"},
      {u"vndd", InputMethod::Telex, u"vnđ"},
      {u"20DD", InputMethod::Telex, u"20Đ"},
      {u"20VNDD", InputMethod::Telex, u"20VNĐ"},
      {u",5dd", InputMethod::Telex, nullptr},  // a number starts with a digit
      {u"5.dd", InputMethod::Telex, nullptr},  // ... and ends with one
      {u"20dD", InputMethod::Telex, nullptr},  // the second d as the first
      {u"dd", InputMethod::Telex, nullptr},    // no number, no vn
      {u"20ddd", InputMethod::Telex, nullptr},
      {u"20d9", InputMethod::Vni, u"20đ"},
      {u"20D9", InputMethod::Vni, u"20Đ"},
      {u"vnd9", InputMethod::Vni, u"vnđ"},
      {u"20dd", InputMethod::Vni, nullptr},
      {u"20d9", InputMethod::Telex, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    std::optional<CurrencyText> got = CurrencyFix(row.keys, row.method);
    if (row.expected) {
      ASSERT_TRUE(got);
      EXPECT_EQ(got->view(), row.expected);
    } else {
      EXPECT_FALSE(got);
    }
  }
}

// --- an engine over small word lists, so each outcome can be pinned ---

constexpr std::string_view kEnglish = "the 1 keep 4 gets 5 teen 18 gees 30 geef 40 geer 55 ";
constexpr std::string_view kSyllables =
    "học\t160\nhóc\t20\nbác\t100\nbạc\t95\ncái\t150\nghế\t100\nghể\t10\nghề\t4\ngà\t2\ntuyên\t100\n"
    "quyết\t120\ntên\t150\nthu\t50\ntrong\t200\nnghiêng\t40\ncân\t90\nđi\t180\nghét\t100\nanh\t180\n";

class AutofixTest : public testing::Test {
 protected:
  AutofixTest() {
    ParseEnglishWords(lexicon_.english, kEnglish);
    ParseSyllables(lexicon_.syllables, kSyllables, kDefaultSyllableFrequency);
    engine_.options.englishWords = &lexicon_.english;
    engine_.options.vietSyllables = &lexicon_.syllables;
    engine_.decision.recording = true;
  }

  // One word typed at the start of a fresh field and ended by a space.
  DecisionRecord Decide(std::u16string_view keys, float lean = 0) {
    NewContext(engine_);
    engine_.memory.EnglishLean = lean;
    engine_.decision.history.clear();
    SimField field(engine_);
    field.Type(keys);
    field.Type(u' ');
    EXPECT_EQ(engine_.decision.history.size(), 1u);
    return engine_.decision.history.empty() ? DecisionRecord{} : engine_.decision.history.back();
  }

  Lexicon lexicon_;
  Engine engine_;
};

struct LabelRow {
  const char16_t* keys;
  const char16_t* output;
  WordAction action;
  const char* reason;
  uint32_t fixKind;
};

void ExpectRow(const DecisionRecord& r, const LabelRow& row) {
  EXPECT_EQ(r.output, row.output);
  EXPECT_EQ(r.action, row.action);
  EXPECT_STREQ(r.reason, row.reason);
  EXPECT_EQ(r.fixKind, row.fixKind);
}

TEST_F(AutofixTest, EveryAcceptanceAndRefusal) {
  const LabelRow rows[] = {
      {u"hocf", u"học", WordAction::Vietnamese, label::kAutofix, kRuleStopTone},
      // quết is a well-formed syllable nobody writes: valid-syllable mode.
      {u"queets", u"quyết", WordAction::Vietnamese, label::kAutofixUnusedSyllable, kRuleUye},
      // bác and bạc are both common: the tone stays in doubt and the typed form stays.
      {u"bacf", u"bàc", WordAction::Vietnamese, label::kAutofixKeptUnfinished, kRuleStopTone},
      // gà has frequency 2: too rare to rename a capitalised word.
      {u"Ghaf", u"Ghaf", WordAction::English, label::kAutofixNameRefused, 0},
      {u"gets", u"gets", WordAction::English, label::kAutofixCommonEnglish, 0},
      // teeen is no English word, but its English form (the third e undoes the second) is.
      {u"teeen", u"teen", WordAction::English, label::kAutofixCommonEnglish, 0},
      {u"keep", u"keep", WordAction::English, label::kNotSyllable, 0},  // kêp has no candidate
      {u"gees", u"gees", WordAction::English, label::kAutofixEnglish, 0},
      {u"geer", u"ghể", WordAction::Vietnamese, label::kAutofix, kRuleAddH},  // too rare to block
      {u"100dd", u"100đ", WordAction::Vietnamese, label::kCurrencyFix, 12},
  };
  for (const LabelRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    ExpectRow(Decide(row.keys), row);
  }
}

TEST_F(AutofixTest, AMiddleEnglishWordGivesWayOnlyToVietnameseContext) {
  ExpectRow(Decide(u"gees"), {nullptr, u"gees", WordAction::English, label::kAutofixEnglish, 0});
  ExpectRow(Decide(u"gees", -0.5f), {nullptr, u"ghế", WordAction::Vietnamese, label::kAutofix, kRuleAddH});
  engine_.options.fieldClass = ContextClass::Vietnamese;
  ExpectRow(Decide(u"gees"), {nullptr, u"ghế", WordAction::Vietnamese, label::kAutofix, kRuleAddH});
  // ghề has frequency 4: below the minimum of 6 even in a Vietnamese field.
  ExpectRow(Decide(u"geef"), {nullptr, u"geef", WordAction::English, label::kAutofixEnglish, 0});
  engine_.options.contextOn = 0;  // the field class counts only with context on
  ExpectRow(Decide(u"gees"), {nullptr, u"gees", WordAction::English, label::kAutofixEnglish, 0});
}

TEST_F(AutofixTest, SettingsAndPlacesWithoutAutofix) {
  engine_.options.autofixOn = 0;
  DecisionRecord amount = Decide(u"100dd");
  EXPECT_EQ(amount.output, u"100dd");  // the ordinary decision: a word starting with a digit
  EXPECT_EQ(amount.action, WordAction::English);
  EXPECT_EQ(amount.fixKind, 0u);
  ExpectRow(Decide(u"hocf"), {nullptr, u"hocf", WordAction::English, label::kNotSyllable, 0});
  ExpectRow(Decide(u"htu"), {nullptr, u"htu", WordAction::Unchanged, label::kUnchanged, 0});
  engine_.options.autofixOn = 1;

  // A capitalised word in mid-sentence is a name: no correction.
  NewContext(engine_);
  SimField field(engine_);
  field.Type(u"anh Hocf ");
  EXPECT_EQ(field.Text(), u"anh Hocf ");
  EXPECT_STREQ(engine_.decision.history.back().reason, label::kNotSyllable);

  engine_.options.fieldClass = ContextClass::English;
  ExpectRow(Decide(u"hocf"), {nullptr, u"hocf", WordAction::English, label::kEnglishContext, 0});
}

TEST_F(AutofixTest, WithoutSyllableDataTheSwapIsNotTried) {
  engine_.options.vietSyllables = nullptr;
  ExpectRow(Decide(u"htu"), {nullptr, u"htu", WordAction::Unchanged, label::kUnchanged, 0});
  // The corrector still finds the one spelling repair; frequencies no longer rank anything.
  ExpectRow(Decide(u"ngieeng"), {nullptr, u"nghiêng", WordAction::Vietnamese, label::kAutofix, kRuleAddH});
}

// --- swapped keys ---

TEST(SwapFix, DigraphsTypedBackwards) {
  Syllables syllables;
  ParseSyllables(syllables,
                 "thu\t50\ntrong\t200\nnghiêng\t40\nnghe\t60\nnhanh\t80\nchao\t30\nthi\t1\nnghi\t60\n", 1);
  struct Row {
    const char16_t* keys;
    const char16_t* expected;
  } rows[] = {
      {u"htu", u"thu"},        {u"trogn", u"trong"},
      {u"ngee", nullptr},  // ngh + ee is no syllable before composition
      {u"ngeh", nullptr},      {u"ngie", nullptr},
      {u"ngi", u"nghi"},       {u"nge", u"nghe"},  // ngh before a front vowel
      {u"nhahn", u"nhanh"},                        // the end is tried first
      {u"hcao", u"chao"},      {u"hti", nullptr},  // thi has frequency 1
      {u"th", nullptr},                            // too short
      {u"Htu", nullptr},                           // a capital is no slip of two keys
      {u"htuuuuuuu", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    std::optional<std::u16string> got = SwapFix(row.keys, &syllables);
    if (row.expected) {
      ASSERT_TRUE(got);
      EXPECT_EQ(*got, row.expected);
    } else {
      EXPECT_FALSE(got);
    }
  }
  EXPECT_EQ(SwapFix(u"htu", nullptr), std::nullopt);
}

// --- the candidate search ---

class CorrectorTest : public testing::Test {
 protected:
  std::optional<CorrectorResult> Correct(std::u16string_view keys,
                                         CorrectorMode mode = CorrectorMode::InvalidSyllable,
                                         InputMethod method = InputMethod::Telex) {
    CorrectorParams p;
    p.mode = mode;
    p.method = method;
    p.syllables = withData_ ? &syllables_ : nullptr;
    return CorrectWord(keys, Compose(keys, method, true, true, kOrdinaryFlags), p);
  }
  void Load(std::string_view text) { ParseSyllables(syllables_, text, 1); }

  Syllables syllables_;
  bool withData_ = true;
};

TEST_F(CorrectorTest, KeyVariants) {
  Load("cân\t90\ncái\t150\nchưa\t170\nđi\t180\nnhận\t120\n");
  struct Row {
    const char16_t* keys;
    const char16_t* text;
    uint32_t kind;
    int cost;
  } rows[] = {
      {u"caaan", u"cân", kVariantOvershotTriple, 1},    {u"dddi", u"đi", kVariantOvershotTriple, 1},
      {u"nhaaanj", u"nhận", kVariantOvershotTriple, 1}, {u"hcuwa", u"chưa", kVariantSwappedDigraph, 2},
      {u"caais", u"cái", kVariantDoubledVowel, 9},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    std::optional<CorrectorResult> r = Correct(row.keys);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, row.text);
    EXPECT_EQ(r->fixKind, row.kind);
    EXPECT_EQ(r->cost, row.cost);
    EXPECT_EQ(r->keptUnfinished, 0);
  }
  std::optional<CorrectorResult> vni = Correct(u"ca6i1", CorrectorMode::InvalidSyllable, InputMethod::Vni);
  ASSERT_TRUE(vni);
  EXPECT_EQ(vni->text, u"cái");
  EXPECT_FALSE(Correct(u"caaaan"));  // four a are no overshot triple
}

TEST_F(CorrectorTest, RepairsRankedByCostThenFrequency) {
  Load("học\t160\nhóc\t20\nnghiệm\t90\ntiếng\t200\n");
  std::optional<CorrectorResult> r = Correct(u"hocf");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, u"học");
  EXPECT_EQ(r->frequency, 160);
  EXPECT_EQ(r->cost, 2);
  EXPECT_EQ(r->fixDetail, kRuleStopTone);
  // Two repairs in a row: the h of ngh, then the circumflex of iê.
  r = Correct(u"ngiemj");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, u"nghiệm");
  EXPECT_EQ(r->cost, 3);
  EXPECT_EQ(r->fixKind, kRuleAddH);
  EXPECT_EQ(r->fixDetail, (kRuleAddH << 4) | kRuleCircumflex);
  EXPECT_FALSE(Correct(u"xyzf"));  // nothing to repair
}

// The corrector's working texts are reused from word to word: whatever order the words come
// in, each one is corrected as it is alone (nothing of a longer or shorter word before stays).
TEST_F(CorrectorTest, EachWordIsCorrectedAsItIsAlone) {
  Load("học\t160\nhóc\t20\nnghiệm\t90\ntiếng\t200\ncân\t90\nnhận\t120\nchưa\t170\n");
  const std::vector<std::u16string> words = {u"ngiemj", u"hocf",  u"nhaaanj", u"caaan",  u"hcuwa",
                                             u"xyzf",   u"tieng", u"hoc",     u"ngiemjj"};
  auto describe = [](const std::optional<CorrectorResult>& r) {
    if (!r) return std::u16string(u"-");
    return r->text + u"/" + static_cast<char16_t>(u'0' + r->fixKind) + static_cast<char16_t>(u'0' + r->cost);
  };
  std::vector<std::u16string> forward;
  for (const std::u16string& w : words) forward.push_back(describe(Correct(w)));
  for (size_t i = words.size(); i-- > 0;) {
    SCOPED_TRACE(testing::Message() << "word " << i);
    EXPECT_EQ(describe(Correct(words[i])), forward[i]);
  }
  EXPECT_EQ(forward[0], u"nghiệm/33");
  EXPECT_EQ(forward[5], u"-");
}

// A doubt between two candidates gives nothing, or, for a stop tone, the typed form kept
// unfinished (bàc); a rival flagged d (dát: mostly đát without its stroke) or r (tuổn: what
// English makes) is set aside unless the best is too rare.
TEST_F(CorrectorTest, AmbiguitiesAndFlaggedRivals) {
  Load(
      "bác\t100\nbạc\t95\ntạp\t40\ntáp\t29\nmuốn\t100\nmướn\t95\ndạt\t40\ndát\t35\td\n"
      "tưởn\t40\ntuổn\t35\tr\nhát\t2\nhạt\t2\td\nlát\t3\nlạt\t2\td\n");
  struct Row {
    bool withData;
    const char16_t* keys;
    const char16_t* text;  // nullptr: no correction
    uint8_t kept;
  } rows[] = {
      {true, u"bacf", u"bàc", 1},
      {true, u"tapf", u"tạp", 0},    // ten points apart: no doubt left
      {true, u"muons", nullptr, 0},  // uô or ươ: both in use
      {true, u"datf", u"dạt", 0},
      {true, u"tuonr", u"tưởn", 0},
      {true, u"hatf", u"hàt", 1},
      {true, u"latf", u"lát", 0},
      // Without data every frequency is 0: two candidates are always a doubt.
      {false, u"muons", nullptr, 0},
      {false, u"bacf", u"bàc", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    withData_ = row.withData;
    std::optional<CorrectorResult> r = Correct(row.keys);
    ASSERT_EQ(r.has_value(), row.text != nullptr);
    if (!r) continue;
    EXPECT_EQ(r->text, row.text);
    EXPECT_EQ(r->keptUnfinished, row.kept);
  }
}

TEST_F(CorrectorTest, ValidSyllableModeTakesOnlyOverTypedKeys) {
  Load("học\t160\nquyết\t120\nđồng\t150\n");
  EXPECT_FALSE(Correct(u"hocs", CorrectorMode::ValidSyllable));  // hóc stays hóc
  ASSERT_TRUE(Correct(u"hocs"));
  std::optional<CorrectorResult> r = Correct(u"queets", CorrectorMode::ValidSyllable);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, u"quyết");
  r = Correct(u"ddooongf", CorrectorMode::ValidSyllable);  // đòong: the third o undid the ô
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, u"đồng");
  EXPECT_EQ(r->fixKind, kVariantOvershotTriple);
  EXPECT_EQ(r->fixDetail, kVariantOvershotTriple);
}

// --- typos Vietnamese typists make, against the shipped word lists ---

class ShippedTypos : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lexicon_ = new Lexicon;
    std::filesystem::path data = TONVIRA_DATA_DIR;
    loaded_ = LoadEnglishWords(*lexicon_, data / "en_words.txt") &&
              LoadSyllables(*lexicon_, data / "vi_syllables.txt", kDefaultSyllableFrequency);
  }
  static void TearDownTestSuite() { delete lexicon_; }

  DecisionRecord Decide(std::u16string_view keys, InputMethod method) {
    Engine e;
    e.options.englishWords = &lexicon_->english;
    e.options.vietSyllables = &lexicon_->syllables;
    e.options.method = method;
    e.decision.recording = true;
    SimField field(e);
    field.Type(keys);
    field.Type(u' ');
    return e.decision.history.empty() ? DecisionRecord{} : e.decision.history.back();
  }

  static Lexicon* lexicon_;
  static bool loaded_;
};
Lexicon* ShippedTypos::lexicon_ = nullptr;
bool ShippedTypos::loaded_ = false;

TEST_F(ShippedTypos, CorrectedOrLeftAlone) {
  ASSERT_TRUE(loaded_);
  constexpr auto T = InputMethod::Telex;
  constexpr auto V = InputMethod::Vni;
  struct Row {
    const char16_t* keys;
    InputMethod method;
    const char16_t* output;
    const char* reason;
  } rows[] = {
      // Two keys of a consonant pair swapped.
      {u"trogn", T, u"trong", label::kSwapFix},
      {u"htu", T, u"thu", label::kSwapFix},
      {u"rtong", T, u"trong", label::kSwapFix},
      {u"hcuwa", T, u"chưa", label::kAutofix},
      {u"hkoong", T, u"không", label::kAutofix},
      {u"hpair", T, u"phải", label::kAutofix},
      {u"gnuowif", T, u"người", label::kAutofix},
      {u"hgees", T, u"ghế", label::kAutofix},
      {u"tihcs", T, u"tích", label::kAutofix},
      {u"hcuyeenr", T, u"chuyển", label::kAutofix},
      // A vowel key missing: the circumflex or horn of a pair.
      {u"nguoif", T, u"người", label::kAutofix},
      {u"tiengs", T, u"tiếng", label::kAutofix},
      {u"ddiemr", T, u"điểm", label::kAutofix},
      {u"vietj", T, u"việt", label::kAutofix},
      {u"nguoi2", V, u"người", label::kAutofix},
      // A vowel key doubled or tripled.
      {u"caais", T, u"cái", label::kAutofix},
      {u"cuaar", T, u"của", label::kAutofix},
      {u"caaan", T, u"cân", label::kAutofix},
      {u"dddi", T, u"đi", label::kAutofix},
      {u"nhaaanj", T, u"nhận", label::kAutofix},
      {u"ddooongf", T, u"đồng", label::kAutofixUnusedSyllable},
      {u"ca6i1", V, u"cái", label::kAutofix},
      // A tone on a stop final that takes only sắc or nặng.
      {u"hocf", T, u"học", label::kAutofix},
      {u"sachf", T, u"sách", label::kAutofix},
      {u"dichf", T, u"dịch", label::kAutofix},
      {u"cacf", T, u"các", label::kAutofix},
      {u"Hocf", T, u"Học", label::kAutofix},
      {u"Hkoong", T, u"Không", label::kAutofix},
      {u"ho5c2", V, u"học", label::kAutofix},
      {u"bacf", T, u"bàc", label::kAutofixKeptUnfinished},  // bác or bạc
      {u"bac2", V, u"bàc", label::kAutofixKeptUnfinished},
      // Spelling: ngh, gh and uyê.
      {u"ngieemj", T, u"nghiệm", label::kAutofix},
      {u"ngiax", T, u"nghĩa", label::kAutofix},
      {u"nghanhf", T, u"ngành", label::kAutofix},
      {u"ghaf", T, u"gà", label::kAutofix},
      {u"tueen", T, u"tuyên", label::kAutofix},
      {u"chueenr", T, u"chuyển", label::kAutofix},
      {u"queets", T, u"quyết", label::kAutofixUnusedSyllable},
      {u"ngie6m5", V, u"nghiệm", label::kAutofix},
      {u"gha2", V, u"gà", label::kAutofix},
      // English words the corrector could bend stay as typed.
      {u"gets", T, u"gets", label::kAutofixCommonEnglish},
      {u"keep", T, u"keep", label::kAutofixCommonEnglish},
      {u"loop", T, u"loop", label::kAutofixCommonEnglish},
      {u"gees", T, u"gees", label::kAutofixEnglish},
      {u"book", T, u"book", label::kNotSyllable},
      {u"feet", T, u"feet", label::kNotSyllable},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    DecisionRecord r = Decide(row.keys, row.method);
    EXPECT_EQ(r.output, row.output);
    EXPECT_STREQ(r.reason, row.reason);
  }
}

}  // namespace
}  // namespace tonvira
