// What the main window asks of Windows: the tray, the hotkey, the clipboard, the windows and
// the updater, for the portable main window's logic.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/win32/processes.h"
#include "program/win32/windows_app.h"

namespace tonvira {

class WindowsShell final : public ShellSystem {
 public:
  explicit WindowsShell(WindowsApp& w) : w_(w) {}

  bool AddTrayIcon() override { return w_.tray.Add(); }
  void RemoveTrayIcon() override { w_.tray.Remove(); }
  bool PromoteTrayIcon() override { return tonvira::PromoteTrayIcon(); }
  bool ShowTray(const std::u16string& tooltip, int state, bool shown) override {
    return w_.tray.Show(tooltip, state, shown);
  }
  bool ShowBalloon(const Notice& notice) override { return w_.tray.ShowBalloon(notice); }
  void ShowTrayMenu(const std::vector<MenuItem>& items) override { w_.tray.ShowMenu(items); }
  FieldFacts FocusedField() override {
    FocusFields focus = w_.focusTracker.published.Load();
    return {focus.password, focus.fieldClass, GetFocusDescription(w_.focusTracker)};
  }
  // On a thread-pool thread: the main thread never waits for the sound. A failed queue only
  // loses the beep.
  void Beep(uint32_t hertz) override;
  bool RegisterHotkey(uint32_t virtualKey) override;
  ProcessList& Processes() override { return processes_; }
  void ConvertClipboardInBackground() override;
  std::optional<Notice> TakeClipboardNotice() override;
  uint32_t TickCount() override { return GetTickCount(); }
  std::optional<int> NotificationState() override;
  void CloseMainWindow() override { DestroyWindow(w_.mainWindow); }
  void SaveSettingsSoon() override { tonvira::SaveSettingsSoon(w_.mainWindow); }
  void EndMessageLoop() override { PostQuitMessage(0); }

  // The updater fills these.
  void OpenSettingsWindow(std::optional<int> page) override;
  void RefreshSettingsWindow() override;
  UpdateStatus Update() override;
  LastAttempt TakeUpdateOutcome() override;
  void MarkUpdateNotified() override;
  void OpenUpdateWindow() override;
  void RefreshUpdateWindow() override;
  bool FinishInstallation(uint32_t exitCode, bool installerSeen) override;

 private:
  void LogUpdateState();
  WindowsApp& w_;
  WindowsProcessList processes_;
};

}  // namespace tonvira
