// Starting the Windows Installer on a held package and what its exit code ends in: the
// bookkeeping in update.txt, the text shown, the status published, and whether to restart.
#include "update/installation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "config/data_folder.h"
#include "config/file_system.h"
#include "tests/update/ready_update.h"
#include "text/utf8.h"
#include "update/status_texts.h"

namespace tonvira {
namespace {

namespace fs = std::filesystem;

class FakeInstaller : public InstallerSystem {
 public:
  bool busy = false;
  std::optional<FileDigest> package = FileDigest{std::string(64, 'a'), 4000};
  uint32_t startError = 0;
  bool packageOpen = false;
  std::vector<std::string> calls;
  std::u16string program, commandLine;

  bool InstallerBusy() override { return busy; }
  std::optional<FileDigest> OpenPackage(std::u16string_view path) override {
    calls.push_back("open " + Utf16ToUtf8(path.substr(path.find_last_of(u"/\\") + 1)));
    packageOpen = package.has_value();
    return package;
  }
  void ClosePackage() override {
    if (packageOpen) calls.push_back("close");
    packageOpen = false;
  }
  std::optional<std::string> PackageSigner() override {
    calls.push_back("signer");
    return std::nullopt;
  }
  std::u16string SystemFolder() override { return u"C:\\Windows\\system32"; }
  uint32_t StartProcess(const std::u16string& p, const std::u16string& line) override {
    program = p;
    commandLine = line;
    calls.push_back(startError == 0 ? "start" : "start fails");
    return startError;
  }
  void WakeWorker() override { calls.push_back("wake"); }
};

class InstallationTest : public ::testing::Test {
 protected:
  InstallationTest() {
    data_ =
        fs::path(::testing::TempDir()) / ("tonvira-install-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(data_);
    fs::create_directories(data_ / "cap-nhat");
    std::ofstream(data_ / "cap-nhat" / "tonvira-1.4.13-x64.msi") << "package";
  }
  ~InstallationTest() override { fs::remove_all(data_); }

  // A mandatory 1.4.13 held, its package ready: "Cập nhật ngay" can run.
  std::unique_ptr<Updater> Ready(const UpdateState& state = {}) {
    return testing::MakeReadyUpdater(
        {.dataFolder = data_.string(), .state = state, .statusChanged = [this] { ++posted_; }});
  }
  UpdateState Saved() const { return LoadUpdateStateFile(Utf8ToUtf16(data_.string())); }
  bool PackageOnDisk() const { return fs::exists(data_ / "cap-nhat" / "tonvira-1.4.13-x64.msi"); }

  fs::path data_;
  int posted_ = 0;
  FakeInstaller system_;
};

TEST_F(InstallationTest, TheInstallerRunsOnTheHeldPackageWithItsLog) {
  auto u = Ready();
  ASSERT_TRUE(StartInstallation(*u, system_));
  EXPECT_EQ(system_.calls, (std::vector<std::string>{"open tonvira-1.4.13-x64.msi", "start"}));
  EXPECT_TRUE(system_.packageOpen);  // held until the installer exits
  // The test's folders join with "/"; on Windows "\\".
  const std::string folder = data_.string() + "/cap-nhat/";
  EXPECT_EQ(Utf16ToUtf8(system_.program), "C:\\Windows\\system32/msiexec.exe");
  EXPECT_EQ(Utf16ToUtf8(system_.commandLine), "\"C:\\Windows\\system32/msiexec.exe\" /i \"" + folder +
                                                  "tonvira-1.4.13-x64.msi\" /qb /norestart /l*v \"" + folder +
                                                  "cai-dat-1.4.13.log\"");
  UpdateStatus s = GetUpdateStatus(*u);
  EXPECT_EQ(s.kind, UpdateKind::Installing);
  EXPECT_EQ(s.statusText, kWaitingForConsentText);
  EXPECT_EQ(Saved().attempt, "1.4.13");
  EXPECT_EQ(Saved().attempt_rc, "");
  EXPECT_EQ(posted_, 1);
  EXPECT_FALSE(StartInstallation(*u, system_));  // not twice
}

TEST_F(InstallationTest, NothingRunsWithoutAReadyPackage) {
  auto u = Ready();
  u->packageReady = false;
  PublishUpdateStatus(*u);
  EXPECT_FALSE(StartInstallation(*u, system_));
  EXPECT_TRUE(system_.calls.empty());
  EXPECT_EQ(posted_, 0);
}

TEST_F(InstallationTest, ADamagedPackageIsDeletedAndFetchedAgain) {
  struct Row {
    const char* what;
    std::optional<FileDigest> digest;
  } rows[] = {
      {"cannot be opened", std::nullopt},
      {"another digest", FileDigest{std::string(64, 'b'), 4000}},
      {"another size", FileDigest{std::string(64, 'a'), 3999}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::ofstream(data_ / "cap-nhat" / "tonvira-1.4.13-x64.msi") << "package";
    system_ = FakeInstaller();
    system_.package = row.digest;
    auto u = Ready();
    EXPECT_FALSE(StartInstallation(*u, system_));
    EXPECT_FALSE(PackageOnDisk());
    EXPECT_FALSE(system_.packageOpen);
    EXPECT_EQ(system_.calls.back(), "wake");
    UpdateStatus s = GetUpdateStatus(*u);
    EXPECT_EQ(s.kind, UpdateKind::Available);  // to be downloaded again
    EXPECT_EQ(s.statusText, kPackageDamagedText);
    EXPECT_EQ(Saved().attempt, "");  // no attempt was made
  }
}

TEST_F(InstallationTest, ABusyInstallerCountsOncePerRunAndGivesUpAtTheThirdRun) {
  system_.busy = true;
  UpdateState state;
  for (int run = 1; run <= 3; ++run) {
    SCOPED_TRACE(run);
    auto u = Ready(state);
    EXPECT_EQ(u->status.kind, UpdateKind::InstallNow);
    EXPECT_FALSE(StartInstallation(*u, system_));
    std::u16string text = GetUpdateStatus(*u).statusText;
    EXPECT_FALSE(StartInstallation(*u, system_));  // the same run: not counted again
    state = Saved();
    EXPECT_EQ(state.attempt_count, run);
    EXPECT_EQ(state.attempt_rc, "1618");
    if (run < 3) {
      EXPECT_EQ(text, kAnotherInstallationText);
      EXPECT_EQ(state.stuck, "");
    } else {
      EXPECT_EQ(text, VersionGivenUpText("1.4.13", 1618));
      EXPECT_EQ(state.stuck, "1.4.13");
    }
  }
  auto given = Ready(state);  // a given-up version is offered, no longer pressed
  EXPECT_EQ(given->status.kind, UpdateKind::Ready);
  EXPECT_EQ(given->status.blocker, UpdateBlocker::NotifyOnly);
}

TEST_F(InstallationTest, AnInstallerThatDoesNotStart) {
  struct Row {
    const char* what;
    uint32_t error;
    UpdateState before;
    std::u16string text;
    std::string rc, stuck, blocked;
    int32_t count;
  };
  UpdateState twice;
  twice.attempt = "1.4.13";
  twice.attempt_count = 2;
  const Row rows[] = {
      {"refused by policy", 1260, {}, std::u16string(kRefusedByPolicyText), "cp1260", "", "1.4.13", 0},
      {"first failure", 2, {}, InstallerNotStartedText(2), "cp2", "", "", 1},
      {"third failure gives up", 5, twice, VersionGivenUpText("1.4.13", 5), "cp5", "1.4.13", "", 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    system_ = FakeInstaller();
    system_.startError = row.error;
    auto u = Ready(row.before);
    EXPECT_FALSE(StartInstallation(*u, system_));
    EXPECT_FALSE(system_.packageOpen);
    UpdateStatus s = GetUpdateStatus(*u);
    EXPECT_EQ(s.statusText, row.text);
    EXPECT_NE(s.kind, UpdateKind::Installing);
    UpdateState saved = Saved();
    EXPECT_EQ(saved.attempt_rc, row.rc);
    EXPECT_EQ(saved.stuck, row.stuck);
    EXPECT_EQ(saved.blocked, row.blocked);
    EXPECT_EQ(saved.attempt_count, row.count);
    // The next run offers a blocked or given-up version without pressing it.
    EXPECT_EQ(Ready(saved)->status.blocker,
              row.stuck.empty() && row.blocked.empty() ? UpdateBlocker::None : UpdateBlocker::NotifyOnly);
  }
}

TEST_F(InstallationTest, WhatTheInstallersExitCodeEndsIn) {
  struct Row {
    const char* what;
    std::vector<uint32_t> codes;  // one run each after the first start
    bool restart;
    std::u16string text;
    int32_t count;
    std::string stuck, blocked;
  };
  const Row rows[] = {
      {"success", {0}, true, u"", 0, "", ""},
      {"success, restart needed", {3010}, true, u"", 0, "", ""},
      {"cancelled at the prompt", {1602}, false, std::u16string(kCancelledText), 0, "", ""},
      {"busy", {1618}, false, std::u16string(kAnotherInstallationText), 1, "", ""},
      {"busy twice in one run counts once",
       {1618, 1618},
       false,
       std::u16string(kAnotherInstallationText),
       1,
       "",
       ""},
      {"refused by policy", {1625}, false, std::u16string(kRefusedByPolicyText), 0, "", "1.4.13"},
      {"fatal error may be retried", {1603}, false, FailedMayRetryText(1603), 1, "", ""},
      {"a package problem gives up at once",
       {1620},
       false,
       VersionGivenUpText("1.4.13", 1620),
       1,
       "1.4.13",
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    system_ = FakeInstaller();
    auto u = Ready();
    bool restart = false;
    for (uint32_t code : row.codes) {
      ASSERT_TRUE(StartInstallation(*u, system_) || code == 1618);
      restart = FinishInstallation(*u, code);
    }
    EXPECT_EQ(restart, row.restart);
    EXPECT_EQ(RestartRequested(*u), row.restart);
    UpdateStatus s = GetUpdateStatus(*u);
    EXPECT_EQ(s.statusText, row.text);
    EXPECT_NE(s.kind, UpdateKind::Installing);
    UpdateState saved = Saved();
    EXPECT_EQ(saved.attempt, "1.4.13");
    EXPECT_EQ(saved.attempt_rc, std::to_string(row.codes.back()));
    EXPECT_EQ(saved.attempt_count, row.count);
    EXPECT_EQ(saved.stuck, row.stuck);
    EXPECT_EQ(saved.blocked, row.blocked);
    // The next run offers a blocked or given-up version without pressing it.
    EXPECT_EQ(Ready(saved)->status.blocker,
              row.stuck.empty() && row.blocked.empty() ? UpdateBlocker::None : UpdateBlocker::NotifyOnly);
  }
}

TEST_F(InstallationTest, TheNextStartTellsWhatBecameOfTheAttempt) {
  struct Row {
    const char* what;
    std::string running, rc;
    int32_t count;
    LastAttempt outcome;
    std::u16string text;
  };
  const Row rows[] = {
      {"the new version runs", "1.4.13", "3010", 0, LastAttempt::Updated, u""},
      {"installed, the old one runs", "1.4.12", "3010", 0, LastAttempt::InstalledNotRunning,
       InstalledNotRunningText("1.4.13", "1.4.12")},
      {"ended during the installation", "1.4.12", "", 0, LastAttempt::Unfinished,
       std::u16string(kLastRunUnfinishedText)},
      {"the third time", "1.4.12", "", 2, LastAttempt::GivenUp, GivenUpAfterRetriesText("1.4.13")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    UpdateState state;
    state.attempt = "1.4.13";
    state.attempt_rc = row.rc;
    state.attempt_count = row.count;
    ASSERT_TRUE(SaveUpdateStateFile(state, Utf8ToUtf16(data_.string())));
    UpdaterSetup s;
    s.runningVersion = row.running;
    s.dataFolder = Utf8ToUtf16(data_.string());
    Updater u(std::move(s));
    LoadCachedManifest(u);
    EXPECT_EQ(GetUpdateStatus(u).statusText, row.text);
    EXPECT_EQ(TakeLastAttempt(u), row.outcome);
    EXPECT_EQ(TakeLastAttempt(u), LastAttempt::None);  // told once
  }
}

}  // namespace
}  // namespace tonvira
