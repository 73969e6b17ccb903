// Text with keys in braces, typed through the pipeline on the simulated desktop.
#include "sim/sim_typing.h"

#include "tests/input/pipeline_fixture.h"

namespace tonvira {
namespace {

struct TypingRow {
  const char* name;
  const char16_t* keys;
  const char16_t* field;
};

class SimTypingTest : public PipelineTest, public testing::WithParamInterface<TypingRow> {};

TEST_P(SimTypingTest, TypesIntoTheField) {
  EXPECT_EQ(sim::TypeKeys(desktop(), GetParam().keys), std::nullopt);
  EXPECT_EQ(Field(), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Keys, SimTypingTest,
                         testing::Values(TypingRow{"Plain", u"tieengs Vieetj", u"tiếng Việt"},
                                         TypingRow{"BackspaceEditsTheWord", u"tieengs{BS}{BS}x", u"tiễ"},
                                         TypingRow{"LiteralBrace", u"{{a}", u"{a}"},
                                         TypingRow{"ArrowsAbandonTheWord", u"hoaf{LEFT}{LEFT}x{END} chaof",
                                                   u"hxòa chào"},
                                         TypingRow{"ShortcutTypesNothing", u"ban{CTRL+A}s", u"bans"},
                                         TypingRow{"DeleteAfterTheCaret", u"abc{HOME}{DEL}", u"bc"},
                                         TypingRow{"CharacterWithoutAKeyArrivesAsUnicode", u"Ếch", u"Ếch"},
                                         TypingRow{"EnterAndTab", u"vieetj\nban\tx", u"việt\nban\tx"}),
                         [](const testing::TestParamInfo<TypingRow>& info) { return info.param.name; });

TEST_F(PipelineTest, UnknownKeyNamesTypeNothing) {
  EXPECT_EQ(sim::TypeKeys(desktop(), u"ab{LEFTT}"), "unknown key {LEFTT}");
  EXPECT_EQ(sim::TypeKeys(desktop(), u"ab{BS"), "unclosed { in the text");
  EXPECT_EQ(sim::TypeKeys(desktop(), u"{CTRL+CLICK}"), "unknown key {CTRL+CLICK}");
  EXPECT_EQ(Field(), u"");
}

}  // namespace
}  // namespace tonvira
