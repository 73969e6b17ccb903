// The event batch of one on-screen edit, and what SendEdit reports.
#include <gtest/gtest.h>

#include <vector>

#include "input/output.h"
#include "sim/sim_desktop.h"

namespace tonvira {
namespace {

OutputEvent Down(uint16_t vk) {
  return {vk, 0, 0};
}
OutputEvent Up(uint16_t vk) {
  return {vk, 0, kEventKeyUp};
}
OutputEvent CharDown(char16_t c) {
  return {0, c, kEventUnicode};
}
OutputEvent CharUp(char16_t c) {
  return {0, c, kEventUnicode | kEventKeyUp};
}

std::vector<OutputEvent> Batch(const OutputEdit& edit) {
  std::vector<OutputEvent> batch;
  BuildEditBatch(batch, edit);
  return batch;
}

TEST(OutputBatch, BackspacesThenUnicodeCharacters) {
  // "tieng" -> "tiếng": 3 backspaces and "ếng", twelve events.
  std::vector<OutputEvent> want = {Down(8),        Up(8),        Down(8),        Up(8),
                                   Down(8),        Up(8),        CharDown(u'ế'), CharUp(u'ế'),
                                   CharDown(u'n'), CharUp(u'n'), CharDown(u'g'), CharUp(u'g')};
  EXPECT_EQ(Batch({3, u"ếng"}), want);
}

TEST(OutputBatch, EveryEventCarriesTheMarker) {
  KeyEvent tab{vk::kTab, 15, 0, 0, 0, true};
  for (const OutputEvent& e : Batch({2, u"ab", true, &tab, true})) EXPECT_EQ(e.extraInfo, kOwnInputMarker);
}

TEST(OutputBatch, DroppedCharactersAreSkipped) {
  std::vector<OutputEvent> want = {CharDown(u'a'), CharUp(u'a'),   CharDown(u'b'),
                                   CharUp(u'b'),   CharDown(u'c'), CharUp(u'c')};
  EXPECT_EQ(Batch({0, u"a\u2028b\u200E\u0085c\u202E\u2066\x01"}), want);
  EXPECT_EQ(WithoutDroppedCharacters(u"a\u2028b\u200Fc"), u"abc");
  for (char16_t kept : {u' ', u'~', u'\u00A0', u'\u2027', u'\u202F', u'\u2065', u'\u206A', u'ế'}) {
    EXPECT_FALSE(IsDroppedCharacter(kept)) << static_cast<int>(kept);
  }
}

TEST(OutputBatch, SurrogatesAreSentOneHalfAtATime) {
  std::vector<OutputEvent> want = {CharDown(0xD83D), CharUp(0xD83D), CharDown(0xDE00), CharUp(0xDE00)};
  EXPECT_EQ(Batch({0, u"\U0001F600"}), want);
}

TEST(OutputBatch, DeleteFirstForAnInlineCompletion) {
  std::vector<OutputEvent> want = {Down(46), Up(46), Down(8), Up(8), CharDown(u'á'), CharUp(u'á')};
  EXPECT_EQ(Batch({1, u"á", true}), want);
}

TEST(OutputBatch, TriggerKeyAfterTheTextWithItsScanCode) {
  KeyEvent enter{vk::kReturn, 0x1C, kKeyExtended, 0, 0, true};
  std::vector<OutputEvent> want = {
      Down(8), Up(8), CharDown(u'a'), CharUp(u'a'), Down(46), Up(46), {vk::kReturn, 0x1C, kEventExtendedKey}};
  EXPECT_EQ(Batch({1, u"a", false, &enter, true}), want);
  KeyEvent tab{vk::kTab, 0x0F, 0, 0, 0, true};
  std::vector<OutputEvent> tabOnly = {{vk::kTab, 0x0F, 0}};
  EXPECT_EQ(Batch({0, u"", false, &tab, false}), tabOnly);
}

class SendEditTest : public testing::Test {
 protected:
  void SetUp() override { sim::TheDesktop().Reset(); }
  void TearDown() override { sim::TheDesktop().Reset(); }
  std::vector<OutputEvent> batch_;
};

TEST_F(SendEditTest, NothingToSendMakesNoCall) {
  EXPECT_TRUE(SendEdit(batch_, {0, u""}));
  EXPECT_TRUE(SendEdit(batch_, {0, u"\u200E"}));  // only dropped characters
  EXPECT_TRUE(sim::TheDesktop().Batches().empty());
}

}  // namespace
}  // namespace tonvira
