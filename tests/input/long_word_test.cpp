// Words far longer than composition reaches (a key held down): past kMaxComposeUnits the word
// is shown as typed, and a lower-case letter after a word that cannot be a syllable is appended
// without reading the word again. The screen, the pipeline's belief and the engine's output
// agree after every key, and each row shows what it showed when every key re-read the word.
#include <string>

#include "engine/key_path.h"
#include "engine/live_verdict.h"
#include "engine/word_output.h"
#include "tests/input/pipeline_fixture.h"

namespace tonvira {
namespace {

std::u16string Repeat(char16_t c, size_t count) {
  return std::u16string(count, c);
}

std::u16string Backspaces(size_t count) {
  return std::u16string(count, u'\b');
}

struct LongWordRow {
  const char* name;
  std::u16string keys;
  std::u16string shown;
};

class LongWordTest : public PipelineTest, public testing::WithParamInterface<LongWordRow> {};

TEST_P(LongWordTest, ShowsWhatEveryKeyReadingTheWordShowed) {
  const LongWordRow& row = GetParam();
  for (char16_t c : row.keys) {
    Type(std::u16string(1, c));
    if (c == u' ') continue;
    ASSERT_EQ(Field(), pipeline_.OnScreenWord) << "after U+" << std::hex << static_cast<int>(c);
    ASSERT_EQ(Field(), WordOutput(engine_)) << "after U+" << std::hex << static_cast<int>(c);
  }
  EXPECT_EQ(Field(), row.shown);
}

const std::u16string kSeventy = Repeat(u'a', 70);

INSTANTIATE_TEST_SUITE_P(
    Rows, LongWordTest,
    testing::Values(
        LongWordRow{"held_a", Repeat(u'a', 200) + u" ", Repeat(u'a', 200) + u" "},
        LongWordRow{"head_then_long_rest", u"vaf/" + Repeat(u'b', 100) + u" ",
                    u"và/" + Repeat(u'b', 100) + u" "},
        LongWordRow{"capital_inside", kSeventy + u"B" + kSeventy + u" ", kSeventy + u"B" + kSeventy + u" "},
        LongWordRow{"digit_inside", kSeventy + u"1" + kSeventy + u" ", kSeventy + u"1" + kSeventy + u" "},
        LongWordRow{"capitals_at_the_end", kSeventy + u"ABC ", kSeventy + u"ABC "},
        LongWordRow{"capitals_first", u"ABC" + kSeventy + u" ", u"ABC" + kSeventy + u" "},
        LongWordRow{"dot_inside", kSeventy + u"." + kSeventy + u" ", kSeventy + u"." + kSeventy + u" "},
        LongWordRow{"dash_run_then_letter", u"vieetj" + Repeat(u'-', 60) + u"a ",
                    u"việt" + Repeat(u'-', 60) + u"a "},
        LongWordRow{"back_under_the_limit", kSeventy + Backspaces(15) + u"s ", Repeat(u'a', 55) + u"s "},
        LongWordRow{"retyped_after_backspace", kSeventy + Backspaces(2) + u"aa ", kSeventy + u" "},
        LongWordRow{"mark_key_after_a_word", u"Vieetj" + kSeventy + u"w ", u"Vieetj" + kSeventy + u"w "}),
    [](const testing::TestParamInfo<LongWordRow>& info) { return std::string(info.param.name); });

// The verdict of a long word is the one every key worked out in full.
TEST(LongWordVerdict, AHeldKeyKeepsCannotBeSyllableWithoutReadingTheWord) {
  Engine e;
  for (int i = 0; i < 100; ++i) AfterChar(e, u'a');
  EXPECT_TRUE(e.decision.NotVietnamese());
  EXPECT_TRUE(ExtendsLongWordAsTyped(e));
  EXPECT_TRUE(AfterChar(e, u'a'));
  EXPECT_FALSE(AfterChar(e, u'B'));  // a capital may make a shape: read in full
  EXPECT_FALSE(AfterChar(e, u'c'));  // camelCase holds
}

}  // namespace
}  // namespace tonvira
