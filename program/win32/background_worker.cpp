#include "program/win32/background_worker.h"

#include <ctime>
#include <thread>

#include "app/main_window.h"
#include "app/version.h"
#include "config/data_folder.h"
#include "config/file_system.h"
#include "promo/banner_request.h"
#include "promo/machine_facts.h"
#include "text/utf8.h"
#include "text/win32/handle.h"
#include "update/evaluation.h"
#include "update/installation.h"
#include "update/signature.h"

namespace tonvira {
namespace {

// A split token (UAC on) can be elevated; a full one only by a member of Administrators.
bool CanElevate() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  KernelHandle owner(token);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size)) return false;
  if (type != TokenElevationTypeDefault) return true;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  bool able = CheckTokenMembership(nullptr, administrators, &member) && member;
  FreeSid(administrators);
  return able;
}

bool CloudOn(App& app) {
  // Written on the main thread; a byte read here is at worst one cycle late.
  return std::atomic_ref<uint8_t>(app.settings.cloud).load(std::memory_order_relaxed) != 0;
}

BannerRequestInputs BannerInputs() {
  BannerRequestInputs in;
  in.serverVariable = EnvironmentValue(u"TONVIRA_SERVER");
  in.versionVariable = EnvironmentValue(u"TONVIRA_VERSION");
  in.builtInHost = BuiltInBannerHost();
  in.runningVersion = std::u16string(kRunningVersion);
  in.machineGuid = ReadMachineGuid();
  in.computerName = ComputerName();
  return in;
}

}  // namespace

BackgroundWorker* g_worker = nullptr;

BackgroundWorker::BackgroundWorker(App& app)
    : updater(Setup()), worker{updater,
                               banner,
                               DataFilePath(u"banner.txt"),
                               BannerInputs,
                               [&app] { return CloudOn(app); },
                               clock,
                               signals,
                               {}} {}

UpdaterSetup BackgroundWorker::Setup() {
  UpdaterSetup s;
  s.manifestUrl = BuiltInManifestUrl();
  s.runningVersion = Utf16ToUtf8(kRunningVersion);
  s.dataFolder = DataFolder();
  s.keys = BuiltInKeys();
  s.packageSigners = BuiltInPackageSigners();
  s.installed = IsInstalledFolder(ProgramFolder(), ProgramFilesFolder(), ProgramFilesX86Folder());
  s.ableToElevate = CanElevate;
  s.readPolicy = ReadUpdatePolicy;
  s.nowUnixSeconds = [] { return static_cast<uint64_t>(std::time(nullptr)); };
  s.statusChanged = [this] {
    if (HWND window = mainWindow.load()) PostMessageW(window, wm::kUpdateStateChanged, 0, 0);
  };
  return s;
}

void StartBackgroundWorker(App& app) {
  g_worker = new BackgroundWorker(app);
  std::thread([] { RunWorker(g_worker->worker); }).detach();
}

}  // namespace tonvira
