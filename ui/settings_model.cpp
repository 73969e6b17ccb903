#include "ui/settings_model.h"

#include <cmath>
#include <cstdio>

#include "config/autostart.h"
#include "engine/letters.h"
#include "ui/settings_layout.h"

namespace tonvira::ui {
namespace {

constexpr size_t kHotkeyBoxRead = 7;      // characters read from the key box
constexpr size_t kDescriptionUnits = 39;  // longer tracker descriptions are left out

// An action that changed a setting: applied, and the controls set again when others follow it.
Follow Applied(bool refreshControls) {
  Follow f;
  f.apply = true;
  f.refreshControls = refreshControls;
  return f;
}

std::u16string Ascii(const char* text) {
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace

std::u16string FieldLine(const FieldFacts& field, bool contextOn) {
  std::u16string line = u"Tự quyết định";
  if (contextOn && field.fieldClass == ContextClass::English) line = u"Tiếng Anh — không bỏ dấu";
  if (contextOn && field.fieldClass == ContextClass::Vietnamese) line = u"Tiếng Việt — ưu tiên bỏ dấu";
  if (!field.detail.empty() && field.detail.size() <= kDescriptionUnits)
    line += u"   (" + field.detail + u")";
  return line;
}

std::u16string HotkeyHint(int32_t hotkeyMode) {
  return hotkeyMode == 2
             ? u"Ctrl + Shift kèm phím bên cạnh. Chọn phím ít dùng để khỏi trùng."
             : u"Ctrl + Shift: nhấn rồi thả cả hai, không kèm phím nào khác. Hoặc bấm chuột trái lên "
               u"biểu tượng khay.";
}

std::u16string ElevatedLine(bool uiAccess) {
  return uiAccess ? u"Gõ trong cửa sổ quyền admin:  được"
                  : u"Gõ trong cửa sổ quyền admin:  không  (cần bản ký số)";
}

std::u16string ThresholdText(float threshold) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f", static_cast<double>(threshold));
  return Ascii(text);
}

int ThresholdPosition(float threshold) {
  // Tenths, truncated; the small allowance keeps 2.3 (held as 2.2999999) at 23.
  return static_cast<int>(std::floor(static_cast<double>(threshold) * 10.0 + 1e-4));
}

float ThresholdFromPosition(int position) {
  return static_cast<float>(position) / 10.0f;
}

std::u16string CountText(std::u16string_view format, size_t count) {
  std::u16string text(format);
  size_t at = text.find(u"%zu");
  if (at != std::u16string::npos) text.replace(at, 3, Ascii(std::to_string(count).c_str()));
  return text;
}

SettingsView ViewOf(const Settings& s, size_t abbrevEntries, const WindowFacts& facts, int page) {
  SettingsView v;
  v.vni = s.method == 1;
  v.oldTone = s.old_tone;
  v.smart = s.smart;
  v.bsEdit = s.bs_edit;
  v.freeMarks = s.free_marks;
  v.autofix = s.autofix;
  v.capsVi = s.caps_vi;
  v.dependentsEnabled = s.smart;
  v.context = s.context;
  v.fieldLine = FieldLine(facts.field, s.context);
  v.thresholdPosition = ThresholdPosition(s.en_threshold);
  v.thresholdText = ThresholdText(s.en_threshold);
  v.abbrev = s.abbrev;
  v.abbrevCount = CountText(u"%zu mục", abbrevEntries);
  v.enabled = s.enabled;
  v.enabledBoxEnabled = !facts.suspended;
  v.updateBlock = facts.suspended ? u"Cần cập nhật để bật lại bộ gõ." : u"";
  v.startup = s.startup;
  v.hotkeyItem = s.hotkey_mode == 2 ? 1 : 0;
  v.hotkeyKey = s.hotkey_char ? std::u16string(1, s.hotkey_char) : std::u16string();
  v.hotkeyKeyEnabled = s.hotkey_mode == 2;
  v.hotkeyHint = HotkeyHint(s.hotkey_mode);
  v.wordCount = CountText(FindControl(kWordCount)->caption, facts.englishWords);
  v.elevatedLine = ElevatedLine(facts.uiAccess);
  v.versionLine = std::u16string(FindControl(kVersion)->caption) + facts.version;
  v.updateStatus = facts.updateStatus;
  v.showUpdateOpen = page == 3 && (facts.updateStatusCode == 2 || facts.updateStatusCode == 3);
  v.showCheckNow = page == 3 && !facts.updateBusy;
  v.banner = s.show_ads;
  return v;
}

bool ControlVisible(const ControlSpec& control, const SettingsView& view, int page) {
  if (!OnPage(control, page)) return false;
  switch (control.id) {
    case kBannerClose:
    case kBannerOpen:
      return view.banner;
    case kUpdateOpen:
      return view.showUpdateOpen;
    case kCheckNow:
      return view.showCheckNow;
    default:
      return true;
  }
}

Follow OnButton(Settings& s, const SettingsState& state, int id, bool ticked, bool suspended) {
  Follow f;
  switch (id) {
    case kTelex:
    case kVni:
      if (!ticked) return f;  // the radio button that lost its dot
      s.method = id == kVni ? 1 : 0;
      return Applied(false);
    case kOldTone:
      s.old_tone = ticked;
      return Applied(false);
    case kSmart:
      s.smart = ticked;
      return Applied(true);  // the dependents follow, their values stay
    case kBsEdit:
      s.bs_edit = ticked;
      return Applied(false);
    case kFreeMarks:
      s.free_marks = ticked;
      return Applied(false);
    case kAutofix:
      s.autofix = ticked;
      return Applied(false);
    case kCapsVi:
      s.caps_vi = ticked;
      return Applied(false);
    case kContext:
      s.context = ticked;
      return Applied(true);  // the current-field line
    case kAbbrevOn:
      s.abbrev = ticked;
      return Applied(false);
    case kEnabled:
      if (suspended) {  // the tick is undone; the update is what turns it back on
        f.refreshControls = true;
        f.openUpdateWindow = true;
        return f;
      }
      s.enabled = ticked;
      return Applied(false);
    case kStartup:
      SetStartWithWindows(s, state, ticked);
      s.startup = ticked;
      return Applied(false);
    case kBannerClose:
      s.show_ads = 0;
      f = Applied(false);
      f.bannerHidden = true;
      return f;
    case kDefaults:
      return RestoreDefaults(s, state);
    case kCheckNow:
      f.startUpdateCheck = true;
      f.statusText = u"Đang kiểm tra…";
      return f;
    case kUpdateOpen:
      f.openUpdateWindow = true;
      return f;
    case kBannerOpen:
      f.openBannerLink = true;
      return f;
    case kToTray:
      f.closeWindow = true;
      return f;
    default:
      return f;
  }
}

Follow OnThreshold(Settings& s, int position) {
  s.en_threshold = ThresholdFromPosition(position);
  return Applied(true);
}

Follow OnHotkeyMode(Settings& s, int item) {
  s.hotkey_mode = item == 1 ? 2 : 1;
  return Applied(true);
}

Follow OnHotkeyKey(Settings& s, std::u16string_view boxText) {
  std::u16string_view read = boxText.substr(0, kHotkeyBoxRead);
  if (!read.empty()) s.hotkey_char = ToUpperVi(read.front());
  return Applied(false);
}

Follow RestoreDefaults(Settings& s, const SettingsState& state) {
  Settings defaults;
  defaults.show_ads = s.show_ads;  // a closed banner stays closed
  defaults.abbrev_lib = s.abbrev_lib;
  s = defaults;
  SetStartWithWindows(s, state, true);
  return Applied(true);
}

std::u16string BannerLinkToOpen(std::u16string_view link) {
  if (link.size() >= 4 && link.substr(0, 4) == u"http") return std::u16string(link);
  return std::u16string(kVendorHomePage);
}

}  // namespace tonvira::ui
