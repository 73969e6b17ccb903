#include "update/updater.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "config/data_folder.h"
#include "config/file_system.h"
#include "text/utf8.h"
#include "update/crypto.h"
#include "update/dotted_version.h"
#include "update/folder_listing.h"
#include "update/http.h"
#include "update/status_texts.h"
#include "update/url_rules.h"

namespace tonvira {
namespace {

void Notify(const Updater& u) {
  if (u.setup.statusChanged) u.setup.statusChanged();
}

std::u16string Lowered(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

// The source a held manifest is judged against: where it was accepted from.
std::string_view SourceOf(const Updater& u) {
  return u.state.source.empty() ? std::string_view(u.setup.manifestUrl) : std::string_view(u.state.source);
}

UpdateEvaluation Evaluate(const Updater& u, const Manifest& m, UpdatePolicy policy) {
  UpdateContext context;
  context.sourceUrl = SourceOf(u);
  context.runningVersion = u.setup.runningVersion;
  context.max_seq = u.state.max_seq;
  context.policy = policy;
  context.stuck = u.state.stuck;
  context.blocked = u.state.blocked;
  return EvaluateUpdate(m, context);
}

// Once per process, with the state just loaded: what became of the last installation.
void EvaluateLastAttemptOnce(Updater& u) {
  if (!u.stateLoaded) {
    u.state = LoadUpdateStateFile(u.setup.dataFolder);
    u.stateLoaded = true;
  }
  if (u.lastAttempt) return;
  UpdateState before = u.state;
  u.lastAttempt = EvaluateLastAttempt(u.state, u.setup.runningVersion);
  if (u.state != before) SaveUpdateStateFile(u.state, u.setup.dataFolder);
  switch (*u.lastAttempt) {
    case LastAttempt::Unfinished:
      u.statusText = kLastRunUnfinishedText;
      break;
    case LastAttempt::GivenUp:
      u.statusText = GivenUpAfterRetriesText(u.state.attempt);
      break;
    case LastAttempt::InstalledNotRunning:
      u.statusText = InstalledNotRunningText(u.state.attempt, u.setup.runningVersion);
      break;
    default:
      break;
  }
}

bool PackageMatches(std::u16string_view path, const Manifest& m) {
  if (!FileExists(path)) return false;
  std::optional<FileDigest> digest = FileSha256(path);
  return digest && digest->size == m.size && digest->sha256 == m.sha256;
}

}  // namespace

std::string UpdateUserAgent(std::string_view runningVersion) {
  return "Tonvira/" + std::string(runningVersion) + " (Windows)";
}

std::string_view BuiltInManifestUrl() {
  return TONVIRA_MANIFEST_URL;
}

std::u16string UpdateFolder(const Updater& updater) {
  return JoinPath(updater.setup.dataFolder, kUpdateFolderName);
}

std::optional<FileDigest> FileSha256(std::u16string_view path) {
  std::error_code error;
  std::filesystem::path native{std::u16string(path)};
  uintmax_t size = std::filesystem::file_size(native, error);
  // Nothing that large is a package: it is not read into memory to find out.
  if (error || size > 2 * kMaxPackageSize) return std::nullopt;
  FileBytes file = ReadFileBytes(path);
  if (file.status != FileRead::Ok) return std::nullopt;
  return DigestOfBytes(file.bytes);
}

std::optional<FileDigest> DigestOfBytes(std::string_view bytes) {
  Sha256Digest digest{};
  if (!Sha256(bytes, digest)) return std::nullopt;
  return FileDigest{HexOf(digest), bytes.size()};
}

bool SameManifest(const Manifest& a, const Manifest& b) {
  return a.version == b.version && a.sha256 == b.sha256 && a.size == b.size && a.msi == b.msi;
}

void CleanUpdateFolder(std::u16string_view folder, std::u16string_view keep) {
  std::u16string keepLowered = Lowered(keep);
  std::u16string copyLowered = Lowered(kManifestCopyName);
  for (const std::u16string& name : FilesInFolder(folder)) {
    std::u16string lowered = Lowered(name);
    if (lowered == copyLowered || (!keep.empty() && lowered == keepLowered)) continue;
    RemoveFile(JoinPath(folder, name));
  }
}

void PublishUpdateStatus(Updater& u) {
  UpdatePolicy policy = u.setup.readPolicy ? u.setup.readPolicy() : UpdatePolicy::Automatic;
  UpdateStatus s;
  s.runningVersion = Utf8ToUtf16(u.setup.runningVersion);
  if (u.held) {
    const Manifest& m = *u.held;
    UpdateEvaluation e = Evaluate(u, m, policy);
    if (e.has_update) {
      s.kind = u.packageReady ? UpdateKind::Ready : UpdateKind::Available;
      if (e.notify_only) {
        s.blocker = UpdateBlocker::NotifyOnly;
      } else if (e.forced) {
        if (!u.ableToElevate) u.ableToElevate = u.setup.ableToElevate && u.setup.ableToElevate();
        if (!u.packageReady) {
          s.blocker = UpdateBlocker::NotDownloaded;
        } else if (!u.setup.installed) {
          s.blocker = UpdateBlocker::NotInstalled;
        } else if (!*u.ableToElevate) {
          s.blocker = UpdateBlocker::CannotElevate;
        } else if (!u.confirmedOnline) {
          s.blocker = UpdateBlocker::NotConfirmedOnline;
        } else {
          s.kind = UpdateKind::InstallNow;
        }
      }
    }
    s.pressing = e.forced || e.notify_only;
    s.offeredVersion = Utf8ToUtf16(m.version);
    s.minimum = Utf8ToUtf16(m.min.value_or(""));
    s.published = Utf8ToUtf16(m.published);
    for (const std::string& note : m.notes) s.notes.push_back(Utf8ToUtf16(note));
    s.packageSize = m.size;
  }
  if (u.installing) s.kind = UpdateKind::Installing;
  s.lastCheckTime = u.state.last_ok;
  s.checking = u.checking;
  s.downloading = u.downloading;
  s.lastCheckFailed = u.lastCheckFailed;
  s.policyOff = policy == UpdatePolicy::Off;
  s.noUsableKey = UsableKeyCount(u.setup.keys) == 0;
  s.notified = u.held && !u.state.notified.empty() && SameVersion(u.state.notified, u.held->version);
  s.statusText = u.statusText;
  u.status = std::move(s);
}

UpdateStatus GetUpdateStatus(Updater& u) {
  std::lock_guard lock(u.mutex);
  return u.status;
}

LastAttempt TakeLastAttempt(Updater& u) {
  std::lock_guard lock(u.mutex);
  if (!u.lastAttempt) return LastAttempt::None;
  return std::exchange(*u.lastAttempt, LastAttempt::None);
}

void MarkNotified(Updater& u) {
  std::lock_guard lock(u.mutex);
  if (!u.held || u.state.notified == u.held->version) return;
  u.state.notified = u.held->version;
  SaveUpdateStateFile(u.state, u.setup.dataFolder);
  PublishUpdateStatus(u);
}

void LoadCachedManifest(Updater& u) {
  bool updated = false;
  {
    std::lock_guard lock(u.mutex);
    EvaluateLastAttemptOnce(u);
    updated = u.lastAttempt == LastAttempt::Updated;
  }
  std::u16string folder = UpdateFolder(u);
  // The package of the version that now runs has done its work.
  if (updated) CleanUpdateFolder(folder, {});
  std::optional<Manifest> cached;
  bool ready = false;
  if (UsableKeyCount(u.setup.keys) > 0) {
    FileBytes copy = ReadFileBytes(JoinPath(folder, kManifestCopyName));
    if (copy.status == FileRead::Ok && copy.bytes.size() <= kMaxDocumentBytes) {
      cached = VerifyManifest(copy.bytes, u.setup.keys);
    }
    uint64_t maxSeq = 0;
    {
      std::lock_guard lock(u.mutex);
      maxSeq = u.state.max_seq;
    }
    if (cached && cached->seq < maxSeq) cached.reset();
    if (cached) {
      std::u16string name = Utf8ToUtf16(InstallerFileName(cached->msi));
      ready = !name.empty() && PackageMatches(JoinPath(folder, name), *cached);
    }
  }
  {
    std::lock_guard lock(u.mutex);
    if (cached && !u.held) {
      u.held = std::move(cached);
      u.packageReady = ready;
      u.confirmedOnline = false;
    }
    PublishUpdateStatus(u);
  }
  Notify(u);
}

bool DownloadInstaller(Updater& u, const Manifest& m) {
  std::u16string name = Utf8ToUtf16(InstallerFileName(m.msi));
  if (name.empty()) return false;
  std::u16string folder = UpdateFolder(u);
  if (!MakeFolder(u.setup.dataFolder) || !MakeFolder(folder)) return false;
  std::u16string target = JoinPath(folder, name);
  if (FileExists(target)) {
    if (PackageMatches(target, m)) return true;
    RemoveFile(target);
  }
  {
    std::lock_guard lock(u.mutex);
    u.downloading = true;
    PublishUpdateStatus(u);
  }
  Notify(u);
  HttpRequest request;
  request.url = m.msi;
  request.byteLimit = m.size;
  request.filePath = target + u".part";
  request.userAgent = UpdateUserAgent(u.setup.runningVersion);
  request.deadlineMs = DownloadDeadlineMs(m.size);
  HttpResult got = HttpGet(request);
  bool ok = got.status == 200 && got.bytes == m.size && got.sha256 == m.sha256;
  if (ok) {
    ok = MoveFileOver(request.filePath, target);
  } else {
    RemoveFile(request.filePath);
  }
  {
    std::lock_guard lock(u.mutex);
    u.downloading = false;
    PublishUpdateStatus(u);
  }
  return ok;
}

bool CheckForUpdate(Updater& u) {
  bool skipped = false;
  {
    std::lock_guard lock(u.mutex);
    EvaluateLastAttemptOnce(u);
    if (u.installing) return true;
    PublishUpdateStatus(u);
    skipped = u.status.policyOff || u.status.noUsableKey;
    u.checking = !skipped;
    if (!skipped) u.lastCheckFailed = false;
    PublishUpdateStatus(u);
  }
  Notify(u);
  if (skipped) return true;

  std::string document;
  HttpRequest request;
  request.url = u.setup.manifestUrl;
  request.byteLimit = kMaxDocumentBytes;
  request.text = &document;
  request.userAgent = UpdateUserAgent(u.setup.runningVersion);
  request.deadlineMs = kTransferDeadlineMs;
  HttpResult got = HttpGet(request);
  std::optional<Manifest> fetched;
  if (got.status == 200) fetched = VerifyManifest(document, u.setup.keys);
  if (!fetched) {
    {
      std::lock_guard lock(u.mutex);
      u.checking = false;
      u.lastCheckFailed = true;
      PublishUpdateStatus(u);
    }
    Notify(u);
    return false;
  }

  bool accepted = false;
  {
    std::lock_guard lock(u.mutex);
    // A manifest older than one already seen is a replay: the held one stays.
    if (fetched->seq >= u.state.max_seq) {
      accepted = true;
      if (!u.held || !SameManifest(*u.held, *fetched)) {
        u.packageReady = false;
        u.statusText.clear();
      }
      u.held = *fetched;
      u.confirmedOnline = true;
      u.state.max_seq = fetched->seq;
      u.state.source = u.setup.manifestUrl;
      u.state.last_ok = u.setup.nowUnixSeconds ? u.setup.nowUnixSeconds() : 0;
      SaveUpdateStateFile(u.state, u.setup.dataFolder);
      PublishUpdateStatus(u);
    }
  }
  std::u16string folder = UpdateFolder(u);
  // The copy is only read at the next start; a disk error here costs nothing now.
  if (accepted && MakeFolder(u.setup.dataFolder) && MakeFolder(folder)) {
    WriteFileBytes(JoinPath(folder, kManifestCopyName), document);
  }

  std::optional<Manifest> offered;
  bool refused = false;
  {
    std::lock_guard lock(u.mutex);
    UpdatePolicy policy = u.setup.readPolicy ? u.setup.readPolicy() : UpdatePolicy::Automatic;
    if (u.held && Evaluate(u, *u.held, policy).has_update) offered = u.held;
    // A package refused for its signature would come again byte for byte: the worker waits
    // for a newer manifest instead.
    refused = offered && u.refusedPackage && SameManifest(*u.refusedPackage, *offered);
  }
  bool result = true;
  if (refused) {
    CleanUpdateFolder(folder, {});
  } else if (offered) {
    result = DownloadInstaller(u, *offered);
    CleanUpdateFolder(folder, Utf8ToUtf16(InstallerFileName(offered->msi)));
    std::lock_guard lock(u.mutex);
    if (u.held && SameManifest(*u.held, *offered)) {
      u.packageReady = result;
      // The package refused as damaged is whole again: "downloading again" is over.
      if (result && u.statusText == kPackageDamagedText) u.statusText.clear();
    }
  } else {
    CleanUpdateFolder(folder, {});
    std::lock_guard lock(u.mutex);
    u.packageReady = false;
  }
  {
    std::lock_guard lock(u.mutex);
    u.checking = false;
    PublishUpdateStatus(u);
  }
  Notify(u);
  return result;
}

}  // namespace tonvira
