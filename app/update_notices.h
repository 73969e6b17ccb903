// What the user sees of the updater outside its window: the balloon notices, the tray's
// tooltip line and menu item, the settings window's one-line status, and the refresh on every
// change of the update state, which also suspends Vietnamese while a mandatory update waits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/app.h"
#include "app/shell.h"
#include "update/attempts.h"
#include "update/updater.h"

namespace tonvira {

class ShellSystem;

std::optional<Notice> UpdateAvailableNotice(const UpdateStatus& status);
std::optional<Notice> UpdateRequiredNotice(const UpdateStatus& status);
// The notice of what became of the last run's installation; none for None.
std::optional<Notice> OutcomeNotice(LastAttempt outcome, const UpdateStatus& status);

// The tray tooltip with the update's line: replaced while installing or suspended, inserted
// after the first line when an update is offered.
std::u16string TooltipUpdateLine(std::u16string tooltip, const UpdateStatus& status);
// "Cập nhật lên phiên bản 1.4.13…" (menu item 1007).
std::u16string UpdateMenuText(const UpdateStatus& status);

struct CalendarTime {
  uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
};
// A Unix time in the user's time zone.
CalendarTime LocalCalendarTime(uint64_t unixSeconds);
// The settings window's one line about updates.
std::u16string UpdateStatusLine(const UpdateStatus& status,
                                CalendarTime (*toLocal)(uint64_t) = LocalCalendarTime);
// "12,3 MB": tenths of a megabyte (10^6 bytes), rounded, at least 0,1.
std::u16string PackageSizeText(uint64_t bytes);

// Milliseconds after start during which a mandatory update opens the update window by itself.
inline constexpr uint32_t kUpdateWindowAtStartMs = 120000;
// The update-available notice waits this long after start.
inline constexpr uint32_t kQuietAfterStartMs = 600000;

// The main window's answer to a change of the update state: the suspension follows the kind,
// the notices due are shown, the update window opens at a hand start, the tray is redrawn.
void RefreshUpdateState(App& app, ShellSystem& system);
// The timer's update notices: the update available (once per offered version, not in the
// first ten minutes) and the update required (once per run).
void TimerUpdateNotices(App& app, ShellSystem& system);

}  // namespace tonvira
