// The application shell's decisions, apart from Win32: the tray icon's tooltip and state, the
// tray menu and when a notice may be shown. The main window's work (app/main_window.h) builds
// on these; the Windows tray code shows what they say with Shell_NotifyIconW and menus.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/context_class.h"

namespace tonvira {

// Menu command identifiers, as the tray menu builds them.
enum MenuCommand : uint32_t {
  kCommandToggle = 1001,
  kCommandExit = 1002,
  kCommandFieldLine = 1003,  // names the current field; disabled
  kCommandSettings = 1004,
  kCommandContext = 1005,
  kCommandSmart = 1006,
  kCommandUpdate = 1007,
  kCommandClipboard = 1008,
  kCommandLogTimings = 1020,  // not on the menu: writes the hook and message timings to the log
};

// Icon states: 0 off, 1 on, 2 suspended; 3 and 4 are off and on with the update badge.
inline constexpr int kIconOff = 0;
inline constexpr int kIconOn = 1;
inline constexpr int kIconSuspended = 2;
inline constexpr int kIconBadge = 3;  // added to off and on when an update is available

// Update state kinds the shell looks at: 2 an update is available, 3 it is required.
inline constexpr int kUpdateAvailable = 2;
inline constexpr int kUpdateRequired = 3;

// The tooltip and the balloon's title and text hold at most this many UTF-16 units.
inline constexpr size_t kTooltipUnits = 127;
inline constexpr size_t kBalloonTitleUnits = 63;
inline constexpr size_t kBalloonTextUnits = 255;
// The timer asks the shell to keep the icon out of the overflow area at most this often.
inline constexpr int kMaxPromoteAttempts = 40;

// What the tray shows of the focused field.
struct FieldFacts {
  bool password = false;
  ContextClass fieldClass = ContextClass::Auto;
  std::u16string detail;  // the focus tracker's description ("proc:cmd.exe"); may be empty
};

struct Notice {
  std::u16string title;
  std::u16string text;
  bool warning = false;
  bool opensUpdate = false;  // clicking the balloon opens the update window
};

enum class HotkeyProblem : uint8_t {
  None,
  NotAKey,       // hotkey_char is not A-Z or 0-9 (a hand-edited settings.txt)
  HeldElsewhere  // Windows refused it: another program holds the combination
};

// The virtual key of a hotkey character: A-Z (a-z too) and 0-9 are their own codes; anything
// else is no key (Windows would read '.' as VK_DELETE, '[' as the Windows key).
std::optional<uint32_t> HotkeyVirtualKey(char16_t c);

// The tray and notice state the main window keeps.
struct ShellState {
  bool iconShown = false;
  bool iconHiddenForInstall = false;
  bool iconPromoted = false;
  int promoteAttempts = 0;
  bool updateRequiredNoticeShown = false;
  bool updateWindowShownAtStart = false;
  std::optional<Notice> pendingNotice;  // arrived while the icon was missing
  bool lastNoticeOpensUpdate = false;
  // Why the Ctrl+Shift+key of hotkey mode 2 is not in force, and for which key the user was told.
  HotkeyProblem hotkeyProblem = HotkeyProblem::None;
  char16_t hotkeyProblemKey = 0;
};

// Whether the shell shows the icon now: added, and not taken away for an installation.
inline bool IconVisible(const ShellState& state) {
  return state.iconShown && !state.iconHiddenForInstall;
}

// The text cut to at most units UTF-16 units, never in the middle of a surrogate pair.
std::u16string CutToUnits(std::u16string_view text, size_t units);

// "Tonvira — đang bật\nNgữ cảnh: Tiếng Anh (proc:cmd.exe)", cut to 127 units.
std::u16string TrayTooltip(bool vietnameseOn, const FieldFacts& field, bool contextOn);
int TrayIconState(bool suspended, bool vietnameseOn, int updateKind);

struct MenuItem {
  uint32_t id = 0;  // 0: a separator
  std::u16string text;
  bool checked = false;
  bool greyed = false;
  bool isDefault = false;
};

struct MenuFacts {
  bool vietnameseOn = true;
  bool suspended = false;
  int32_t hotkeyMode = 1;
  bool contextOn = true;
  bool smartOn = true;
  FieldFacts field;
  int updateKind = 0;
  std::u16string updateItemText;  // the updater's words for item 1007
};

// The tray menu, in its order, built anew every time it opens.
std::vector<MenuItem> TrayMenuItems(const MenuFacts& facts);

// Whether a notice may be shown now: the user typed or clicked within the last minute and the
// system accepts notifications (a failed query counts as accepting).
inline constexpr int kAcceptsNotifications = 5;
bool OkToNotify(uint32_t now, uint32_t lastPhysicalInput, std::optional<int> notificationState);

// The shell's record of a program's icon names the program by path, often with a known folder
// in front: "{6D809377-6AF0-444B-8957-A3773F02200E}\Tonvira\tonvira.exe". Split into the
// folder's identifier (with its braces) and the rest; no identifier when the path has none.
struct NotifyIconPath {
  std::u16string folderId;
  std::u16string rest;
};
NotifyIconPath SplitKnownFolderPath(std::u16string_view path);

}  // namespace tonvira
