// The Windows side of an update's installation: the Windows Installer's busy mutex, the
// package held open while it installs, msiexec started, and the waiter thread that reports
// the installer's beginning and its exit code to the main window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "text/win32/handle.h"
#include "update/installation.h"

namespace tonvira {

class WindowsInstaller final : public InstallerSystem {
 public:
  WindowsInstaller(HWND mainWindow, std::function<void()> wakeWorker)
      : mainWindow_(mainWindow), wakeWorker_(std::move(wakeWorker)) {}
  ~WindowsInstaller() override { ClosePackage(); }

  bool InstallerBusy() override;
  std::optional<FileDigest> OpenPackage(std::u16string_view path) override;
  void ClosePackage() override;
  std::optional<std::string> PackageSigner() override;
  std::u16string SystemFolder() override;
  uint32_t StartProcess(const std::u16string& program, const std::u16string& commandLine) override;
  void WakeWorker() override {
    if (wakeWorker_) wakeWorker_();
  }

 private:
  HWND mainWindow_;
  std::function<void()> wakeWorker_;
  FileHandle package_;  // held open from its check to the installer's end: no one swaps it
  std::wstring packagePath_;
};

}  // namespace tonvira
