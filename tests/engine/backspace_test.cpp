// Backspace inside a word, reopening the word just finished, and the word-end paths that
// depend on them, typed through a simulated field.
#include "engine/backspace.h"

#include "decide/decision_labels.h"
#include "engine/key_path.h"
#include "engine/word_output.h"
#include "tests/engine/engine_fixture.h"

namespace tonvira {
namespace {

class BackspaceTest : public EngineFixture {
 protected:
  std::u16string Keys(std::u16string_view keys) {
    NewContext(engine_);
    engine_.committed.committedText.clear();
    engine_.decision.history.clear();
    field_ = std::make_unique<SimField>(engine_);
    field_->TypeKeys(keys);
    return field_->Text();
  }
  std::unique_ptr<SimField> field_;
};

struct Row {
  const char16_t* keys;
  const char16_t* shown;
};

TEST_F(BackspaceTest, ShortensTheWordBeingTyped) {
  engine_.options.smartOn = 0;
  const Row rows[] = {
      {u"tieengs{BS}", u"tiến"},
      {u"tieengs{BS}{BS}", u"tiế"},
      {u"tieengs{BS}{BS}{BS}", u"ti"},
      {u"tieengs{BS}f", u"tiền"},
      {u"huwowng{BS}", u"hươn"},
      {u"huwowng{BS}{BS}{BS}", u"hư"},
      {u"tra{BS}", u"tr"},
      {u"as{BS}", u""},
      {u"tuw{BS}", u"t"},
      {u"vieej{BS}", u"vi"},
      {u"vieej{BS}s", u"ví"},  // back to keys: the next tone composes
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(Keys(row.keys), row.shown);
  }
  Keys(u"tieengs{BS}");
  EXPECT_EQ(engine_.word.mode, WordMode::Composed);
  EXPECT_EQ(engine_.word.composedPrefix, u"tiến");
  Keys(u"tieengs{BS}{BS}{BS}");
  EXPECT_EQ(engine_.word.mode, WordMode::Keys);
  EXPECT_EQ(engine_.word.keys, u"ti");
}

// The engine forgets the word; the screen keeps what is left of it, and the next key starts anew.
TEST_F(BackspaceTest, WithBsEditOffTheWordIsForgotten) {
  engine_.options.bsEditOn = 0;
  EXPECT_EQ(Keys(u"tieengs{BS}"), u"tiến");
  EXPECT_EQ(Keys(u"tieengs{BS}f"), u"tiếnf");
}

TEST_F(BackspaceTest, ReopenedWordIsCorrectedInPlace) {
  const Row rows[] = {
      {u"hoaf {BS}s", u"hóa"},       {u"tieengs {BS}f", u"tiềng"}, {u"tieengs {BS}fz", u"tiêng"},
      {u"hoaf {BS}a", u"hoầ"},       {u"hoaf {BS}w", u"hoằ"},      {u"hoaf {BS}n", u"hoàn"},
      {u"hoaf {BS}i", u"hoài"},      {u"ban {BS}w", u"băn"},       {u"ban {BS}g", u"bang"},
      {u"ban {BS}gs", u"báng"},      {u"ban {BS}s ", u"bán "},  // the user's edit stands
      {u"tieengs {BS}n", u"tiếngn"},  // not a syllable: the word goes back, n starts a new one
      {u"hoaf {BS}e", u"hòae"},      {u"hoaf {BS}c", u"hòac"},  // hoàc ends in c without sắc
      {u"ban {BS}i", u"bani"},       {u"ban {BS}gi", u"bangi"},    {u"ban {BS}si", u"bansi"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(Keys(row.keys), row.shown);
  }
}

TEST_F(BackspaceTest, AddCharResults) {
  Keys(u"ban {BS}");
  EXPECT_EQ(AddChar(engine_, u'g'), AddCharResult::None);
  AfterChar(engine_, u'g');
  EXPECT_EQ(AddChar(engine_, u'i'), AddCharResult::Redraw);
  EXPECT_EQ(engine_.word.displayPrefix, u"ban");
  AfterChar(engine_, u'i');
  EXPECT_EQ(WordOutput(engine_), u"gi");
  EXPECT_EQ(engine_.committed.committedText, u"ban");

  Keys(u"tieengs {BS}");
  EXPECT_EQ(AddChar(engine_, u'n'), AddCharResult::NewWord);
  EXPECT_EQ(engine_.committed.committedText, u"tiếng");
}

TEST_F(BackspaceTest, ReopenedWordCommittedAgainUnchanged) {
  Keys(u"the tieengs ");
  float lean = engine_.memory.EnglishLean;
  uint32_t language = engine_.memory.LastLanguage;
  EXPECT_EQ(Keys(u"the tieengs {BS} "), u"the tiếng ");
  EXPECT_EQ(engine_.committed.committedText, u"the tiếng ");
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, lean);
  EXPECT_EQ(engine_.memory.LastLanguage, language);
  EXPECT_EQ(Keys(u"tieengs {BS} {BS} "), u"tiếng ");  // and again
}

TEST_F(BackspaceTest, AReopenedWordShortenedByHandIsAWordOfItsOwn) {
  EXPECT_EQ(Keys(u"hm {BS}{BS}f"), u"hf");
  EXPECT_EQ(engine_.committed.committedText, u"");  // "hm" does not come back behind the screen's back
  EXPECT_EQ(Keys(u"ban {BS}{BS}f "), u"bà ");
  EXPECT_EQ(engine_.committed.committedText, u"bà ");
}

TEST_F(BackspaceTest, ReopensOnlyAfterAWordCommittedByASpace) {
  EXPECT_EQ(Keys(u"ban, {BS}s"), u"ban,s");  // the last reopenable word is older
  EXPECT_EQ(engine_.committed.committedText, u"ban, ");
  Keys(u"ban ");
  ClearCommittedText(engine_);  // a password field, the size limit
  EXPECT_EQ(ReopenWord(engine_), u"");
  Keys(u"ban ");
  engine_.committed.committedText.clear();  // emptied behind its back: the stale length is refused
  EXPECT_EQ(ReopenWord(engine_), u"");
  EXPECT_EQ(engine_.committed.committedText, u"");
}

TEST_F(BackspaceTest, EditedWordsKeepWhatIsShown) {
  EXPECT_EQ(Keys(u"tieengs{BS}{BS} "), u"tiế ");
  EXPECT_STREQ(engine_.decision.history.back().reason, label::kManualEdit);
  EXPECT_EQ(Keys(u"boss{BS} "), u"bos ");  // shown as typed: not recomposed into bó
  EXPECT_STREQ(engine_.decision.history.back().reason, label::kKeepShown);
}

TEST_F(BackspaceTest, AnEditedWordEndingASentenceEndsIt) {
  Keys(u"xin tieengs{BS}. ");
  EXPECT_STREQ(engine_.decision.history.back().reason, label::kManualEdit);
  EXPECT_TRUE(engine_.memory.SentenceStart);
  Keys(u"xin tieengs{BS} ");
  EXPECT_FALSE(engine_.memory.SentenceStart);
}

TEST_F(BackspaceTest, AWordKeptAsTypedIsReopenedAsShown) {
  EXPECT_EQ(Keys(u"boss {BS}"), u"boss");  // its keys alone would show bos
  EXPECT_EQ(engine_.word.keys, u"boss");
  EXPECT_EQ(Keys(u"boss {BS}{BS}"), u"bos");  // held as shown until the next key
  EXPECT_EQ(Keys(u"boss {BS}{BS} "), u"bos ");
  EXPECT_EQ(Keys(u"boss {BS}{BS}s "), u"boss ");  // the letters left are keys again
  EXPECT_EQ(Keys(u"max {BS}s"), u"má");           // a tone key still corrects in place
  EXPECT_EQ(Keys(u"boss {BS}e "), u"bosse ");     // any other key starts the next word
}

TEST_F(BackspaceTest, TypingBackWhatABackspaceRemovedRestoresTheWord) {
  Keys(u"vieetj{BS}");
  EXPECT_EQ(engine_.word.mode, WordMode::Composed);  // việ: no fewer keys show it
  Keys(u"vieetj{BS}t");
  EXPECT_EQ(engine_.word.mode, WordMode::Keys);
  EXPECT_EQ(engine_.word.keys, u"vieetj");
  EXPECT_FALSE(engine_.decision.backspaceTouched);  // as if never deleted: autofix applies again
  Keys(u"tieengs{BS}{BS}ng");
  EXPECT_EQ(engine_.word.keys, u"tieengs");
  Keys(u"vieetj{BS}n");  // something else: an edit
  EXPECT_EQ(WordOutput(engine_), u"viện");
  EXPECT_TRUE(engine_.decision.backspaceTouched);
}

TEST_F(BackspaceTest, DottedWords) {
  const Row rows[] = {
      {u"tooi.docx ", u"tôi.docx "},
      {u"report.pdf ", u"report.pdf "},  // the left part stays English: decided whole, written once
      {u"Readme.TXT ", u"Readme.TXT "},
      {u"vieetj.txt. ", u"việt.txt. "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(Keys(row.keys), row.shown);
    EXPECT_EQ(engine_.committed.committedText, row.shown);
  }
}

TEST_F(BackspaceTest, InnerSlashSplitsTheWord) {
  EXPECT_EQ(Keys(u"vaf/bao"), u"và/bao");
  EXPECT_EQ(Keys(u"vaf/bao "), u"và/bao ");
  EXPECT_EQ(engine_.committed.committedText, u"và/bao ");
  EXPECT_EQ(Keys(u"vaf--tooi "), u"và--tôi ");
  EXPECT_EQ(Keys(u"http://x"), u"http://x");  // "http:" has a colon: not letters only
}

}  // namespace
}  // namespace tonvira
