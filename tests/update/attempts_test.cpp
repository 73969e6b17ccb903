#include "update/attempts.h"

#include <gtest/gtest.h>

#include <string>

#include "update/status_texts.h"
#include "update/update_state.h"

namespace tonvira {
namespace {

constexpr std::string_view kRunning = "1.4.12";

TEST(ClassifyExitCode, InstallerCodesFallInTheirClasses) {
  struct Row {
    uint32_t code;
    ExitClass expected;
  };
  const Row rows[] = {
      {0, ExitClass::Success},
      {1641, ExitClass::Success},
      {3010, ExitClass::Success},
      {1602, ExitClass::Cancelled},
      {1618, ExitClass::Busy},
      {1625, ExitClass::RefusedByPolicy},
      {1643, ExitClass::RefusedByPolicy},
      {1601, ExitClass::PackageProblem},
      {1619, ExitClass::PackageProblem},
      {1620, ExitClass::PackageProblem},
      {1638, ExitClass::PackageProblem},
      {1603, ExitClass::Other},
      {1, ExitClass::Other},
      {0xFFFFFFFFu, ExitClass::Other},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(ClassifyExitCode(row.code), row.expected);
  }
}

// A state with an attempt of 1.5.0 already counted once.
UpdateState Attempted(int32_t count = 1) {
  UpdateState state;
  RecordAttempt(state, "1.5.0");
  state.attempt_count = count;
  return state;
}

TEST(RecordResult, EachClassChangesTheRecordItsWay) {
  struct Row {
    uint32_t code;
    bool countBusy;
    int32_t countBefore;
    bool givenUp;
    int32_t countAfter;
    const char* stuck;
    const char* blocked;
  };
  const Row rows[] = {
      {0, true, 1, false, 1, "", ""},
      {3010, true, 1, false, 1, "", ""},
      {1602, true, 1, false, 1, "", ""},   // cancelled: the count stays
      {1618, false, 1, false, 1, "", ""},  // busy, already counted in this run
      {1618, true, 1, false, 2, "", ""},
      {1618, true, 2, true, 3, "1.5.0", ""},
      {1625, true, 0, true, 0, "", "1.5.0"},  // refused by policy: blocked at once
      {1643, false, 0, true, 0, "", "1.5.0"},
      {1638, true, 0, true, 1, "1.5.0", ""},  // a package problem gives up at once
      {1603, true, 0, false, 1, "", ""},
      {1603, true, 1, false, 2, "", ""},
      {1603, true, 2, true, 3, "1.5.0", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.code << " after " << row.countBefore);
    UpdateState state = Attempted(row.countBefore);
    EXPECT_EQ(RecordResult(state, row.code, row.countBusy), row.givenUp);
    EXPECT_EQ(state.attempt_rc, std::to_string(row.code));
    EXPECT_EQ(state.attempt_count, row.countAfter);
    EXPECT_EQ(state.stuck, row.stuck);
    EXPECT_EQ(state.blocked, row.blocked);
    EXPECT_EQ(state.attempt, "1.5.0");
  }
  // Without a recorded attempt nothing is given up or marked.
  for (uint32_t code : {1618u, 1625u, 1638u, 1603u}) {
    UpdateState state;
    state.blocked = "1.4.13";
    EXPECT_FALSE(RecordResult(state, code, true)) << code;
    EXPECT_EQ(state.blocked, "1.4.13");
    EXPECT_EQ(state.attempt_count, 0);
  }
}

TEST(RecordAttempt, TheSameVersionKeepsItsCount) {
  UpdateState state = Attempted(2);
  state.attempt_rc = "1603";
  RecordAttempt(state, "1.5.0.0");
  EXPECT_EQ(state.attempt_count, 2);
  EXPECT_EQ(state.attempt, "1.5.0.0");
  EXPECT_EQ(state.attempt_rc, "");
  RecordAttempt(state, "1.5.1");
  EXPECT_EQ(state.attempt_count, 0);
}

// The state goes through update.txt between runs, as it does between processes.
UpdateState NextRun(const UpdateState& state) {
  return LoadUpdateState(SaveUpdateState(state));
}

// How many failures give up, and the policy's code, are in the installation's table.
TEST(RecordStartFailure, MarksTheAttemptWithTheError) {
  // The marker fits the ten bytes update.txt keeps, so it still reads as "failed to start".
  UpdateState state = Attempted(0);
  RecordStartFailure(state, 2147942405u);
  EXPECT_EQ(state.attempt_rc, "cp21479424");
  EXPECT_EQ(NextRun(state).attempt_rc, "cp21479424");

  UpdateState none;
  EXPECT_FALSE(RecordStartFailure(none, kErrorBlockedByPolicy));
  EXPECT_EQ(none.attempt_rc, "cp1260");
}

TEST(EvaluateLastAttempt, TheFiveOutcomes) {
  struct Row {
    const char* name;
    const char* attempt;
    const char* rc;
    int32_t count;
    LastAttempt outcome;
    const char* attemptAfter;
    const char* rcAfter;
    int32_t countAfter;
    const char* stuck;
  };
  const Row rows[] = {
      {"no attempt", "", "", 0, LastAttempt::None, "", "", 0, ""},
      {"the attempted version runs", "1.4.12.0", "3010", 1, LastAttempt::Updated, "", "", 0, ""},
      {"an older attempt", "1.4.11", "", 2, LastAttempt::Updated, "", "", 0, ""},
      {"success reported, old version runs", "1.5.0", "0", 0, LastAttempt::InstalledNotRunning, "1.5.0", "x",
       0, "1.5.0"},
      {"1641 reported, old version runs", "1.5.0", "1641", 0, LastAttempt::InstalledNotRunning, "1.5.0", "x",
       0, "1.5.0"},
      {"a failure already reported", "1.5.0", "1603", 1, LastAttempt::None, "1.5.0", "1603", 1, ""},
      {"already evaluated", "1.5.0", "x", 1, LastAttempt::None, "1.5.0", "x", 1, ""},
      {"ended during the installation", "1.5.0", "", 0, LastAttempt::Unfinished, "1.5.0", "x", 1, ""},
      {"the second time", "1.5.0", "", 1, LastAttempt::Unfinished, "1.5.0", "x", 2, ""},
      {"the third time", "1.5.0", "", 2, LastAttempt::GivenUp, "1.5.0", "x", 3, "1.5.0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    UpdateState state;
    state.attempt = row.attempt;
    state.attempt_rc = row.rc;
    state.attempt_count = row.count;
    state.notified = "1.5.0";
    EXPECT_EQ(EvaluateLastAttempt(state, kRunning), row.outcome);
    EXPECT_EQ(state.attempt, row.attemptAfter);
    EXPECT_EQ(state.attempt_rc, row.rcAfter);
    EXPECT_EQ(state.attempt_count, row.countAfter);
    EXPECT_EQ(state.stuck, row.stuck);
    // Only a successful update forgets what the user was told.
    EXPECT_EQ(state.notified, row.outcome == LastAttempt::Updated ? "" : "1.5.0");
  }
  // A running version that is not a dotted version forgets the attempt and says nothing.
  UpdateState state = Attempted(2);
  EXPECT_EQ(EvaluateLastAttempt(state, "dev"), LastAttempt::None);
  EXPECT_EQ(state.attempt, "");
  EXPECT_EQ(state.attempt_count, 0);
}

TEST(StatusTexts, NameTheVersionTheCodeAndTheBuildsVendorValues) {
  std::u16string page(DownloadPage());
  std::u16string contact(SupportContact());
  ASSERT_FALSE(page.empty());
  ASSERT_FALSE(contact.empty());
  EXPECT_EQ(InstallerNotStartedText(2), u"Không khởi động được trình cài đặt của Windows (mã lỗi 2).");
  EXPECT_EQ(FailedMayRetryText(1603),
            u"Chưa cập nhật được (mã lỗi 1603). Vui lòng thử lại hoặc tải bộ cài tại " + page + u".");
  EXPECT_EQ(
      VersionGivenUpText("1.5.0", 4294967295u),
      u"Chưa cài được phiên bản 1.5.0 (mã lỗi 4294967295). Bạn có thể tiếp tục gõ tiếng Việt; vui lòng tải "
      u"bộ cài tại " +
          page + u" hoặc liên hệ " + contact + u".");
  EXPECT_EQ(
      GivenUpAfterRetriesText("1.5.0"),
      u"Chưa cài được phiên bản 1.5.0 sau nhiều lần thử. Tonvira vẫn hoạt động bình thường; vui lòng tải bộ "
      u"cài tại " +
          page + u" hoặc liên hệ " + contact + u".");
  EXPECT_EQ(
      InstalledNotRunningText("1.5.0", kRunning),
      u"Đã cài phiên bản 1.5.0 nhưng Tonvira vẫn chạy phiên bản 1.4.12. Vui lòng khởi động lại máy tính; nếu "
      u"vẫn chưa được, xin liên hệ " +
          contact + u".");
}

}  // namespace
}  // namespace tonvira
