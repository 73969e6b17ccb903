#include "fcitx5/preedit_session.h"

#include <gtest/gtest.h>

#include "../engine/engine_fixture.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

// A field that shows a preedit: the committed text before the caret, then the preedit. The
// application's own handling of a key that was not taken is what an editor does.
struct PreeditField {
  std::u16string text;
  std::u16string preedit;
  bool surroundingText = true;

  void Apply(const FieldEdit& edit, char16_t key) {
    for (size_t n = edit.deleteBefore; n > 0 && !text.empty(); --n) text.pop_back();
    text += edit.commit;
    preedit = edit.preedit;
    if (edit.keyHandled) return;
    if (key == u'\b') {
      if (!text.empty()) text.pop_back();
    } else if (key != 0) {
      text.push_back(key);
    }
  }

  // {BS}, {ENTER}, {TAB}, {LEFT} as in tonvira-sim; anything else is a character.
  void TypeKeys(PreeditSession& session, std::u16string_view keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
      std::u16string_view rest = keys.substr(i);
      auto name = [&](std::u16string_view n) {
        if (!rest.starts_with(n)) return false;
        i += n.size() - 1;
        return true;
      };
      if (name(u"{BS}")) {
        Apply(session.Backspace(surroundingText ? &text : nullptr), u'\b');
      } else if (name(u"{ENTER}")) {
        Apply(session.CommitWord(true), u'\n');
      } else if (name(u"{TAB}")) {
        Apply(session.CommitWord(false), u'\t');
      } else if (name(u"{LEFT}")) {
        Apply(session.KeepWordAsShown(), 0);
      } else {
        Apply(session.TypeCharacter(keys[i]), keys[i]);
      }
    }
  }
};

class PreeditSessionTest : public EngineFixture {
 protected:
  PreeditSessionTest() {
    preeditEngine_.options = engine_.options;
    preeditEngine_.decision.recording = false;
  }

  std::u16string SimText(std::u16string_view keys) {
    NewContext(engine_);
    engine_.committed.committedText.clear();
    SimField field(engine_);
    field.TypeKeys(keys);
    return field.Text();
  }

  Engine preeditEngine_;
  PreeditSession session_{preeditEngine_};
  PreeditField field_;
};

// The preedit field shows, key by key, what the Windows program's screen shows for the same keys.
TEST_F(PreeditSessionTest, ShowsWhatTheWindowsProgramTypes) {
  const char16_t* rows[] = {
      u"tieengs vieetj laf ngoon nguwx cuar nguwowif Vieetj Nam. Test file ok",
      u"Anh xem lai cais slide nayf nhes, the boss is ok",
      u"vieetj{BS}{BS}t hoaf{BS}{BS}a ",
      u"tieengs {BS}f nam",
      u"tieengs {BS}{BS}{BS}x",
      u"ban {BS}g con ban {BS}gi hoaf {BS}e",
      u"the {BS}s file",
      u"abc{BS}{BS}{BS}{BS}xin chaof{ENTER}banj{TAB}toi",
      u"vieet{LEFT}j tooi",
      u"50000dd, 15tr/thang, vaf/bao",
  };
  for (bool bsEdit : {true, false}) {
    engine_.options.bsEditOn = preeditEngine_.options.bsEditOn = bsEdit;
    for (const char16_t* keys : rows) {
      SCOPED_TRACE(Utf16ToUtf8(keys) + (bsEdit ? "" : " (bs_edit off)"));
      NewContext(preeditEngine_);
      preeditEngine_.committed.committedText.clear();
      field_ = {};
      field_.TypeKeys(session_, keys);
      EXPECT_EQ(Utf16ToUtf8(field_.text + field_.preedit), Utf16ToUtf8(SimText(keys)));
    }
  }
}

TEST_F(PreeditSessionTest, TheWordInProgressIsThePreeditUntilItsSeparator) {
  field_.TypeKeys(session_, u"vieet");
  EXPECT_EQ(field_.preedit, u"viêt");
  EXPECT_EQ(field_.text, u"");
  field_.TypeKeys(session_, u"j");
  EXPECT_EQ(field_.preedit, u"việt");
  FieldEdit space = session_.TypeCharacter(u' ');
  EXPECT_EQ(space.commit, u"việt ");
  EXPECT_TRUE(space.keyHandled);
  // A separator after no word is left to the application.
  EXPECT_FALSE(session_.TypeCharacter(u',').keyHandled);
}

TEST_F(PreeditSessionTest, AWordIsReopenedOnlyWhenTheApplicationShowsItBeforeTheCaret) {
  field_.TypeKeys(session_, u"tieengs ");
  std::u16string other = u"tiếc ";
  FieldEdit edit = session_.Backspace(&other);
  EXPECT_FALSE(edit.keyHandled);  // the text was changed behind us: an ordinary backspace
  EXPECT_EQ(edit.deleteBefore, 0u);

  field_ = {};
  field_.TypeKeys(session_, u"tieengs ");
  edit = session_.Backspace(&field_.text);
  EXPECT_EQ(edit.deleteBefore, 6u);  // code points: "tiếng" and its space
  EXPECT_EQ(edit.preedit, u"tiếng");

  session_.SetField(u"editor", ContextClass::Auto, false, /*mayReopen=*/false);  // an address field
  field_ = {};
  field_.TypeKeys(session_, u"tieengs ");
  EXPECT_FALSE(session_.Backspace(&field_.text).keyHandled);
}

TEST_F(PreeditSessionTest, APasswordFieldLetsEveryKeyThroughAndKeepsNothing) {
  field_.TypeKeys(session_, u"vieetj ");
  session_.SetField(u"", ContextClass::Auto, /*blocked=*/true, true);
  field_ = {};
  field_.TypeKeys(session_, u"vieetj {BS}s{ENTER}");
  EXPECT_EQ(field_.text, u"vieetjs\n");
  EXPECT_EQ(field_.preedit, u"");
  EXPECT_TRUE(preeditEngine_.committed.committedText.empty());
}

}  // namespace
}  // namespace tonvira
