// Running the Windows Installer on a downloaded package, and what its exit code means for the
// program: the busy check, the package checked again and held open while it installs, the
// command line, the bookkeeping of every attempt and the texts the update window shows. The
// system calls go through InstallerSystem; the waiter thread only waits and reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "update/updater.h"

namespace tonvira {

// The Windows Installer's own mutex, held while any installation runs.
inline constexpr std::u16string_view kInstallerMutexName = u"Global\\_MSIExecute";
inline constexpr uint32_t kInstallerBusyCode = 1618;
inline constexpr uint32_t kErrorGenFailure = 31;  // what a start failure without an error reads as

class InstallerSystem {
 public:
  virtual ~InstallerSystem() = default;
  // Another installation runs: the installer's mutex opens, or exists and is not ours to open.
  virtual bool InstallerBusy() = 0;
  // Opens the package for reading, shared for reading only, and hashes it. The file stays open
  // (so it cannot be replaced) until the installer has exited, or until ClosePackage. Nothing
  // when it cannot be opened or read.
  virtual std::optional<FileDigest> OpenPackage(std::u16string_view path) = 0;
  virtual void ClosePackage() = 0;
  // The Authenticode signature of the package OpenPackage holds open: the signer certificate's
  // SHA-256 thumbprint (64 hex digits) when the signature is intact and its chain trusted;
  // nothing when it is unsigned, changed after signing or not trusted. Asked only when the
  // build pins a signer.
  virtual std::optional<std::string> PackageSigner() = 0;
  virtual std::u16string SystemFolder() = 0;
  // Starts the installer process; on success starts the waiter with its process and the open
  // package and returns 0, otherwise the error (never 0).
  virtual uint32_t StartProcess(const std::u16string& program, const std::u16string& commandLine) = 0;
  // The background worker starts its next cycle at once (to download a damaged package again).
  virtual void WakeWorker() = 0;
};

// "\"C:\\Windows\\system32\\msiexec.exe\" /i \"PACKAGE\" /qb /norestart /l*v \"LOG\"".
std::u16string InstallerCommandLine(std::u16string_view program, std::u16string_view package,
                                    std::u16string_view log);

// The update window's button: true when the installer runs now. A package whose signer the
// build does not pin is deleted and its version given up, and the worker does not fetch it
// again until a newer manifest names another package. Every outcome ends in a status
// text and a published status.
bool StartInstallation(Updater& updater, InstallerSystem& system);
// The waiter's report of the installer's exit code. True when the installation succeeded and
// the program must end now, to start again.
bool FinishInstallation(Updater& updater, uint32_t exitCode);
// Read at exit: start the program again.
bool RestartRequested(Updater& updater);

}  // namespace tonvira
