// Editing checked against what the user meant, typed through the pipeline on the simulated
// desktop with the shipped word lists and abbreviations: a word edited after it was committed
// comes back as the user typed it, and the editing identities hold over a sample of the lists
// (the full lists run in the release build through intent-check).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "config/abbrev_table.h"
#include "decide/lexicon.h"
#include "engine/engine.h"
#include "input/pipeline.h"
#include "sim/sim_desktop.h"
#include "sim/sim_typing.h"
#include "text/utf8.h"
#include "tools/intent/intent_identities.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

class EditingIntent : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    shipped_ = new Shipped;
    std::filesystem::path data = TONVIRA_DATA_DIR;
    ASSERT_TRUE(LoadEnglishWords(shipped_->lexicon, data / "en_words.txt"));
    ASSERT_TRUE(LoadSyllables(shipped_->lexicon, data / "vi_syllables.txt", kDefaultSyllableFrequency));
    ASSERT_TRUE(ReadAbbrevFile(shipped_->abbrevs, Utf8ToUtf16((data / "abbrev.txt").string())));
  }
  static void TearDownTestSuite() { delete shipped_; }

  // Types the keys (braces for special keys) into a fresh Notepad and returns its text.
  static std::u16string Typed(std::u16string_view keys) {
    Engine engine;
    engine.options.englishWords = &shipped_->lexicon.english;
    engine.options.vietSyllables = &shipped_->lexicon.syllables;
    engine.options.abbrevTable = &shipped_->abbrevs;
    sim::Desktop& desktop = sim::TheDesktop();
    desktop.Reset();
    Pipeline pipeline(engine);
    PublishedFocus published;
    desktop.PublishFocusTo(&published);
    pipeline.focusSource = &published;
    InstallHooks(pipeline);
    desktop.Focus(desktop.AddWindow({}));
    EXPECT_FALSE(sim::TypeKeys(desktop, keys).has_value());
    std::u16string text = desktop.Focused().text;
    RemoveHooks();
    desktop.Reset();
    return text;
  }

  struct Shipped {
    Lexicon lexicon;
    AbbrevTable abbrevs;
  };
  static Shipped* shipped_;
};
EditingIntent::Shipped* EditingIntent::shipped_ = nullptr;

struct EditRow {
  const char16_t* keys;
  const char16_t* meant;
};

TEST_F(EditingIntent, AWordEditedAfterItsSpaceComesBackAsTyped) {
  const EditRow rows[] = {
      // English words kept as typed: the letters left are the word's keys.
      {u"this {BS}{BS} ", u"thi "},
      {u"first {BS}{BS}t ", u"first "},
      {u"boss {BS}{BS}s ", u"boss "},
      {u"good {BS}{BS}d ", u"good "},
      {u"see {BS}{BS}e ", u"see "},
      {u"max {BS}{BS}e ", u"mae "},
      {u"this {BS}{BS}s ", u"this "},
      {u"was {BS}{BS}s ", u"was "},
      // A tone or mark key right after the reopen still corrects the word in place.
      {u"max {BS}s ", u"má "},
      {u"tieengs {BS}f ", u"tiềng "},
      {u"hoaf {BS}s ", u"hóa "},
      {u"hm {BS}{BS}f ", u"hf "},  // the reopened word shortened, then a key
      // Any other key leaves a word kept as typed as it was and starts the next one.
      {u"this {BS}e ", u"thise "},
  };
  for (const EditRow& row : rows) {
    EXPECT_EQ(Utf16ToUtf8(Typed(row.keys)), Utf16ToUtf8(row.meant)) << "keys: " << Utf16ToUtf8(row.keys);
  }
}

// Inside a word, a character deleted and typed again gives the word back as if never deleted:
// the same keys, decided the same way at the space.
TEST_F(EditingIntent, ACharacterTypedAgainGivesTheWordBack) {
  const EditRow rows[] = {
      {u"been{BS}n ", u"been "},        // bên on screen, bê after the backspace
      {u"was{BS}a ", u"was "},          // ứa on screen: English at the space all the same
      {u"tieengs{BS}g ", u"tieengs "},  // the tone key came last: the word goes on from tiến
      {u"boss{BS}s ", u"boss "},       {u"nguwowif{BS}{BS}owif ", u"nguwowif "},
  };
  for (const EditRow& row : rows) {
    EXPECT_EQ(Utf16ToUtf8(Typed(row.keys)), Utf16ToUtf8(Typed(row.meant)))
        << "keys: " << Utf16ToUtf8(row.keys);
  }
}

// Every identity holds for every word of the sample, except where a setting's design says
// otherwise (backspace editing off; keys taken back inside a word in plain Telex).
TEST_F(EditingIntent, IdentitiesHoldOverASampleOfTheWordLists) {
  std::filesystem::path data = TONVIRA_DATA_DIR;
  const char* strideText = std::getenv("TONVIRA_INTENT_STRIDE");
  size_t stride = strideText ? std::strtoul(strideText, nullptr, 10) : 40;
  std::vector<std::u16string> english = intent::EnglishWordsUpTo(data / "en_words.txt", 14);
  std::vector<std::u16string> syllables = intent::VietnameseSyllables(data / "vi_syllables.txt");
  ASSERT_GT(english.size(), 3000u);
  ASSERT_GT(syllables.size(), 6000u);

  for (InputMethod method : {InputMethod::Telex, InputMethod::Vni}) {
    std::vector<std::u16string> keys = english;
    for (const std::u16string& s : syllables) keys.push_back(intent::KeysForWord(s, method));
    for (int bits = 0; bits < 16; ++bits) {  // the Windows pipeline, then the Linux preedit session
      intent::Config config{method, (bits & 1) == 0, (bits & 2) == 0, (bits & 4) == 0, (bits & 8) != 0};
      SCOPED_TRACE(intent::ConfigName(config));
      intent::Report report;
      intent::RunIdentities(shipped_->lexicon, &shipped_->abbrevs, config, keys, report, stride);
      for (const intent::Tally& t : report) {
        ASSERT_GT(t.total, 200u);
        for (const intent::Failure& f : t.failures)
          EXPECT_TRUE(intent::IsExpectedException(f)) << f.Describe();
      }
      // Where nothing is excepted, nothing fails.
      if (config.bsEdit && (config.smart || method == InputMethod::Vni)) {
        for (const intent::Tally& t : report) EXPECT_EQ(t.held, t.total);
      }
    }
  }
}

}  // namespace
}  // namespace tonvira
