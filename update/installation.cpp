#include "update/installation.h"

#include "config/data_folder.h"
#include "config/file_system.h"
#include "text/utf8.h"
#include "update/attempts.h"
#include "update/package_signers.h"
#include "update/status_texts.h"
#include "update/url_rules.h"

namespace tonvira {
namespace {

void Notify(const Updater& u) {
  if (u.setup.statusChanged) u.setup.statusChanged();
}

// The text shown, the status published and the main window told; the caller holds the mutex.
void ShowText(Updater& u, std::u16string text) {
  u.statusText = std::move(text);
  PublishUpdateStatus(u);
}

void Save(const Updater& u) {
  SaveUpdateStateFile(u.state, u.setup.dataFolder);
}

}  // namespace

std::u16string InstallerCommandLine(std::u16string_view program, std::u16string_view package,
                                    std::u16string_view log) {
  std::u16string line = u"\"";
  line += program;
  line += u"\" /i \"";
  line += package;
  line += u"\" /qb /norestart /l*v \"";
  line += log;
  line += u"\"";
  return line;
}

bool StartInstallation(Updater& u, InstallerSystem& system) {
  Manifest m;
  {
    std::lock_guard lock(u.mutex);
    if (u.installing || u.status.kind < UpdateKind::Ready || !u.held) return false;
    m = *u.held;
  }

  if (system.InstallerBusy()) {
    {
      std::lock_guard lock(u.mutex);
      RecordAttempt(u.state, m.version);
      bool givenUp = RecordResult(u.state, kInstallerBusyCode, !u.busyCounted);
      u.busyCounted = true;
      Save(u);
      ShowText(u, givenUp ? VersionGivenUpText(m.version, kInstallerBusyCode)
                          : std::u16string(kAnotherInstallationText));
    }
    Notify(u);
    return false;
  }

  std::u16string folder = UpdateFolder(u);
  std::u16string package = JoinPath(folder, Utf8ToUtf16(InstallerFileName(m.msi)));
  std::optional<FileDigest> digest = system.OpenPackage(package);
  if (!digest || digest->size != m.size || digest->sha256 != m.sha256) {
    system.ClosePackage();
    RemoveFile(package);
    {
      std::lock_guard lock(u.mutex);
      if (u.held && SameManifest(*u.held, m)) u.packageReady = false;
      ShowText(u, std::u16string(kPackageDamagedText));
    }
    system.WakeWorker();
    Notify(u);
    return false;
  }

  if (AnySignerPinned(u.setup.packageSigners)) {
    std::optional<std::string> signer = system.PackageSigner();
    if (!signer || !SignerPinned(u.setup.packageSigners, *signer)) {
      system.ClosePackage();
      RemoveFile(package);
      {
        std::lock_guard lock(u.mutex);
        RecordAttempt(u.state, m.version);
        RecordSignatureRefused(u.state);
        Save(u);
        if (u.held && SameManifest(*u.held, m)) u.packageReady = false;
        u.refusedPackage = m;
        ShowText(u, std::u16string(kUnsignedPackageText));
      }
      Notify(u);
      return false;
    }
  }

  {
    std::lock_guard lock(u.mutex);
    RecordAttempt(u.state, m.version);
    Save(u);
  }
  std::u16string program = JoinPath(system.SystemFolder(), u"msiexec.exe");
  std::u16string log = JoinPath(folder, u"cai-dat-" + Utf8ToUtf16(m.version) + u".log");
  uint32_t error = system.StartProcess(program, InstallerCommandLine(program, package, log));
  if (error == 0) {
    {
      std::lock_guard lock(u.mutex);
      u.installing = true;
      ShowText(u, std::u16string(kWaitingForConsentText));
    }
    Notify(u);
    return true;
  }

  system.ClosePackage();
  {
    std::lock_guard lock(u.mutex);
    bool givenUp = RecordStartFailure(u.state, error);
    Save(u);
    if (error == kErrorBlockedByPolicy) {
      ShowText(u, std::u16string(kRefusedByPolicyText));
    } else if (givenUp) {
      ShowText(u, VersionGivenUpText(m.version, error));
    } else {
      ShowText(u, InstallerNotStartedText(error));
    }
  }
  Notify(u);
  return false;
}

bool FinishInstallation(Updater& u, uint32_t code) {
  bool restart = false;
  {
    std::lock_guard lock(u.mutex);
    u.installing = false;
    ExitClass c = ClassifyExitCode(code);
    std::string version = u.state.attempt;
    bool givenUp = RecordResult(u.state, code, c == ExitClass::Busy && !u.busyCounted);
    if (c == ExitClass::Busy) u.busyCounted = true;
    Save(u);
    switch (c) {
      case ExitClass::Success:
        u.restartRequested = true;
        restart = true;
        ShowText(u, {});
        break;
      case ExitClass::Cancelled:
        ShowText(u, std::u16string(kCancelledText));
        break;
      case ExitClass::Busy:
        ShowText(u, givenUp ? VersionGivenUpText(version, code) : std::u16string(kAnotherInstallationText));
        break;
      case ExitClass::RefusedByPolicy:
        ShowText(u, std::u16string(kRefusedByPolicyText));
        break;
      case ExitClass::PackageProblem:
      case ExitClass::Other:
        ShowText(u, givenUp ? VersionGivenUpText(version, code) : FailedMayRetryText(code));
        break;
    }
  }
  Notify(u);
  return restart;
}

bool RestartRequested(Updater& u) {
  std::lock_guard lock(u.mutex);
  return u.restartRequested;
}

}  // namespace tonvira
