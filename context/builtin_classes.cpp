#include "context/builtin_classes.h"

#include <algorithm>

#include "text/letters.h"

namespace tonvira {
namespace {

constexpr std::u16string_view kShellProcesses[] = {
    u"searchhost.exe",
    u"searchapp.exe",
    u"startmenuexperiencehost.exe",
    u"shellexperiencehost.exe",
    u"lockapp.exe",
    u"textinputhost.exe",
    u"logonui.exe",
    u"consent.exe",
};

constexpr std::u16string_view kShellWindowClasses[] = {
    u"Shell_TrayWnd",
    u"Shell_SecondaryTrayWnd",
    u"NotifyIconOverflowWindow",
    u"TopLevelWindowForOverflowXamlIsland",
    u"Progman",
    u"WorkerW",
};

constexpr std::u16string_view kSecureDesktopProcesses[] = {
    u"consent.exe", u"logonui.exe", u"credentialuibroker.exe", u"lsaiso.exe", u"winlogon.exe",
};

// "pin" has no spaces around it: any name holding the letters matches (a spinner's id too).
constexpr std::u16string_view kPasswordWords[] = {
    u"password", u"passcode", u"passphrase", u"mat khau",      u"mật khẩu",
    u"pin",      u"otp",      u"mã pin",     u"security code", u"mã xác thực",
};

constexpr std::u16string_view kAddressBarWords[] = {
    u"address and search bar",      u"thanh dia chi va tim kiem", u"omnibox",      u"url_bar",
    u"search or enter web address", u"thanh địa chỉ và tìm kiếm", u"urlbar-input", u"address field",
    u"địa chỉ và tìm kiếm",
};

constexpr std::u16string_view kSpreadsheetTitleWords[] = {
    u".xls",  u".ods",        u".csv",      u"google sheets", u"trang tính",
    u"excel", u"spreadsheet", u"bảng tính", u"zuq sheet",
};

constexpr std::u16string_view kSpreadsheetPrograms[] = {u"excel.exe", u"et.exe"};
constexpr std::u16string_view kOfficeSuites[] = {u"soffice.bin", u"soffice.exe", u"scalc.exe",
                                                 u"zuq-sheet.exe"};
constexpr std::u16string_view kBrowsers[] = {
    u"chrome.exe", u"msedge.exe", u"firefox.exe", u"brave.exe", u"browser.exe", u"opera.exe", u"coccoc.exe",
};

// Window classes that are the system's edit control or built on it, lowered: their style bit
// 0x20 is the password style (it means something else for other classes).
constexpr std::u16string_view kEditClasses[] = {
    u"edit", u"richedit20w", u"richedit20a", u"richedit50w", u"tedit",
};
constexpr std::u16string_view kWinFormsEditPrefix = u"windowsforms10.edit.";
constexpr uint32_t kPasswordStyle = 0x20;

std::u16string_view TrimEnd(std::u16string_view s) {
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r' || s.back() == u'\n' ||
                        s.back() == u'\v' || s.back() == u'\f')) {
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

std::span<const std::u16string_view> ShellProcesses() {
  return kShellProcesses;
}
std::span<const std::u16string_view> ShellWindowClasses() {
  return kShellWindowClasses;
}
std::span<const std::u16string_view> SecureDesktopProcesses() {
  return kSecureDesktopProcesses;
}
std::span<const std::u16string_view> PasswordWords() {
  return kPasswordWords;
}
std::span<const std::u16string_view> AddressBarWords() {
  return kAddressBarWords;
}
std::span<const std::u16string_view> LegacyAddressBarNames() {
  return std::span(kAddressBarWords).first(5);
}
std::span<const std::u16string_view> SpreadsheetTitleWords() {
  return kSpreadsheetTitleWords;
}

std::u16string LowerForContext(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = ToLowerVi(c);
  return out;
}

bool IsListed(std::span<const std::u16string_view> list, std::u16string_view value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

bool ContainsAny(std::u16string_view text, std::span<const std::u16string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [&](std::u16string_view w) { return text.find(w) != std::u16string_view::npos; });
}

bool IsPasswordEdit(std::u16string_view windowClass, uint32_t style) {
  if (!(style & kPasswordStyle)) return false;
  std::u16string lowered = LowerForContext(windowClass);
  return IsListed(kEditClasses, lowered) || lowered.starts_with(kWinFormsEditPrefix);
}

bool IsSpreadsheetWindow(bool hasWindow, std::u16string_view title, std::u16string_view process) {
  if (IsListed(kSpreadsheetPrograms, process)) return true;
  bool suite = IsListed(kOfficeSuites, process);
  bool browser = IsListed(kBrowsers, process);
  bool wps = process == u"wps.exe";
  if (!hasWindow || (!suite && !browser && !wps)) return false;
  std::u16string lowered = LowerForContext(title);
  std::u16string_view t = TrimEnd(lowered);
  if (t.empty()) return false;
  if (suite) {
    // "budget - zuq calc (read-only)" is judged on what stands before the remark.
    if (t.size() >= 2 && t.back() == u')') {
      size_t cut = t.rfind(u" (");
      if (cut != std::u16string_view::npos) t = TrimEnd(t.substr(0, cut));
    }
    return t.ends_with(u" sheet") || t.ends_with(u" calc");
  }
  if (ContainsAny(t, kSpreadsheetTitleWords)) return true;
  return wps && t.size() >= 3 && t.find(u".et") != std::u16string_view::npos;
}

}  // namespace tonvira
