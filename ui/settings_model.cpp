#include "ui/settings_model.h"

#include <cmath>
#include <cstdio>

#include "config/autostart.h"
#include "text/letters.h"
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
  v.dependentsEnabled = s.smart;
  v.fieldLine = FieldLine(facts.field, s.context);
  v.thresholdPosition = ThresholdPosition(s.en_threshold);
  v.thresholdText = ThresholdText(s.en_threshold);
  v.abbrevCount = CountText(u"%zu mục", abbrevEntries);
  v.enabledBoxEnabled = !facts.suspended;
  v.updateBlock = facts.suspended ? u"Cần cập nhật để bật lại bộ gõ." : u"";
  const SettingRow& hotkeyMode = SettingNamed(u"hotkey_mode");
  v.hotkeyItem = ValueOf(s, hotkeyMode) - static_cast<int>(hotkeyMode.low);
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

std::optional<bool> SettingTicked(const ControlSpec& control, const Settings& s) {
  const SettingRow* setting = FindSetting(control.setting);
  if (!setting) return std::nullopt;
  if (control.kind == ControlKind::Check) return ValueOf(s, *setting) != 0;
  if (control.kind == ControlKind::Radio) return ValueOf(s, *setting) == control.choice;
  return std::nullopt;
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

namespace {

Follow OnSettingBox(Settings& s, const SettingsState& state, const ControlSpec& control,
                    const SettingRow& setting, bool ticked, bool suspended) {
  if (control.kind == ControlKind::Radio) {
    if (!ticked) return {};  // the radio button that lost its dot
    SetValue(s, setting, control.choice);
    return Applied(true);
  }
  if (control.id == kEnabled && suspended) {  // the tick is undone; the update is what turns it back on
    Follow f;
    f.refreshControls = true;
    f.openUpdateWindow = true;
    return f;
  }
  if (control.id == kStartup) SetStartWithWindows(s, state, ticked);  // the Run key too
  SetValue(s, setting, ticked);
  return Applied(true);  // others may follow it: the dependents follow smart, the field line context
}

}  // namespace

Follow OnButton(Settings& s, const SettingsState& state, int id, bool ticked, bool suspended) {
  const ControlSpec* control = FindControl(id);
  const SettingRow* setting = control ? FindSetting(control->setting) : nullptr;
  if (setting && (control->kind == ControlKind::Check || control->kind == ControlKind::Radio)) {
    return OnSettingBox(s, state, *control, *setting, ticked, suspended);
  }
  Follow f;
  switch (id) {
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
  const SettingRow& hotkeyMode = SettingNamed(u"hotkey_mode");
  SetValue(s, hotkeyMode, static_cast<int32_t>(hotkeyMode.low) + (item == 1 ? 1 : 0));
  return Applied(true);
}

Follow OnHotkeyKey(Settings& s, std::u16string_view boxText) {
  std::u16string_view read = boxText.substr(0, kHotkeyBoxRead);
  size_t typed = read.find_first_not_of(s.hotkey_char);
  if (typed == std::u16string_view::npos) return {};  // emptied, or the same key
  Follow f;
  f.refreshControls = true;  // one upper-case key in the box, or the key in force again
  std::optional<uint32_t> key = HotkeyVirtualKey(read[typed]);
  if (!key) {
    f.hotkeyHint = u"“" + std::u16string(1, read[typed]) + u"” không dùng được: chỉ chữ A–Z hoặc số 0–9.";
    return f;
  }
  s.hotkey_char = static_cast<char16_t>(*key);
  f.apply = true;
  return f;
}

Follow RestoreDefaults(Settings& s, const SettingsState& state) {
  Settings defaults;
  defaults.show_ads = s.show_ads;  // a closed banner stays closed
  defaults.abbrev_lib = s.abbrev_lib;
  s = defaults;
  SetStartWithWindows(s, state, true);
  return Applied(true);
}

namespace {

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// What a URL may hold as it stands; anything else (a space, a quote that would end the
// browser's argument, a backslash that makes a path of it, Vietnamese letters) arrives
// %-escaped from a server that means a web page.
bool IsUrlCharacter(char16_t c) {
  return IsAsciiLetter(c) || IsDigit(c) ||
         std::u16string_view(u"-._~:/?#[]@!$&'()*+,;=%").find(c) != std::u16string_view::npos;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != lowerPrefix[i]) return false;
  }
  return true;
}

// "a.vn", "tonvira-1.example.com": dot-separated labels of letters, digits and '-', none empty.
bool IsHostName(std::u16string_view host) {
  if (host.empty() || host.front() == u'.' || host.back() == u'.') return false;
  for (size_t i = 0; i < host.size(); ++i) {
    char16_t c = host[i];
    if (c == u'.' && host[i - 1] == u'.') return false;
    if (c != u'.' && c != u'-' && !IsAsciiLetter(c) && !IsDigit(c)) return false;
  }
  return true;
}

bool IsPort(std::u16string_view digits) {
  if (digits.empty() || digits.size() > 5) return false;
  uint32_t port = 0;
  for (char16_t c : digits) {
    if (!IsDigit(c)) return false;
    port = port * 10 + static_cast<uint32_t>(c - u'0');
  }
  return port >= 1 && port <= 65535;
}

BannerLinkFault CheckBannerLink(std::u16string_view link) {
  using F = BannerLinkFault;
  if (link.empty()) return F::Empty;
  if (link.size() > kBannerLinkMaxLength) return F::TooLong;
  for (size_t i = 0; i < link.size(); ++i) {
    if (!IsUrlCharacter(link[i])) return F::BadCharacter;
    if (link[i] == u'%' && (i + 2 >= link.size() || !IsHexDigit(link[i + 1]) || !IsHexDigit(link[i + 2]))) {
      return F::BadCharacter;
    }
  }
  // Scheme names ignore case: "HTTPS://A.VN" is a web page too.
  size_t schemeEnd = 0;
  for (std::u16string_view scheme : {std::u16string_view(u"http://"), std::u16string_view(u"https://")}) {
    if (StartsWithIgnoringCase(link, scheme)) schemeEnd = scheme.size();
  }
  if (schemeEnd == 0) return F::NotWeb;
  std::u16string_view rest = link.substr(schemeEnd);
  std::u16string_view authority = rest.substr(0, rest.find_first_of(u"/?#"));
  // "https://tonvira.vn@elsewhere.example" goes elsewhere: no user information at all.
  if (authority.find(u'@') != std::u16string_view::npos) return F::BadHost;
  size_t colon = authority.find(u':');
  if (!IsHostName(authority.substr(0, colon))) return F::BadHost;
  if (colon != std::u16string_view::npos && !IsPort(authority.substr(colon + 1))) return F::BadPort;
  return F::None;
}

}  // namespace

BannerLinkChoice BannerLinkToOpen(std::u16string_view link) {
  BannerLinkChoice choice;
  choice.fault = CheckBannerLink(link);
  choice.link =
      choice.fault == BannerLinkFault::None ? std::u16string(link) : std::u16string(kVendorHomePage);
  return choice;
}

const char* BannerLinkFaultText(BannerLinkFault fault) {
  switch (fault) {
    case BannerLinkFault::None:
      return "dung";
    case BannerLinkFault::Empty:
      return "trong";
    case BannerLinkFault::TooLong:
      return "qua dai";
    case BannerLinkFault::BadCharacter:
      return "co ky tu khong hop le";
    case BannerLinkFault::NotWeb:
      return "khong phai http/https";
    case BannerLinkFault::BadHost:
      return "ten may sai";
    case BannerLinkFault::BadPort:
      return "cong sai";
  }
  return "?";
}

}  // namespace tonvira::ui
