// The updater's memory for one process and its cycle: fetch the signed manifest, keep a
// verified copy on disk, download the package it names and check it, and publish a status
// snapshot for the tray, the notices and the update window. Network and file work is done
// outside the mutex, so that the main thread never waits for the network.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/attempts.h"
#include "update/evaluation.h"
#include "update/manifest.h"
#include "update/package_signers.h"
#include "update/signature.h"
#include "update/update_state.h"

namespace tonvira {

enum class UpdateKind : uint8_t {
  Nothing = 0,     // nothing to offer
  Available = 1,   // an update exists, its package is not ready
  Ready = 2,       // an update exists and its package is ready
  InstallNow = 3,  // a mandatory update is ready to install now
  Installing = 4,  // an installation is under way
};

// Why a mandatory update is not InstallNow.
enum class UpdateBlocker : uint8_t {
  None = 0,
  NotDownloaded = 1,
  NotInstalled = 2,        // not running from the Program Files folders (a portable copy)
  CannotElevate = 3,       // the user cannot obtain administrator rights
  NotConfirmedOnline = 4,  // only reloaded from disk in this run
  NotifyOnly = 5,
};

struct UpdateStatus {
  UpdateKind kind = UpdateKind::Nothing;
  UpdateBlocker blocker = UpdateBlocker::None;
  bool pressing = false;  // the evaluation said forced or notify only
  std::u16string runningVersion;
  std::u16string offeredVersion;
  std::u16string minimum;
  std::u16string published;
  std::vector<std::u16string> notes;
  uint64_t packageSize = 0;
  uint64_t lastCheckTime = 0;  // last_ok, Unix seconds
  bool checking = false;
  bool downloading = false;
  bool lastCheckFailed = false;
  bool policyOff = false;
  bool noUsableKey = false;
  bool notified = false;      // the user was already told about the offered version
  std::u16string statusText;  // what became of the last installation step, or empty
};

inline constexpr std::u16string_view kUpdateFolderName = u"cap-nhat";
inline constexpr std::u16string_view kManifestCopyName = u"cap-nhat.txt";
// "Tonvira/1.4.12 (Windows)" for version 1.4.12.
std::string UpdateUserAgent(std::string_view runningVersion);
// The build's manifest URL (TONVIRA_MANIFEST_URL).
std::string_view BuiltInManifestUrl();

// What the updater needs from the program and the machine.
struct UpdaterSetup {
  std::string manifestUrl;     // the build's, path "/cap-nhat.txt"
  std::string runningVersion;  // this program's version
  std::u16string dataFolder;
  VerificationKeys keys{};
  PackageSigners packageSigners{};      // none pinned: packages are installed unchecked
  bool installed = false;               // runs from under the Program Files folders
  std::function<bool()> ableToElevate;  // asked once per process
  std::function<UpdatePolicy()> readPolicy;
  std::function<uint64_t()> nowUnixSeconds;
  std::function<void()> statusChanged;  // posts WM_APP+11 to the main window (may be empty)
};

// One per process. Every field below the mutex is read and written only while holding it.
struct Updater {
  explicit Updater(UpdaterSetup s) : setup(std::move(s)) {}
  const UpdaterSetup setup;

  std::mutex mutex;
  std::optional<Manifest> held;
  bool packageReady = false;
  bool confirmedOnline = false;
  bool installing = false;
  bool checking = false;
  bool downloading = false;
  bool lastCheckFailed = false;
  std::u16string statusText;
  UpdateState state;
  bool stateLoaded = false;
  std::optional<LastAttempt> lastAttempt;  // what became of the last installation, once
  std::optional<bool> ableToElevate;
  bool busyCounted = false;       // a busy installer was counted once in this run
  bool restartRequested = false;  // an installation succeeded: start again at exit
  // The package refused for its signature: the same bytes would come again, so it is not
  // downloaded again while the held manifest still names it.
  std::optional<Manifest> refusedPackage;
  UpdateStatus status;
};

// Files of the update folder.
std::u16string UpdateFolder(const Updater& updater);

struct FileDigest {
  std::string sha256;  // 64 lower-case hex digits
  uint64_t size = 0;
};
// Nothing when the file cannot be read (or is far larger than any package).
std::optional<FileDigest> FileSha256(std::u16string_view path);
// The same of bytes already read; nothing when the hash cannot be computed.
std::optional<FileDigest> DigestOfBytes(std::string_view bytes);

// Equal version, sha256, size and msi.
bool SameManifest(const Manifest& a, const Manifest& b);

// Deletes every file of the folder but "cap-nhat.txt" and keep (both ignoring case).
void CleanUpdateFolder(std::u16string_view folder, std::u16string_view keep);

// At worker start: the state from update.txt, then the verified copy of the last manifest,
// so that a package downloaded earlier can be offered without the network.
void LoadCachedManifest(Updater& updater);
// One cycle. False when the fetch, the verification or the download failed; true otherwise,
// also when the check was skipped.
bool CheckForUpdate(Updater& updater);
bool DownloadInstaller(Updater& updater, const Manifest& manifest);

// Recomputes the status; the caller holds the mutex.
void PublishUpdateStatus(Updater& updater);
UpdateStatus GetUpdateStatus(Updater& updater);

// What became of the last run's installation, once: later calls give None.
LastAttempt TakeLastAttempt(Updater& updater);
// The offered version is the one the user was told about (kept in update.txt).
void MarkNotified(Updater& updater);

}  // namespace tonvira
