// What the parts of tonvira.exe share: the portable App with what only the Windows program has,
// the main window's own messages, and the saves of settings.txt.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "app/app.h"
#include "app/win32/tray.h"
#include "context/focus_tracking.h"

namespace tonvira {

// Posted by the focus-tracking thread after each classification.
constexpr UINT kMessageFocusClassified = WM_APP + 20;
// Sent by the taskbar listener when the session ends (log-off, shut-down, or an installer's
// restart manager closing us): lParam carries WM_ENDSESSION's flags.
constexpr UINT kMessageEndSession = WM_APP + 16;
// Posted by a background save of settings.txt: wParam 1 when it was written.
constexpr UINT kMessageSettingsSaved = WM_APP + 17;
constexpr UINT_PTR kSaveTimerId = 2;

// The portable objects, and what only the Windows program has.
struct WindowsApp {
  App app;
  FocusTracker focusTracker;
  HWND mainWindow = nullptr;
  Tray tray;
};
// The one program object, from the start of Run on.
extern WindowsApp* g_app;

// settings.txt now, on this thread; false when it could not be written.
bool SaveSettingsNow();
// A copy of the settings written on a thread of its own; kMessageSettingsSaved tells how it went.
void SaveSettingsInBackground();
// A burst of changes is written once, a second after the last of them.
void SaveSettingsSoon(HWND mainWindow);

// Runs work on a thread of its own unless its last run is still going, when the press is traced
// and ignored: for work that takes seconds and must not hold up the windows.
void RunAlone(std::atomic<bool>& busy, const char* ignoredTrace, std::function<void()> work);

}  // namespace tonvira
