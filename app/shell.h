// The application shell's decisions, apart from Win32: the tray icon's tooltip and state, the
// tray menu, when a notice may be shown, and the steps of the periodic timer. The Windows
// window procedure calls these and does what they say with Shell_NotifyIconW and menus.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "context/context_class.h"

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

// The tray and notice state the main window keeps.
struct ShellState {
  bool iconShown = false;
  bool iconHiddenForInstall = false;
  bool iconPromoted = false;
  int promoteAttempts = 0;
  bool updateRequiredNoticeShown = false;
  std::optional<Notice> pendingNotice;  // arrived while the icon was missing
  bool lastNoticeOpensUpdate = false;
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

// What the timer and the notices ask of the system.
class ShellSystem {
 public:
  virtual ~ShellSystem() = default;
  virtual void InstallHooks() = 0;
  virtual void CheckOtherInputMethods() = 0;
  virtual bool AddTrayIcon() = 0;      // true when the icon is there
  virtual bool PromoteTrayIcon() = 0;  // true when the shell was asked to keep it visible
  virtual void RefreshTray() = 0;
  virtual bool ShowBalloon(const Notice& notice) = 0;  // false when the icon could not take it
  // The updater's notices (steps 6 and 7 of the timer); nothing until the updater exists.
  virtual void UpdateNotices(ShellState& state) = 0;
};

// A notice shown at once when the icon is there, or kept until it is.
void ShowNotice(ShellState& state, ShellSystem& system, const Notice& notice);
// The periodic steps, every three seconds.
void TimerTick(ShellState& state, ShellSystem& system);
// Explorer came back ("TaskbarCreated"): the icon is added again at once, unless it is away
// for an installation, and refreshed.
void OnTaskbarCreated(ShellState& state, ShellSystem& system);

}  // namespace tonvira
