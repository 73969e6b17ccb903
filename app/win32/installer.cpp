#include "app/win32/installer.h"

#include <softpub.h>
#include <wintrust.h>

#include <algorithm>
#include <string>
#include <thread>
#include <utility>

#include "app/main_window.h"
#include "text/win32/wide.h"
#include "update/manifest.h"

namespace tonvira {
namespace {

constexpr DWORD kWaitSliceMs = 250;

bool InstallerMutexHeld() {
  if (KernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, Wide(kInstallerMutexName).c_str())); mutex)
    return true;
  // Held by the installer service under another account: there, but not ours to open.
  return GetLastError() == ERROR_ACCESS_DENIED;
}

// Waits for the installer in slices, so that its beginning (the Windows Installer's mutex,
// taken once the user said yes) hides the tray icon while the files are replaced.
void WaitForInstaller(HWND mainWindow, KernelHandle process, FileHandle package) {
  bool seen = false;
  for (;;) {
    DWORD waited = WaitForSingleObject(process.get(), kWaitSliceMs);
    if (!seen && InstallerMutexHeld()) {
      seen = true;
      PostMessageW(mainWindow, wm::kHideIconForInstall, 0, 0);
    }
    if (waited != WAIT_TIMEOUT) break;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) code = 1603;  // a fatal error during installation
  process.reset();
  package.reset();
  PostMessageW(mainWindow, wm::kInstallerExited, code, seen ? 1 : 0);
}

}  // namespace

bool WindowsInstaller::InstallerBusy() {
  return InstallerMutexHeld();
}

std::optional<FileDigest> WindowsInstaller::OpenPackage(std::u16string_view path) {
  ClosePackage();
  packagePath_ = Wide(path);
  // Shared for reading only: nobody can change or replace it until the installer is done.
  package_.reset(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!package_) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(package_.get(), &size) || size.QuadPart < 0 ||
      static_cast<uint64_t>(size.QuadPart) > 2 * kMaxPackageSize)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!ReadFile(package_.get(), bytes.data() + done, want, &got, nullptr) || got == 0) return std::nullopt;
    done += got;
  }
  return DigestOfBytes(bytes);
}

std::optional<std::string> WindowsInstaller::PackageSigner() {
  if (!package_ || packagePath_.empty()) return std::nullopt;
  // The file already held open is the one checked, so it cannot be swapped between the check
  // and the installer. Revocation is not asked for: it would need the network, and a package
  // that reached us is already pinned to our own certificate.
  WINTRUST_FILE_INFO file{};
  file.cbStruct = sizeof(file);
  file.pcwszFilePath = packagePath_.c_str();
  file.hFile = package_.get();
  WINTRUST_DATA trust{};
  trust.cbStruct = sizeof(trust);
  trust.dwUIChoice = WTD_UI_NONE;
  trust.fdwRevocationChecks = WTD_REVOKE_NONE;
  trust.dwUnionChoice = WTD_CHOICE_FILE;
  trust.pFile = &file;
  trust.dwStateAction = WTD_STATEACTION_VERIFY;
  trust.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  LONG verdict = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
  std::optional<std::string> thumbprint;
  if (verdict == ERROR_SUCCESS) {
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(trust.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    if (signer && signer->csCertChain > 0 && signer->pasCertChain && signer->pasCertChain[0].pCert) {
      const CERT_CONTEXT* certificate = signer->pasCertChain[0].pCert;
      std::optional<FileDigest> digest = DigestOfBytes(std::string_view(
          reinterpret_cast<const char*>(certificate->pbCertEncoded), certificate->cbCertEncoded));
      if (digest) thumbprint = digest->sha256;
    }
  }
  trust.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
  return thumbprint;
}

void WindowsInstaller::ClosePackage() {
  package_.reset();
  packagePath_.clear();
}

std::u16string WindowsInstaller::SystemFolder() {
  wchar_t folder[MAX_PATH] = L"";
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return u"C:\\Windows\\System32";
  return std::u16string(folder, folder + length);
}

uint32_t WindowsInstaller::StartProcess(const std::u16string& program, const std::u16string& commandLine) {
  std::wstring line = Wide(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    DWORD error = GetLastError();
    return error != 0 ? error : kErrorGenFailure;
  }
  KernelHandle thread(process.hThread);  // not needed: closed here
  packagePath_.clear();
  std::thread(WaitForInstaller, mainWindow_, KernelHandle(process.hProcess), std::move(package_)).detach();
  return 0;
}

}  // namespace tonvira
