// The Ctrl+Shift tap: sequences of key events (as the hook sees them, with the physical key
// state before each event) and where the toggle fires.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "input/chord.h"
#include "input/key_event.h"
#include "sim/sim_desktop.h"

namespace tonvira {
namespace {

struct ChordRow {
  const char* name;
  const char* events;  // C left Ctrl, RC right Ctrl, S left Shift, RS right Shift, A and X keys,
                       // G the AltGr Ctrl, RA right Alt; + down, - up; a leading i: injected;
                       // M a click (or a wheel turn), R the hotkey mode set again
  const char* fired;   // one character per event: T where the toggle fires
};

const ChordRow kRows[] = {
    {"CtrlThenShift", "C+ S+ S- C-", "..T."},
    {"ShiftThenCtrl", "S+ C+ C- S-", "..T."},
    {"RightHandKeys", "RC+ RS+ RS- RC-", "..T."},
    {"MixedHands", "C+ RS+ C- RS-", "..T."},
    {"KeyInsideTheChord", "C+ S+ A+ A- S- C-", "......"},
    {"KeyBeforeTheShift", "C+ A+ A- S+ S- C-", "......"},
    {"AutoRepeatingKeyHeldFirst", "A+ A+ C+ S+ S- C- A-", "......."},
    {"ClickWhileHeld", "C+ S+ M S- C-", "....."},
    {"HoldCtrlTapShiftTwice", "C+ S+ S- S+ S- C-", "..T.T."},
    {"BothShiftsThenRightUp", "C+ S+ RS+ RS- S- C-", "...T.."},
    {"AutoRepeatedShift", "C+ S+ S+ S+ S- C-", "....T."},
    {"AutoRepeatedCtrl", "C+ S+ C+ C+ S- C-", "....T."},
    {"AltGrWithShift", "G+ RA+ S+ S- RA- G-", "......"},
    {"InjectedKeyWhileHeld", "C+ S+ iX+ iX- S- C-", "......"},
    {"InjectedShiftUpForOurShift", "C+ S+ iS- S- C-", "....."},
    {"TwoCleanTapsInARow", "C+ S+ S- C- S+ C+ S- C-", "..T...T."},
    {"ModeSetMidChordStartsAfresh", "C+ S+ R S- C- C+ S+ S- C-", ".......T."},
    {"ShiftAloneNeverFires", "S+ S- RS+ RS-", "...."},
};

class ChordTest : public testing::TestWithParam<ChordRow> {
 protected:
  void SetUp() override { sim::TheDesktop().Reset(); }
  void TearDown() override { sim::TheDesktop().Reset(); }

  static uint32_t KeyOf(const std::string& name) {
    if (name == "C" || name == "G") return vk::kLControl;
    if (name == "RC") return vk::kRControl;
    if (name == "S") return vk::kLShift;
    if (name == "RS") return vk::kRShift;
    if (name == "RA") return vk::kRMenu;
    return static_cast<uint32_t>(name[0]);  // A, X
  }

  // Feeds the events and returns the fired column.
  std::string Play(const char* events) {
    std::istringstream in(events);
    std::string token;
    std::string fired;
    while (in >> token) {
      if (token == "M") {
        TrackMouse(tracker_);
        fired += '.';
        continue;
      }
      if (token == "R") {
        ResetTracker(tracker_);
        fired += '.';
        continue;
      }
      bool injected = token[0] == 'i';
      if (injected) token.erase(0, 1);
      bool down = token.back() == '+';
      token.pop_back();
      uint32_t key = KeyOf(token);
      fired += TrackKey(tracker_, key, down, token == "G", injected) ? 'T' : '.';
      // The key state changes after the hook has seen the event.
      uint8_t& state = sim::TheDesktop().keyState[key];
      state = down ? static_cast<uint8_t>(state | 0x80) : static_cast<uint8_t>(state & 0x7F);
    }
    return fired;
  }

  ChordTracker tracker_;
};

TEST_P(ChordTest, FiresOncePerCleanTap) {
  EXPECT_EQ(Play(GetParam().events), GetParam().fired);
}

INSTANTIATE_TEST_SUITE_P(Sequences, ChordTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<ChordRow>& info) { return info.param.name; });

TEST_F(ChordTest, ResyncForgetsKeysReleasedBehindOurBack) {
  Play("C+ A+ A+");
  EXPECT_EQ(tracker_.modMask, 1);
  EXPECT_EQ(tracker_.heldKey, static_cast<uint32_t>('A'));
  sim::TheDesktop().keyState[vk::kLControl] = 0;  // released while another desktop had the input
  sim::TheDesktop().keyState['A'] = 0;
  ResyncTracker(tracker_);
  EXPECT_EQ(tracker_.modMask, 0);
  EXPECT_EQ(tracker_.heldKey, 0u);
  EXPECT_EQ(Play("S+ C+ C- S-"), "..T.");
}

TEST_F(ChordTest, ModifierAlreadyDownUnseenSpoilsTheTap) {
  sim::TheDesktop().keyState[vk::kLControl] = 0x80;  // went down while the hook was not looking
  EXPECT_EQ(Play("S+ S- C-"), "...");
}

}  // namespace
}  // namespace tonvira
