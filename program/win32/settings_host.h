// What the settings window needs from the program.
#pragma once

#include "program/win32/windows_app.h"
#include "ui/win32/settings_window.h"

namespace tonvira {

class WindowsSettingsHost final : public ui::SettingsHost {
 public:
  explicit WindowsSettingsHost(WindowsApp& w);
  App& TheApp() override { return w_.app; }
  FocusTracker& Tracker() override { return w_.focusTracker; }
  ui::WindowFacts Facts() override;
  Banner CurrentBanner() override;
  void OpenUpdateWindow() override;
  void StartUpdateCheck() override;
  void ClassifyAgain() override;
  void OptionsChanged() override;

 private:
  WindowsApp& w_;
  bool uiAccess_;
};

}  // namespace tonvira
