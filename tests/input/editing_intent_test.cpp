// Editing checked against what the user meant, typed through the pipeline on the simulated
// desktop with the shipped word lists and abbreviations: a word edited after it was committed
// comes back as the user typed it (the editing identities over the whole lists run in the release
// build through intent-check).
#include <gtest/gtest.h>

#include <filesystem>

#include "config/abbrev_table.h"
#include "decide/lexicon.h"
#include "engine/engine.h"
#include "input/pipeline.h"
#include "sim/sim_desktop.h"
#include "sim/sim_typing.h"
#include "text/utf8.h"

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

}  // namespace
}  // namespace tonvira
