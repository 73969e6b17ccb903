// The main window's work, apart from Win32: every message the hidden main window handles, the
// toggle of the tray, menu and hotkey, the tray refresh and the periodic timer. The window
// procedure on Windows only hands its messages here; the tests hand them from the simulated
// desktop. What needs the system goes through ShellSystem.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/clipboard_convert.h"
#include "app/other_input_methods.h"
#include "app/shell.h"
#include "update/attempts.h"
#include "update/updater.h"

namespace tonvira {

// The message numbers the main window handles, as Windows numbers them.
namespace wm {
inline constexpr uint32_t kDestroy = 0x0002;
inline constexpr uint32_t kCommand = 0x0111;
inline constexpr uint32_t kTimer = 0x0113;
inline constexpr uint32_t kHotkey = 0x0312;
// The tray icon's callback; the mouse or balloon event comes in lParam.
inline constexpr uint32_t kTray = 0x8001;
inline constexpr uint32_t kLeftButtonUp = 0x0202;
inline constexpr uint32_t kLeftButtonDoubleClick = 0x0203;
inline constexpr uint32_t kRightButtonUp = 0x0205;
inline constexpr uint32_t kBalloonUserClick = 0x0405;
// Posted by the updater.
inline constexpr uint32_t kUpdateStateChanged = 0x800B;
inline constexpr uint32_t kInstallerExited = 0x800D;
inline constexpr uint32_t kHideIconForInstall = 0x800E;
// Posted when a clipboard conversion started by the tray's item has ended.
inline constexpr uint32_t kClipboardConverted = 0x8012;
}  // namespace wm

inline constexpr uint32_t kMainTimerId = 1;
inline constexpr uint32_t kMainTimerMs = 3000;
inline constexpr int kHotkeyId = 1;

// Registered at run time ("Tonvira.ShowSettings" from a second start, "TaskbarCreated" from
// the shell), so their numbers are handed in.
struct RegisteredMessages {
  uint32_t showSettings = 0;
  uint32_t taskbarCreated = 0;
};

struct WindowMessage {
  uint32_t message = 0;
  uint64_t wParam = 0;
  int64_t lParam = 0;
};

// The settings window has four pages.
inline constexpr int kSettingsPages = 4;

// Everything the main window asks of the system.
class ShellSystem {
 public:
  virtual ~ShellSystem() = default;

  // The notification-area icon.
  virtual bool AddTrayIcon() = 0;  // true when the icon is there now
  virtual void RemoveTrayIcon() = 0;
  virtual bool PromoteTrayIcon() = 0;  // true when the shell was asked to keep it visible
  // The tooltip and the icon of a state, sent to the shell when shown; false when the shell
  // refused them (it no longer has the icon).
  virtual bool ShowTray(const std::u16string& tooltip, int iconState, bool shown) = 0;
  virtual bool ShowBalloon(const Notice& notice) = 0;  // false when the icon could not take it
  virtual void ShowTrayMenu(const std::vector<MenuItem>& items) = 0;

  // The focused field as focus tracking last saw it.
  virtual FieldFacts FocusedField() = 0;
  // A short tone; the caller never waits for it.
  virtual void Beep(uint32_t hertz) = 0;
  // Ctrl+Shift+virtualKey as a system hotkey that does not repeat while held, the earlier one
  // released first; 0 only releases. False when Windows refused it (another program holds it).
  virtual bool RegisterHotkey(uint32_t virtualKey) = 0;
  // Where to look for other Vietnamese input methods.
  virtual ProcessList& Processes() = 0;
  // Removes the marks from the copied text off this thread (a long text takes a while), then
  // posts kClipboardConverted; TakeClipboardNotice gives what the user is told, once. A press
  // while a conversion runs is ignored.
  virtual void ConvertClipboardInBackground() = 0;
  virtual std::optional<Notice> TakeClipboardNotice() = 0;
  // The milliseconds tick and the user's notification state (nothing when the query failed).
  virtual uint32_t TickCount() = 0;
  virtual std::optional<int> NotificationState() = 0;
  virtual void CloseMainWindow() = 0;  // the message loop ends and the program exits
  // The settings are written within a second, off this thread (a flush can take long); a failed
  // write is told to the user once.
  virtual void SaveSettingsSoon() = 0;
  virtual void EndMessageLoop() = 0;

  // Filled by the settings window and the updater as they come.
  virtual void OpenSettingsWindow(std::optional<int> page) = 0;
  virtual void RefreshSettingsWindow() = 0;
  // The updater's status; "nothing to offer" until it runs.
  virtual UpdateStatus Update() = 0;
  // What became of the last run's installation, once.
  virtual LastAttempt TakeUpdateOutcome() = 0;
  virtual void MarkUpdateNotified() = 0;
  virtual void OpenUpdateWindow() = 0;
  virtual void RefreshUpdateWindow() = 0;
  // The installer has exited with this code; true when it succeeded and the program must end
  // now (to start again as the new version).
  virtual bool FinishInstallation(uint32_t exitCode, bool installerSeen) = 0;
};

// One message of the main window. False when it is none of its messages: the window passes it
// to the default procedure.
bool HandleMainWindowMessage(App& app, ShellSystem& system, const RegisteredMessages& registered,
                             const WindowMessage& m);

// The tray's, the menu's and the hotkey's toggle: while suspended the update window opens
// instead; the setting follows (saved at the next save), with a high or low beep.
void ToggleVietnamese(App& app, ShellSystem& system);
// Tooltip and icon from the state of now.
void RefreshTray(App& app, ShellSystem& system);
// Ctrl+Shift+key in hotkey mode 2; mode 1 needs none (the hook's chord detector toggles). When
// the key cannot be registered, the user is told once (per key and reason) and the chord
// toggles as in mode 1 meanwhile, so there is always a keyboard toggle; the timer tries again.
void RegisterToggleHotkey(App& app, ShellSystem& system);
// A notice shown at once when the icon is there, or kept until it is.
void ShowNotice(App& app, ShellSystem& system, const Notice& notice);
// The periodic steps, every three seconds.
void TimerTick(App& app, ShellSystem& system);
// Whether a notice may be shown now (the user is there and accepts notifications).
bool OkToNotify(App& app, ShellSystem& system);

}  // namespace tonvira
