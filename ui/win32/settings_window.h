// The settings window on Windows: one top-level window of the main thread, four pages drawn
// from the control table, every control acting at once.
#pragma once

#include <windows.h>

#include <optional>

#include "app/app.h"
#include "context/focus_tracker.h"
#include "promo/banner.h"
#include "ui/settings_model.h"

namespace tonvira::ui {

// What the window needs from the rest of the program.
class SettingsHost {
 public:
  virtual ~SettingsHost() = default;
  virtual App& TheApp() = 0;
  virtual FocusTracker& Tracker() = 0;
  virtual WindowFacts Facts() = 0;
  virtual Banner CurrentBanner() = 0;
  virtual void OpenUpdateWindow() = 0;
  virtual void StartUpdateCheck() = 0;
  // The focused field's class once more, after the per-application rules changed.
  virtual void ClassifyAgain() = 0;
  // The user changed an option: it is saved within a second, off this thread, and the
  // background worker looks at its schedule again.
  virtual void OptionsChanged() = 0;
};

// Creates the window, or brings the existing one forward; then shows the page when given.
void OpenSettingsWindow(SettingsHost& host, std::optional<int> page);
// Sets every control from the settings again (after the tray or the hotkey changed one).
void RefreshSettingsControls();
HWND SettingsWindowHandle();
// For the message loop: Ctrl+Tab and Ctrl+Shift+Tab switch pages, and the dialog keys move
// between controls. True when the message was used up.
bool HandleSettingsWindowMessage(MSG& message);

}  // namespace tonvira::ui
