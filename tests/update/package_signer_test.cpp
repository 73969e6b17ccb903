// The signer check before the installer starts, on real Authenticode signatures: packages
// signed by osslsigncode with a throw-away certificate authority, checked on Linux by
// osslsigncode's own verification (Wine's WinVerifyTrust does not notice an MSI changed after
// signing, so that case is shown here). Needs osslsigncode, openssl and msitools.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/update/local_server.h"
#include "tests/update/ready_update.h"
#include "tests/update/release_tool.h"
#include "text/utf8.h"
#include "update/installation.h"
#include "update/status_texts.h"
#include "update/updater.h"

namespace tonvira {
namespace {

namespace fs = std::filesystem;

const fs::path kRepository = fs::path(__FILE__).parent_path().parent_path().parent_path();

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

std::string Quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// What the program's own check gives on Windows, from osslsigncode: the signature verifies
// against the authority, and the signer's thumbprint is the SHA-256 of its certificate.
class OsslsigncodeInstaller : public InstallerSystem {
 public:
  explicit OsslsigncodeInstaller(fs::path authority) : authority_(std::move(authority)) {}
  bool started = false;
  bool signerAsked = false;

  bool InstallerBusy() override { return false; }
  std::optional<FileDigest> OpenPackage(std::u16string_view path) override {
    path_ = Utf16ToUtf8(path);
    return FileSha256(path);
  }
  void ClosePackage() override {}
  std::optional<std::string> PackageSigner() override {
    signerAsked = true;
    if (Shell("osslsigncode verify -CAfile " + Quoted(authority_) + " -in " + Quoted(path_) +
              " >/dev/null 2>&1") != 0)
      return std::nullopt;
    fs::path signature = path_.string() + ".p7";
    fs::path thumbprint = path_.string() + ".sha256";
    if (Shell("osslsigncode extract-signature -in " + Quoted(path_) + " -out " + Quoted(signature) +
              " >/dev/null 2>&1 && openssl pkcs7 -inform DER -in " + Quoted(signature) +
              " -print_certs | openssl x509 -outform DER | sha256sum | cut -c1-64 >" + Quoted(thumbprint)) !=
        0)
      return std::nullopt;
    std::string text = testing::ReadAll(thumbprint);
    fs::remove(signature);
    fs::remove(thumbprint);
    if (text.size() < 64) return std::nullopt;
    return text.substr(0, 64);
  }
  std::u16string SystemFolder() override { return u"C:\\Windows\\system32"; }
  uint32_t StartProcess(const std::u16string&, const std::u16string&) override {
    started = true;
    return 0;
  }
  void WakeWorker() override {}

 private:
  fs::path authority_;
  fs::path path_;
};

class PackageSignerTest : public ::testing::Test {
 protected:
  // The certificates and the four packages, made once: signed by the pinned certificate,
  // changed after that signature, signed by another certificate of the same authority, and
  // not signed at all.
  static void SetUpTestSuite() {
    work_ = fs::path(::testing::TempDir()) / ("tonvira-signer-" + std::to_string(::getpid()));
    fs::remove_all(work_);
    fs::create_directories(work_);
    fs::path certificates = work_ / "certificates";
    ASSERT_EQ(
        Shell(Quoted(kRepository / "tools/signing/make_test_certificates.sh") + " " + Quoted(certificates)),
        0)
        << "openssl is needed";
    pinned_ = testing::ReadAll(certificates / "signer.sha256").substr(0, 64);
    ASSERT_EQ(Shell("cd " + Quoted(work_) +
                    " && msibuild unsigned.msi -s 'Tonvira' 'Tonvira' 'x64;1033' "
                    "'{6B1D2E4C-0F7A-4C8E-9B55-3C2F1A0D7E91}'"),
              0)
        << "msitools is needed";
    for (const char* who : {"signer", "other"}) {
      std::string name = std::string(who) == "signer" ? "signed.msi" : "stranger.msi";
      ASSERT_EQ(
          Shell("osslsigncode sign -certs " + Quoted(certificates / (std::string(who) + ".pem")) + " -key " +
                Quoted(certificates / (std::string(who) + ".key")) + " -h sha256 -n Tonvira -in " +
                Quoted(work_ / "unsigned.msi") + " -out " + Quoted(work_ / name) + " >/dev/null"),
          0)
          << "osslsigncode is needed";
    }
    fs::copy_file(work_ / "signed.msi", work_ / "changed.msi");
    // Rebuilding a signed package keeps its old signature, which then no longer matches.
    ASSERT_EQ(Shell("msibuild " + Quoted(work_ / "changed.msi") +
                    " -q 'CREATE TABLE `Extra` (`Name` CHAR(72) NOT NULL PRIMARY KEY `Name`)'"),
              0);
    authority_ = certificates / "test-ca.pem";
  }
  static void TearDownTestSuite() { fs::remove_all(work_); }

  PackageSignerTest() {
    data_ = work_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(data_);
    fs::create_directories(data_ / "cap-nhat");
  }

  // A mandatory 1.4.13 whose package (a copy of PACKAGE) is downloaded and whole.
  std::unique_ptr<Updater> Ready(const std::string& package, PackageSigners pins) {
    fs::path copy = data_ / "cap-nhat" / "tonvira-1.4.13-x64.msi";
    fs::copy_file(work_ / package, copy, fs::copy_options::overwrite_existing);
    std::optional<FileDigest> digest = FileSha256(Utf8ToUtf16(copy.string()));
    EXPECT_TRUE(digest);
    testing::ReadyUpdate ready;
    ready.dataFolder = data_.string();
    ready.package = digest.value_or(FileDigest{});
    ready.signers = pins;
    return testing::MakeReadyUpdater(std::move(ready));
  }

  static inline fs::path work_;
  static inline fs::path authority_;
  static inline std::string pinned_;
  fs::path data_;
};

TEST_F(PackageSignerTest, OnlyAnIntactPackageOfThePinnedSignerIsInstalled) {
  struct Row {
    const char* package;
    bool installed;
  } rows[] = {
      {"signed.msi", true},
      {"changed.msi", false},  // an MSI changed after signing
      {"stranger.msi", false},
      {"unsigned.msi", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.package);
    OsslsigncodeInstaller system(authority_);
    auto u = Ready(row.package, {pinned_, ""});
    EXPECT_EQ(StartInstallation(*u, system), row.installed);
    EXPECT_EQ(system.started, row.installed);
    bool onDisk = fs::exists(data_ / "cap-nhat" / "tonvira-1.4.13-x64.msi");
    EXPECT_EQ(onDisk, row.installed);
    UpdateState saved = LoadUpdateStateFile(Utf8ToUtf16(data_.string()));
    EXPECT_EQ(saved.attempt, "1.4.13");
    if (!row.installed) {
      UpdateStatus s = GetUpdateStatus(*u);
      EXPECT_EQ(s.statusText, kUnsignedPackageText);
      EXPECT_NE(s.kind, UpdateKind::InstallNow);
      EXPECT_EQ(saved.attempt_rc, "sig");
      EXPECT_EQ(saved.stuck, "1.4.13");  // offered from now on, never forced again
    }
  }
}

TEST_F(PackageSignerTest, TheSecondSlotServesARenewedCertificateAndNoPinChecksNothing) {
  OsslsigncodeInstaller renewed(authority_);
  auto u = Ready("signed.msi", {std::string(64, '0'), pinned_});
  EXPECT_TRUE(StartInstallation(*u, renewed));

  OsslsigncodeInstaller unpinned(authority_);
  auto v = Ready("unsigned.msi", {"", ""});
  EXPECT_TRUE(StartInstallation(*v, unpinned));
  EXPECT_FALSE(unpinned.signerAsked);
}

// After a refusal the same package would come back byte for byte: the worker does not fetch it
// again, and fetches the package of a newer manifest.
TEST_F(PackageSignerTest, ARefusedPackageIsNotFetchedAgainUntilANewManifest) {
  testing::LocalServer server;
  auto serve = [&](uint64_t seq, const char* file) {
    std::string package = testing::ReadAll(work_ / file);
    std::optional<FileDigest> digest = DigestOfBytes(package);
    ASSERT_TRUE(digest);
    server.Put("tonvira-1.4.13-x64.msi", package);
    server.Put(
        "cap-nhat.txt",
        testing::Sign("p1",
                      "TONVIRA-UPDATE 1\nproduct=tonvira\nchannel=stable\nversion=1.4.13\n"
                      "msi=" +
                          server.Url("/tonvira-1.4.13-x64.msi") + "\nsha256=" + digest->sha256 +
                          "\nseq=" + std::to_string(seq) + "\nsize=" + std::to_string(digest->size) + "\n"));
  };
  auto packageRequests = [&] {
    int n = 0;
    for (const std::string& line : server.Requests()) n += line.ends_with(".msi");
    return n;
  };
  serve(7, "stranger.msi");
  UpdaterSetup s;
  s.manifestUrl = server.Url("/cap-nhat.txt");
  s.runningVersion = "1.4.12";
  s.dataFolder = Utf8ToUtf16(data_.string());
  s.keys = testing::TestKeys();
  s.installed = true;
  s.ableToElevate = [] { return true; };
  s.packageSigners = {pinned_, ""};
  Updater u(std::move(s));
  ASSERT_TRUE(CheckForUpdate(u));
  ASSERT_EQ(GetUpdateStatus(u).kind, UpdateKind::Ready);
  OsslsigncodeInstaller system(authority_);
  EXPECT_FALSE(StartInstallation(u, system));

  EXPECT_TRUE(CheckForUpdate(u));  // a successful check: no back-off
  EXPECT_EQ(packageRequests(), 1);
  EXPECT_EQ(GetUpdateStatus(u).statusText, kUnsignedPackageText);

  serve(8, "signed.msi");
  EXPECT_TRUE(CheckForUpdate(u));
  EXPECT_EQ(packageRequests(), 2);
  EXPECT_EQ(GetUpdateStatus(u).statusText, u"");
}

}  // namespace
}  // namespace tonvira
