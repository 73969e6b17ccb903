// What the settings window shows and what its controls do, apart from Win32. Every control
// acts at once: the change goes into the settings and is applied (and so saved); the window
// code only reads the view back into its controls and does the follow-ups it is told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/app.h"
#include "app/shell.h"
#include "ui/settings_layout.h"

namespace tonvira::ui {

// What the window shows besides the settings.
struct WindowFacts {
  bool suspended = false;  // Vietnamese is suspended for a required update
  FieldFacts field;        // the focused field, as focus tracking saw it last
  size_t englishWords = 0;
  bool uiAccess = false;   // the process may type into elevated windows
  std::u16string version;  // the running version
  // From the updater: "nothing to offer" until it runs.
  std::u16string updateStatus;
  int updateStatusCode = 0;
  bool updateBusy = false;
};

// The state of the controls that follow the program, or more than one setting. Check boxes and
// radio buttons follow their own setting (SettingTicked).
struct SettingsView {
  bool dependentsEnabled = true;  // free marks, autofix and capitals follow smart
  std::u16string fieldLine;
  int thresholdPosition = 20;
  std::u16string thresholdText;
  std::u16string abbrevCount;
  bool enabledBoxEnabled = true;
  std::u16string updateBlock;
  int hotkeyItem = 0;
  std::u16string hotkeyKey;
  bool hotkeyKeyEnabled = false;
  std::u16string hotkeyHint;
  std::u16string wordCount;
  std::u16string elevatedLine;
  std::u16string versionLine;
  std::u16string updateStatus;
  bool showUpdateOpen = false;  // on the system page only
  bool showCheckNow = false;
  bool banner = true;
};

SettingsView ViewOf(const Settings& settings, size_t abbrevEntries, const WindowFacts& facts, int page);
// Whether a check box or radio button that shows a setting is ticked; nothing for other controls.
std::optional<bool> SettingTicked(const ControlSpec& control, const Settings& settings);
// Whether a control shows: on its page (or every page), the banner's buttons only with the
// banner, the update buttons as the view says.
bool ControlVisible(const ControlSpec& control, const SettingsView& view, int page);

std::u16string FieldLine(const FieldFacts& field, bool contextOn);
std::u16string HotkeyHint(int32_t hotkeyMode);
std::u16string ElevatedLine(bool uiAccess);
std::u16string ThresholdText(float threshold);
// The trackbar holds the threshold in tenths, over the range the setting offers (10 to 40).
inline constexpr int kThresholdMin = static_cast<int>(SettingNamed(u"en_threshold").low * 10);
inline constexpr int kThresholdMax = static_cast<int>(SettingNamed(u"en_threshold").high * 10);
int ThresholdPosition(float threshold);
float ThresholdFromPosition(int position);
std::u16string CountText(std::u16string_view format, size_t count);  // "%zu mục", "… %zu từ"

// What a control's action asks of the window besides the settings it changed.
struct Follow {
  bool apply = false;             // ApplySettings, then saved
  bool refreshControls = false;   // set every control from the settings again
  bool openUpdateWindow = false;  // a toggle refused while suspended
  bool closeWindow = false;
  bool startUpdateCheck = false;
  bool bannerHidden = false;  // hide both banner buttons and repaint
  bool openBannerLink = false;
  std::optional<std::u16string> statusText;  // for the update status line
  std::optional<std::u16string> hotkeyHint;  // why the key typed in the box was refused
};

// A click on a button, check box or radio button (ticked: its state after the click). A check
// box or radio button sets its own setting.
Follow OnButton(Settings& settings, const SettingsState& state, int id, bool ticked, bool suspended);
// The trackbar moved.
Follow OnThreshold(Settings& settings, int position);
// The hotkey drop-down changed: item 1 is Ctrl+Shift+key.
Follow OnHotkeyMode(Settings& settings, int item);
// The hotkey key box changed. The first character in it other than the key in force is the new
// key, upper case, when it is A-Z, a-z or 0-9 (what Windows can register with Ctrl+Shift);
// anything else is refused with the reason, and the box shows the key in force again.
Follow OnHotkeyKey(Settings& settings, std::u16string_view boxText);
// "Mặc định": every setting back to its default but the banner's and the library's.
Follow RestoreDefaults(Settings& settings, const SettingsState& state);

// Why "Xem" opened the vendor's home page instead of the banner's link, which comes from the
// server or from banner.txt and so is never trusted as it stands.
enum class BannerLinkFault {
  None,  // the banner's own link is opened
  Empty,
  TooLong,       // over kBannerLinkMaxLength units
  BadCharacter,  // a space, control, backslash, quote, non-ASCII character or broken %-escape
  NotWeb,        // not "http://" or "https://" (any case)
  BadHost,       // empty, with user information, or not letters, digits, '-' and '.'
  BadPort,
};
struct BannerLinkChoice {
  std::u16string link;  // what "Xem" opens
  BannerLinkFault fault = BannerLinkFault::None;
};
inline constexpr size_t kBannerLinkMaxLength = 2048;
inline constexpr std::u16string_view kVendorHomePage = u"https://tonvira.vn";

// The banner's link when it is an http or https URL with a host, else the vendor's home page
// and the reason, for the log.
BannerLinkChoice BannerLinkToOpen(std::u16string_view bannerLink);
// A short ASCII text for the log line ("ten may sai").
const char* BannerLinkFaultText(BannerLinkFault fault);

}  // namespace tonvira::ui
