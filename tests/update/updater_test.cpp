// The update cycle against a real HTTP server on the loopback interface: fetch, verify, keep a
// copy, download, check, publish.
#include "update/updater.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "tests/update/local_server.h"
#include "tests/update/release_tool.h"
#include "text/utf8.h"
#include "update/crypto.h"
#include "update/http.h"
#include "update/status_texts.h"
#include "update/url_rules.h"

namespace tonvira {
namespace {

using testing::LocalServer;
namespace fs = std::filesystem;

std::string Hex(std::string_view bytes) {
  Sha256Digest digest{};
  EXPECT_TRUE(Sha256(bytes, digest));
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : digest) out += {kHex[b >> 4], kHex[b & 15]};
  return out;
}

struct Offer {
  std::string version = "1.5.0";
  std::string msi;  // empty: the server's tonvira-1.5.0.msi
  std::string package = std::string(3000, 'p');
  uint64_t seq = 42;
  std::string min;
  std::string declaredSha;    // empty: the package's
  uint64_t declaredSize = 0;  // 0: the package's
};

std::string ManifestText(const LocalServer& server, const Offer& o) {
  std::string text = "TONVIRA-UPDATE 1\nproduct=tonvira\nchannel=stable\nversion=" + o.version + "\n";
  if (!o.min.empty()) text += "min=" + o.min + "\n";
  text += "published=2025-03-01\n";
  text += "msi=" + (o.msi.empty() ? server.Url("/tonvira-1.5.0.msi") : o.msi) + "\n";
  text += "sha256=" + (o.declaredSha.empty() ? Hex(o.package) : o.declaredSha) + "\n";
  text += "seq=" + std::to_string(o.seq) + "\n";
  text += "size=" + std::to_string(o.declaredSize ? o.declaredSize : o.package.size()) + "\n";
  text += "note=Gõ nhanh hơn\n";
  return text;
}

class UpdaterTest : public ::testing::Test {
 protected:
  UpdaterTest() {
    data_ =
        fs::path(::testing::TempDir()) / ("tonvira-updater-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(data_);
  }
  ~UpdaterTest() override { fs::remove_all(data_); }

  UpdaterSetup MakeSetup() {
    UpdaterSetup s;
    s.manifestUrl = server_.Url("/cap-nhat.txt");
    s.runningVersion = "1.4.12";
    s.dataFolder = Utf8ToUtf16(data_.string());
    s.keys = testing::TestKeys();
    s.installed = installed_;
    s.ableToElevate = [this] { return able_; };
    s.readPolicy = [this] { return policy_; };
    s.nowUnixSeconds = [] { return uint64_t{1740000000}; };
    s.statusChanged = [this] { ++posted_; };
    return s;
  }

  // Serves the signed manifest and the package; returns the document.
  std::string Serve(const Offer& o) {
    std::string document = testing::Sign("p1", ManifestText(server_, o));
    server_.Put("cap-nhat.txt", document);
    server_.Put("tonvira-1.5.0.msi", o.package);
    return document;
  }

  fs::path Folder() const { return data_ / "cap-nhat"; }
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    if (!fs::exists(Folder())) return names;
    for (const auto& entry : fs::directory_iterator(Folder()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  int PackageRequests() const {
    int n = 0;
    for (const std::string& line : server_.Requests()) n += line.ends_with(".msi");
    return n;
  }

  LocalServer server_;
  fs::path data_;
  bool installed_ = true;
  bool able_ = true;
  UpdatePolicy policy_ = UpdatePolicy::Automatic;
  int posted_ = 0;
};

TEST_F(UpdaterTest, AManifestOfferingNothingLeavesOnlyTheCopy) {
  Offer o;
  o.version = "1.4.12";
  std::string document = Serve(o);
  fs::create_directories(Folder());
  testing::WriteAll(Folder() / "tonvira-1.4.0.msi", "old");
  Updater u(MakeSetup());
  EXPECT_TRUE(CheckForUpdate(u));
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"cap-nhat.txt"});
  EXPECT_EQ(testing::ReadAll(Folder() / "cap-nhat.txt"), document);
  EXPECT_EQ(PackageRequests(), 0);
  UpdateStatus s = GetUpdateStatus(u);
  EXPECT_EQ(s.kind, UpdateKind::Nothing);
  EXPECT_FALSE(s.checking);
  EXPECT_FALSE(s.lastCheckFailed);
  EXPECT_GE(posted_, 2);  // checking, then done
  UpdateState state = LoadUpdateStateFile(Utf8ToUtf16(data_.string()));
  EXPECT_EQ(state.max_seq, 42u);
  EXPECT_EQ(state.source, server_.Url("/cap-nhat.txt"));
  EXPECT_EQ(state.last_ok, 1740000000u);
}

TEST_F(UpdaterTest, AnOfferedPackageIsDownloadedOnceAndVerified) {
  Offer o;
  Serve(o);
  Updater u(MakeSetup());
  EXPECT_TRUE(CheckForUpdate(u));
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"cap-nhat.txt", "tonvira-1.5.0.msi"}));
  EXPECT_EQ(Hex(testing::ReadAll(Folder() / "tonvira-1.5.0.msi")), Hex(o.package));
  UpdateStatus s = GetUpdateStatus(u);
  EXPECT_EQ(s.kind, UpdateKind::Ready);
  EXPECT_EQ(s.offeredVersion, u"1.5.0");
  EXPECT_EQ(s.notes, std::vector<std::u16string>{u"Gõ nhanh hơn"});
  EXPECT_EQ(s.packageSize, 3000u);
  // The same manifest again: the file on disk already matches.
  EXPECT_TRUE(CheckForUpdate(u));
  EXPECT_EQ(PackageRequests(), 1);
  EXPECT_EQ(GetUpdateStatus(u).kind, UpdateKind::Ready);
}

TEST_F(UpdaterTest, APackageRefusedAsDamagedIsFetchedAgainAndTheWarningGoes) {
  Offer o;
  Serve(o);
  Updater u(MakeSetup());
  ASSERT_TRUE(CheckForUpdate(u));
  // What the update window's button leaves behind when the package on disk was changed.
  fs::remove(Folder() / "tonvira-1.5.0.msi");
  {
    std::lock_guard lock(u.mutex);
    u.packageReady = false;
    u.statusText = kPackageDamagedText;
    PublishUpdateStatus(u);
  }
  EXPECT_EQ(GetUpdateStatus(u).kind, UpdateKind::Available);
  EXPECT_TRUE(CheckForUpdate(u));
  EXPECT_EQ(PackageRequests(), 2);
  UpdateStatus s = GetUpdateStatus(u);
  EXPECT_EQ(s.kind, UpdateKind::Ready);
  EXPECT_EQ(s.statusText, u"");
}

TEST_F(UpdaterTest, AWrongPackageIsThrownAway) {
  struct Row {
    const char* name;
    std::string served;
    uint64_t declaredSize;
  };
  std::string good(3000, 'p');
  std::string changed = good;
  changed[1500] = 'q';
  for (const Row& row :
       {Row{"one byte changed", changed, 0}, Row{"larger than its size", good + "extra", 3000},
        Row{"cut short", good.substr(0, 2000), 3000}}) {
    SCOPED_TRACE(row.name);
    Offer o;
    o.declaredSha = Hex(good);
    o.declaredSize = row.declaredSize ? row.declaredSize : good.size();
    o.package = row.served;
    Serve(o);
    Updater u(MakeSetup());
    EXPECT_FALSE(CheckForUpdate(u));
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"cap-nhat.txt"});
    EXPECT_EQ(GetUpdateStatus(u).kind, UpdateKind::Available);
    EXPECT_FALSE(GetUpdateStatus(u).downloading);
  }
}

TEST_F(UpdaterTest, HttpGetStopsAtTheLimit) {
  server_.Put("big.msi", std::string(200000, 'b'));
  fs::create_directories(data_);
  HttpRequest r;
  r.url = server_.Url("/big.msi");
  r.byteLimit = 100000;
  r.filePath = Utf8ToUtf16((data_ / "big.part").string());
  r.userAgent = "test";
  HttpResult got = HttpGet(r);
  EXPECT_EQ(got.status, kHttpTooLarge);
  EXPECT_LE(got.bytes, 200000u);
  EXPECT_GT(got.bytes, 100000u);
  // Statuses come back as they are, other schemes not at all.
  r.url = server_.Url("/missing");
  EXPECT_EQ(HttpGet(r).status, 404);
  r.url = "ftp://127.0.0.1/x";
  EXPECT_EQ(HttpGet(r).status, 0);
}

TEST_F(UpdaterTest, AStalledServerEndsWithNoStatus) {
  HttpRequest r;
  r.url = server_.Url("/stall");
  r.byteLimit = 100;
  std::string text;
  r.text = &text;
  r.timeouts = {500, 500, 500, 1000};
  EXPECT_EQ(HttpGet(r).status, 0);
}

// A byte a second never trips a per-step timeout; the transfer's deadline ends it long before
// the whole body would have come, as a network failure.
TEST_F(UpdaterTest, ATricklingServerIsCutOffAtTheDeadline) {
  std::string body(60, 't');
  server_.Put("slow.msi", body);
  server_.Trickle("slow.msi");
  fs::create_directories(data_);
  HttpRequest r;
  r.url = server_.Url("/slow.msi");
  r.byteLimit = body.size();
  r.filePath = Utf8ToUtf16((data_ / "slow.part").string());
  r.userAgent = "test";
  r.deadlineMs = 2000;
  auto start = std::chrono::steady_clock::now();
  HttpResult got = HttpGet(r);
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(got.status, 0);
  EXPECT_GE(got.bytes, 1u);  // the body had begun to flow
  EXPECT_LT(got.bytes, body.size());
  EXPECT_LT(took, std::chrono::seconds(10));  // not the minute the whole body takes
}

TEST(DownloadDeadline, AMinuteAndAMinutePerStartedMebibyte) {
  constexpr uint64_t kMiB = 1024 * 1024;
  EXPECT_EQ(DownloadDeadlineMs(0), 60000u);
  EXPECT_EQ(DownloadDeadlineMs(1), 120000u);
  EXPECT_EQ(DownloadDeadlineMs(kMiB), 120000u);
  EXPECT_EQ(DownloadDeadlineMs(kMiB + 1), 180000u);
  EXPECT_EQ(DownloadDeadlineMs(40 * kMiB), 41 * 60000u);
  // A size no manifest should declare still gives a deadline, not a wrapped small one.
  EXPECT_GT(DownloadDeadlineMs(UINT64_MAX), DownloadDeadlineMs(UINT64_MAX / 2));
}

TEST_F(UpdaterTest, AFailedCheckKeepsTheEarlierOffer) {
  Serve(Offer{});
  Updater u(MakeSetup());
  ASSERT_TRUE(CheckForUpdate(u));
  server_.Answer("cap-nhat.txt", 404);
  EXPECT_FALSE(CheckForUpdate(u));
  UpdateStatus s = GetUpdateStatus(u);
  EXPECT_TRUE(s.lastCheckFailed);
  EXPECT_EQ(s.kind, UpdateKind::Ready);
  EXPECT_TRUE(fs::exists(Folder() / "tonvira-1.5.0.msi"));
}

TEST_F(UpdaterTest, AReplayedOlderManifestIsNotTaken) {
  Serve(Offer{});
  Updater u(MakeSetup());
  ASSERT_TRUE(CheckForUpdate(u));
  Offer older;
  older.version = "1.4.20";
  older.seq = 41;
  std::string replay = Serve(older);
  EXPECT_TRUE(CheckForUpdate(u));
  EXPECT_EQ(LoadUpdateStateFile(Utf8ToUtf16(data_.string())).max_seq, 42u);
  EXPECT_NE(testing::ReadAll(Folder() / "cap-nhat.txt"), replay);
  EXPECT_EQ(GetUpdateStatus(u).offeredVersion, u"1.5.0");
}

TEST_F(UpdaterTest, AnInstallerFromAnotherOriginIsNotFetched) {
  Offer o;
  o.msi = "http://127.0.0.1:" + std::to_string(server_.Port() + 1) + "/tonvira-1.5.0.msi";
  Serve(o);
  Updater u(MakeSetup());
  EXPECT_TRUE(CheckForUpdate(u));
  EXPECT_EQ(GetUpdateStatus(u).kind, UpdateKind::Nothing);
  EXPECT_EQ(PackageRequests(), 0);
}

TEST_F(UpdaterTest, NothingIsFetchedWhenThePolicyIsOffOrNoKeyIsBuiltIn) {
  Serve(Offer{});
  policy_ = UpdatePolicy::Off;
  Updater off(MakeSetup());
  EXPECT_TRUE(CheckForUpdate(off));
  EXPECT_TRUE(GetUpdateStatus(off).policyOff);
  policy_ = UpdatePolicy::Automatic;
  UpdaterSetup keyless = MakeSetup();
  keyless.keys = {};
  Updater noKey(std::move(keyless));
  EXPECT_TRUE(CheckForUpdate(noKey));
  EXPECT_TRUE(GetUpdateStatus(noKey).noUsableKey);
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(UpdaterTest, AMandatoryUpdateIsInstalledNowOnlyWhenEverythingHolds) {
  struct Row {
    const char* name;
    bool installed, able;
    UpdatePolicy policy;
    UpdateKind kind;
    UpdateBlocker blocker;
  };
  const Row rows[] = {
      {"all hold", true, true, UpdatePolicy::Automatic, UpdateKind::InstallNow, UpdateBlocker::None},
      {"portable copy", false, true, UpdatePolicy::Automatic, UpdateKind::Ready, UpdateBlocker::NotInstalled},
      {"cannot elevate", true, false, UpdatePolicy::Automatic, UpdateKind::Ready,
       UpdateBlocker::CannotElevate},
      {"notify only", true, true, UpdatePolicy::NotifyOnly, UpdateKind::Ready, UpdateBlocker::NotifyOnly},
  };
  Offer o;
  o.min = "1.5.0";
  Serve(o);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    installed_ = row.installed;
    able_ = row.able;
    policy_ = row.policy;
    Updater u(MakeSetup());
    ASSERT_TRUE(CheckForUpdate(u));
    UpdateStatus s = GetUpdateStatus(u);
    EXPECT_EQ(s.kind, row.kind);
    EXPECT_EQ(s.blocker, row.blocker);
    EXPECT_TRUE(s.pressing);
    EXPECT_EQ(s.minimum, u"1.5.0");
  }
  {
    SCOPED_TRACE("not downloaded yet");
    installed_ = able_ = true;
    policy_ = UpdatePolicy::Automatic;
    fs::remove_all(data_);
    server_.Remove("tonvira-1.5.0.msi");
    Updater u(MakeSetup());
    EXPECT_FALSE(CheckForUpdate(u));
    EXPECT_EQ(GetUpdateStatus(u).kind, UpdateKind::Available);
    EXPECT_EQ(GetUpdateStatus(u).blocker, UpdateBlocker::NotDownloaded);
  }
}

TEST_F(UpdaterTest, ACopyFromAnEarlierRunIsOfferedButNotConfirmed) {
  Offer o;
  o.min = "1.5.0";
  Serve(o);
  {
    Updater first(MakeSetup());
    ASSERT_TRUE(CheckForUpdate(first));
  }
  Updater next(MakeSetup());
  LoadCachedManifest(next);
  UpdateStatus s = GetUpdateStatus(next);
  EXPECT_EQ(s.kind, UpdateKind::Ready);
  EXPECT_EQ(s.blocker, UpdateBlocker::NotConfirmedOnline);
  ASSERT_TRUE(CheckForUpdate(next));
  EXPECT_EQ(GetUpdateStatus(next).kind, UpdateKind::InstallNow);
  EXPECT_EQ(PackageRequests(), 1);

  // A package changed on disk is not ready at the next start; a copy below max_seq is ignored.
  testing::WriteAll(Folder() / "tonvira-1.5.0.msi", "tampered");
  Updater tampered(MakeSetup());
  LoadCachedManifest(tampered);
  EXPECT_EQ(GetUpdateStatus(tampered).kind, UpdateKind::Available);
  UpdateState state = LoadUpdateStateFile(Utf8ToUtf16(data_.string()));
  state.max_seq = 43;
  ASSERT_TRUE(SaveUpdateStateFile(state, Utf8ToUtf16(data_.string())));
  Updater replayed(MakeSetup());
  LoadCachedManifest(replayed);
  EXPECT_EQ(GetUpdateStatus(replayed).kind, UpdateKind::Nothing);
}

TEST(UpdateFolder, CleaningKeepsTheCopyAndTheNamedFileIgnoringCase) {
  fs::path folder = fs::path(::testing::TempDir()) / ("tonvira-clean-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "sub");
  for (const char* name : {"CAP-NHAT.TXT", "Tonvira-1.5.0.MSI", "tonvira-1.5.0.msi.part", "x.msi"}) {
    testing::WriteAll(folder / name, "x");
  }
  CleanUpdateFolder(Utf8ToUtf16(folder.string()), u"tonvira-1.5.0.msi");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"CAP-NHAT.TXT", "Tonvira-1.5.0.MSI", "sub"}));
  fs::remove_all(folder);
}

TEST(SameManifest, ComparesWhatIdentifiesThePackage) {
  Manifest a = ParseManifest(testing::kGoodManifest).manifest;
  Manifest b = a;
  b.seq = 99;
  b.notes.clear();
  EXPECT_TRUE(SameManifest(a, b));
  for (auto change : {+[](Manifest& m) { m.version = "1.5.1"; }, +[](Manifest& m) { m.size = 1; },
                      +[](Manifest& m) { m.sha256[0] = '0'; }, +[](Manifest& m) { m.msi += "x"; }}) {
    Manifest c = a;
    change(c);
    EXPECT_FALSE(SameManifest(a, c));
  }
}

}  // namespace
}  // namespace tonvira
