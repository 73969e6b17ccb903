#include "update/update_state.h"

#include <gtest/gtest.h>

#include <string>

#include "config/file_system.h"
#include "sim/sim_machine.h"
#include "tests/config/scratch_machine.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

UpdateState FullState() {
  UpdateState state;
  state.max_seq = 9999999999999999999ull;
  state.last_ok = 1735689600;
  state.notified = "1.5.0";
  state.attempt = "1.5.0";
  state.attempt_count = 2;
  state.attempt_rc = "cp1260";
  state.stuck = "1.4.13";
  state.blocked = "1.4.14.1";
  state.source = "http://localhost:8080/cap-nhat.txt";
  return state;
}

TEST(UpdateStateText, NineLinesInAFixedOrder) {
  EXPECT_EQ(
      SaveUpdateState(FullState()),
      "max_seq=9999999999999999999\nlast_ok=1735689600\nnotified=1.5.0\nattempt=1.5.0\nattempt_count=2\n"
      "attempt_rc=cp1260\nstuck=1.4.13\nblocked=1.4.14.1\nsource=http://localhost:8080/cap-nhat.txt\n");
  EXPECT_EQ(
      SaveUpdateState({}),
      "max_seq=0\nlast_ok=0\nnotified=\nattempt=\nattempt_count=0\nattempt_rc=\nstuck=\nblocked=\nsource=\n");
  EXPECT_EQ(LoadUpdateState(SaveUpdateState(FullState())), FullState());
  EXPECT_EQ(LoadUpdateState(SaveUpdateState({})), UpdateState{});
}

TEST(UpdateStateText, EachFieldIsTakenOnlyWhenItPassesItsRule) {
  struct Row {
    const char* line;
    UpdateState expected;
  };
  auto with = [](auto change) {
    UpdateState state;
    change(state);
    return state;
  };
  const Row rows[] = {
      {"max_seq=7", with([](UpdateState& s) { s.max_seq = 7; })},
      {"max_seq=10000000000000000000", {}},  // 20 digits
      {"max_seq=-1", {}},
      {"max_seq= 7", {}},
      {"last_ok=", {}},
      {"last_ok=1735689600\r", with([](UpdateState& s) { s.last_ok = 1735689600; })},  // CR LF file
      {"notified=1.5", with([](UpdateState& s) { s.notified = "1.5"; })},
      {"notified=1.5-beta", {}},
      {"attempt=", {}},
      {"stuck=1..5", {}},
      {"blocked=1.2.3.4.5", {}},
      {"attempt_count=999", with([](UpdateState& s) { s.attempt_count = 999; })},
      {"attempt_count=1000", {}},
      {"attempt_count=-1", {}},
      {"attempt_count=0000000000000000002", with([](UpdateState& s) { s.attempt_count = 2; })},
      {"attempt_rc=1234567890", with([](UpdateState& s) { s.attempt_rc = "1234567890"; })},
      {"attempt_rc=12345678901", {}},
      {"attempt_rc=1\r2", {}},  // a CR inside a value
      {"source=https://u.test/\ra", {}},
      {"attempt_rc=x", with([](UpdateState& s) { s.attempt_rc = "x"; })},
      {"source=https://updates.tonvira.test/cap-nhat.txt",
       with([](UpdateState& s) { s.source = "https://updates.tonvira.test/cap-nhat.txt"; })},
      {"source=http://updates.tonvira.test/cap-nhat.txt", {}},
      {"MAX_SEQ=7", {}},
      {"max_seq 7", {}},
      {"max_seq=7=8", {}},
      {"notified=1.5=", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(LoadUpdateState(std::string(row.line) + "\n"), row.expected);
    EXPECT_EQ(LoadUpdateState(row.line), row.expected);  // a last line without LF counts
  }
}

TEST(UpdateStateText, ACorruptFileKeepsItsValidFields) {
  UpdateState state = LoadUpdateState(
      "\n\ngarbage\x01\xff\nmax_seq=12\nattempt_count=abc\nattempt=1.5.0\r\n=\nnotified=bad\nmax_seq=x\n");
  UpdateState expected;
  expected.max_seq = 12;  // a later bad line does not undo it
  expected.attempt = "1.5.0";
  EXPECT_EQ(state, expected);
}

TEST(UpdateStateText, AValueWithALineBreakIsWrittenEmpty) {
  UpdateState state;
  state.attempt_rc = "1\nmax_seq=9";
  state.source = "https://x/\r";
  std::string text = SaveUpdateState(state);
  EXPECT_NE(text.find("attempt_rc=\n"), std::string::npos);
  EXPECT_NE(text.find("source=\n"), std::string::npos);
  EXPECT_EQ(LoadUpdateState(text).max_seq, 0u);
}

class UpdateStateFile : public ScratchMachine {};

TEST_F(UpdateStateFile, SavedAtomicallyAndLoadedBack) {
  std::u16string folder = Path("Tonvira");  // not there yet: it is created
  ASSERT_TRUE(SaveUpdateStateFile(FullState(), folder));
  EXPECT_EQ(LoadUpdateStateFile(folder), FullState());
  EXPECT_FALSE(FileExists(folder + u"/update.txt.tmp"));

  // A failed move leaves the old file as it was and no temporary file.
  SimulatedMachine().faults.failMoves = true;
  EXPECT_FALSE(SaveUpdateStateFile({}, folder));
  EXPECT_FALSE(FileExists(folder + u"/update.txt.tmp"));
  SimulatedMachine().faults.failMoves = false;
  EXPECT_EQ(LoadUpdateStateFile(folder), FullState());
  // A write that stops half-way changes nothing either.
  SimulatedMachine().faults.silentShortWrites = true;
  EXPECT_FALSE(SaveUpdateStateFile({}, folder));
  SimulatedMachine().faults.silentShortWrites = false;
  EXPECT_EQ(LoadUpdateStateFile(folder), FullState());
}

TEST_F(UpdateStateFile, MissingUnreadableOrLongFiles) {
  std::u16string folder = Path("data");
  EXPECT_EQ(LoadUpdateStateFile(folder), UpdateState{});
  // Only the first 4096 bytes are read.
  Put(folder + u"/update.txt", std::string(4096 - 10, '#') + "\nmax_seq=7\nlast_ok=5\n");
  UpdateState state = LoadUpdateStateFile(folder);
  EXPECT_EQ(state.max_seq, 7u);
  EXPECT_EQ(state.last_ok, 0u);
  SimulatedMachine().faults.unreadable.insert(folder + u"/update.txt");
  EXPECT_EQ(LoadUpdateStateFile(folder), UpdateState{});
}

}  // namespace
}  // namespace tonvira
