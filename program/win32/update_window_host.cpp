#include "program/win32/update_window_host.h"

#include <atomic>

#include "app/win32/installer.h"
#include "input/log.h"
#include "program/win32/background_worker.h"
#include "program/win32/windows_app.h"
#include "ui/win32/update_window.h"
#include "update/installation.h"

namespace tonvira {
namespace {

// The update window's button runs the installer; the status it publishes refreshes the window.
class WindowsUpdateWindowHost final : public ui::UpdateWindowHost {
 public:
  UpdateStatus Status() override { return GetUpdateStatus(g_worker->updater); }
  // Reading and hashing a package of up to 50 MiB and checking its signature take seconds: they
  // run on a thread of their own, which reports through the status it publishes (WM_APP+11),
  // and the windows stay responsive meanwhile.
  void InstallNow() override {
    // A damaged package is fetched again by a cycle that starts at once.
    static WindowsInstaller installer(g_app->mainWindow, [] { g_worker->signals.Wake(true); });
    static std::atomic<bool> checking{false};
    RunAlone(checking, "cai dat: dang kiem tra goi, bo qua lan bam nay", [] {
      bool started = StartInstallation(g_worker->updater, installer);
      LogLine("cai dat: %s\n", started ? "msiexec da chay" : "khong chay");
    });
  }
};

}  // namespace

void OpenTheUpdateWindow() {
  static WindowsUpdateWindowHost host;
  LogLine("cua so cap nhat\n");
  ui::OpenUpdateWindow(host);
}

}  // namespace tonvira
