#include "ui/win32/settings_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/apply_settings.h"
#include "config/data_folder.h"
#include "input/latency_record.h"
#include "input/log.h"
#include "input/pipeline.h"
#include "ui/abbrev_editor.h"
#include "ui/app_rules.h"
#include "ui/settings_layout.h"
#include "ui/win32/drawing.h"
#include "ui/win32/page_tab_accessible.h"

namespace tonvira::ui {
namespace {

constexpr wchar_t kClassName[] = L"TonviraSettings";
// The hook composes Vietnamese in a box of ours only where this property is set.
const wchar_t* const kVietBox = reinterpret_cast<const wchar_t*>(kVietBoxProperty.data());
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 700;
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kFontRoles = 5;

// The page's message boxes, owned by the settings window.
class WindowDialogs final : public Dialogs {
 public:
  explicit WindowDialogs(HWND owner) : owner_(owner) {}
  void Tell(const UserMessage& m) override { Show(m, MB_OK); }
  bool Ask(const UserMessage& m) override { return Show(m, MB_YESNO | MB_DEFBUTTON2) == IDYES; }

 private:
  int Show(const UserMessage& m, UINT buttons) {
    UINT icon = MB_ICONINFORMATION;
    if (m.icon == MessageIcon::Warning) icon = MB_ICONWARNING;
    if (m.icon == MessageIcon::Error) icon = MB_ICONERROR;
    if (m.icon == MessageIcon::Question) icon = MB_ICONQUESTION;
    ModalLoop modal;
    return MessageBoxW(owner_, Wide(m.text).c_str(), Wide(m.title).c_str(), buttons | icon);
  }
  HWND owner_;
};

struct Control {
  const ControlSpec* spec;
  HWND window;
  HWND label;  // the label no one sees that names a box or a list and holds its Alt+letter
};

struct SettingsWindow {
  SettingsHost* host = nullptr;
  HWND window = nullptr;
  int page = 0;
  int dpi = 96;        // what the layout is scaled by: the screen's DPI, or less where it would not fit
  int screenDpi = 96;  // the screen's
  std::vector<Control> controls;
  std::array<GdiObject<HFONT>, kFontRoles> fonts;
  Palette palette = DefaultPalette();
  GdiObject<HBRUSH> background;
  GdiObject<HBRUSH> card;
  IconHandle icon;
  bool settingControls = false;  // the code itself is writing the controls: no actions
  std::unique_ptr<AbbrevEditor> editor;
  HWND savedFocus = nullptr;  // the control that had the keyboard when the window was left
  // Why the key last typed in the hotkey box was refused: shown in place of the hint until the
  // box or the mode changes, or the page.
  std::optional<std::u16string> hotkeyRefusal;

  HWND Child(int id) const {
    for (const Control& c : controls) {
      if (c.spec->id == id) return c.window;
    }
    return nullptr;
  }
  int Px(int length) const { return Scale(length, dpi); }
};

SettingsWindow* g_window = nullptr;

// Our colours, or the system's in high contrast: read again when the user changes them.
void MakeColours(SettingsWindow& w) {
  w.palette = HighContrastOn() ? SystemPalette() : DefaultPalette();
  w.background.reset(CreateSolidBrush(Colour(w.palette.background)));
  w.card.reset(CreateSolidBrush(Colour(w.palette.card)));
}

// Fonts, brushes and the icon at the window's DPI; the old ones go when replaced.
void MakeDrawingObjects(SettingsWindow& w) {
  for (int role = 0; role < kFontRoles; ++role) {
    FontSpec f = FontFor(static_cast<FontRole>(role));
    w.fonts[role].reset(CreateUiFont(f.pixels, f.weight, w.dpi));
  }
  MakeColours(w);
  w.icon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             w.Px(40), w.Px(40), LR_DEFAULTCOLOR)));
}

HFONT FontOf(const SettingsWindow& w, FontRole role) {
  return w.fonts[static_cast<int>(role)].get();
}

const wchar_t* ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::Header:
    case ControlKind::Text:
    case ControlKind::CentredText:
      return L"STATIC";
    case ControlKind::Trackbar:
      return TRACKBAR_CLASSW;
    case ControlKind::DropDown:
      return WC_COMBOBOXW;
    case ControlKind::ListView:
      return WC_LISTVIEWW;
    case ControlKind::Edit:
    case ControlKind::HotkeyEdit:
      return L"EDIT";
    default:
      return L"BUTTON";
  }
}

DWORD StyleFor(const ControlSpec& c) {
  DWORD style = WS_CHILD;
  if (c.startsGroup) style |= WS_GROUP;
  switch (c.kind) {
    case ControlKind::Header:
    case ControlKind::Text:
      return style | SS_LEFT | (MnemonicOf(c.caption) ? 0 : SS_NOPREFIX);
    case ControlKind::CentredText:
      return style | SS_CENTER | SS_NOPREFIX;
    case ControlKind::Radio:
      return style | WS_TABSTOP | BS_AUTORADIOBUTTON;
    case ControlKind::Check:
      return style | WS_TABSTOP | BS_AUTOCHECKBOX;
    case ControlKind::Trackbar:
      return style | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS;
    case ControlKind::DropDown:
      return style | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL;
    case ControlKind::ListView:
      return style | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    case ControlKind::Edit:
      return style | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
    case ControlKind::HotkeyEdit:
      return style | WS_TABSTOP | WS_BORDER | ES_CENTER | ES_UPPERCASE;
    default:
      return style | WS_TABSTOP | BS_OWNERDRAW;
  }
}

void AddColumns(HWND list, int dpi, const std::array<std::pair<const wchar_t*, int>, 2>& columns) {
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i].first);
    column.cx = Scale(columns[i].second, dpi);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

// A tab answers a screen reader as a page tab, selected or not.
LRESULT CALLBACK TabProc(HWND tab, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_GETOBJECT) return AnswerPageTabObject(tab, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropW(tab, kSelectedTabProperty);
    RemoveWindowSubclass(tab, TabProc, 0);
  }
  return DefSubclassProc(tab, message, wParam, lParam);
}

void CreateControls(SettingsWindow& w) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlSpec& spec : SettingsControls()) {
    Box b = Scale(spec.box, w.dpi);
    std::wstring caption = Wide(spec.caption);
    // A screen reader names a box, a list or a drop-down by the label before it in tab order,
    // and Alt+letter on a label gives the keyboard to the control after it: a label of its own,
    // shown with its control but of no size, for those whose visible label is elsewhere or absent.
    std::u16string_view name = AccessibleName(spec.id);
    bool labelled = spec.kind == ControlKind::Edit || spec.kind == ControlKind::HotkeyEdit ||
                    spec.kind == ControlKind::DropDown || spec.kind == ControlKind::ListView;
    HWND label = nullptr;
    if (!name.empty() && labelled) {
      label =
          CreateWindowExW(0, L"STATIC", Wide(name).c_str(), WS_CHILD | (MnemonicOf(name) ? 0 : SS_NOPREFIX),
                          b.x, b.y, 0, 0, w.window, nullptr, instance, nullptr);
    }
    if (spec.kind == ControlKind::TextButton) {
      caption = Wide(name);  // what the drawn "✕" is called, with its Alt+letter
    } else if (!name.empty() && spec.kind != ControlKind::Edit && spec.kind != ControlKind::HotkeyEdit) {
      caption = Wide(WithoutMnemonic(name));  // the slider's and the lists' window text is their name
    }
    HWND child =
        CreateWindowExW(0, ClassFor(spec.kind), caption.c_str(), StyleFor(spec), b.x, b.y, b.width, b.height,
                        w.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
    if (!child) continue;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(w, FontRoleOf(spec.kind))), FALSE);
    if (spec.kind == ControlKind::Tab) SetWindowSubclass(child, TabProc, 0, 0);
    w.controls.push_back({&spec, child, label});
  }
  SendMessageW(w.Child(kThreshold), TBM_SETRANGE, FALSE, MAKELPARAM(kThresholdMin, kThresholdMax));
  for (std::u16string_view item : kHotkeyModeItems) {
    SendMessageW(w.Child(kHotkeyMode), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  }
  SendMessageW(w.Child(kHotkeyKey), EM_SETLIMITTEXT, 7, 0);
  SendMessageW(w.Child(kAbbrevKey), EM_SETLIMITTEXT, kKeyBoxUnits, 0);
  SendMessageW(w.Child(kAbbrevExpansion), EM_SETLIMITTEXT, kExpansionBoxUnits, 0);
  for (int id : {kAppList, kAbbrevList}) {
    SendMessageW(w.Child(id), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  }
  AddColumns(w.Child(kAppList), w.dpi, {{{L"Phần mềm", 290}, {L"Ngôn ngữ ưu tiên", 190}}});
  AddColumns(w.Child(kAbbrevList), w.dpi, {{{L"Khoá", 130}, {L"Bản khai triển", 350}}});
  // The hook composes Vietnamese in this box although it is ours; the key box stays plain.
  SetPropW(w.Child(kAbbrevExpansion), kVietBox, reinterpret_cast<HANDLE>(1));
}

std::u16string ControlText(HWND control) {
  int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return FromWide(text);
}

// Only a text that changed is set: no flicker on the refresh timer.
void SetTextIfDifferent(HWND control, const std::u16string& text) {
  if (control && ControlText(control) != text) SetWindowTextW(control, Wide(text).c_str());
}

void SetCheck(HWND control, bool on) {
  if (control) SendMessageW(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ListRows(HWND list, const std::vector<std::pair<std::u16string, std::u16string>>& rows) {
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < rows.size(); ++i) {
    std::wstring first = Wide(rows[i].first);
    std::wstring second = Wide(rows[i].second);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = first.data();
    int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    item.iItem = at;
    item.iSubItem = 1;
    item.pszText = second.data();
    SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&item));
  }
}

std::optional<size_t> SelectedRow(HWND list) {
  int row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return std::nullopt;
  return static_cast<size_t>(row);
}

void SelectRow(HWND list, std::optional<size_t> row) {
  if (!row) return;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, *row, reinterpret_cast<LPARAM>(&item));
}

void RefreshAbbrevList(SettingsWindow& w) {
  App& app = w.host->TheApp();
  ListRows(w.Child(kAbbrevList), SortedAbbrevs(app.abbrevs));
  SetTextIfDifferent(w.Child(kAbbrevCount), CountText(u"%zu mục", app.abbrevs.expansions.size()));
}

// After an edit the typing takes the new table, and the list shows it.
void AbbrevsChanged(SettingsWindow& w) {
  PublishAbbrevs(w.host->TheApp());
  RefreshAbbrevList(w);
}

void RefreshAppList(SettingsWindow& w, std::optional<size_t> select) {
  ContextRules rules = CopyContextRules(w.host->Tracker());
  std::vector<std::pair<std::u16string, std::u16string>> rows;
  for (size_t i : ProcessRuleRows(rules)) {
    rows.emplace_back(rules[i].value, std::u16string(ClassCaption(rules[i].contextClass)));
  }
  ListRows(w.Child(kAppList), rows);
  SelectRow(w.Child(kAppList), select);
}

// Every control from the settings and the program's state; texts only when they changed.
void SetControls(SettingsWindow& w) {
  App& app = w.host->TheApp();
  WindowFacts facts = w.host->Facts();
  SettingsView v = ViewOf(app.settings, app.abbrevs.expansions.size(), facts, w.page);
  w.settingControls = true;
  for (const Control& c : w.controls) {
    if (std::optional<bool> ticked = SettingTicked(*c.spec, app.settings)) SetCheck(c.window, *ticked);
  }
  for (int id : {kFreeMarks, kAutofix, kCapsVi}) EnableWindow(w.Child(id), v.dependentsEnabled);
  SetTextIfDifferent(w.Child(kFieldLine), v.fieldLine);
  SendMessageW(w.Child(kThreshold), TBM_SETPOS, TRUE, v.thresholdPosition);
  SetTextIfDifferent(w.Child(kThresholdValue), v.thresholdText);
  SetTextIfDifferent(w.Child(kAbbrevCount), v.abbrevCount);
  EnableWindow(w.Child(kEnabled), v.enabledBoxEnabled);
  SetTextIfDifferent(w.Child(kUpdateBlock), v.updateBlock);
  SendMessageW(w.Child(kHotkeyMode), CB_SETCURSEL, v.hotkeyItem, 0);
  SetTextIfDifferent(w.Child(kHotkeyKey), v.hotkeyKey);
  EnableWindow(w.Child(kHotkeyKey), v.hotkeyKeyEnabled);
  SetTextIfDifferent(w.Child(kHotkeyHint), w.hotkeyRefusal.value_or(v.hotkeyHint));
  SetTextIfDifferent(w.Child(kWordCount), v.wordCount);
  SetTextIfDifferent(w.Child(kElevatedLine), v.elevatedLine);
  SetTextIfDifferent(w.Child(kVersion), v.versionLine);
  SetTextIfDifferent(w.Child(kUpdateStatus), v.updateStatus);
  for (const Control& c : w.controls) {
    bool visible = ControlVisible(*c.spec, v, w.page);
    for (HWND window : {c.window, c.label}) {
      if (window && (IsWindowVisible(window) != FALSE) != visible)
        ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    }
  }
  w.settingControls = false;
}

// The keyboard goes to the page's first control (they are created in the order they are read),
// so that Space or typing never reaches a control of a page no longer shown.
void FocusFirstControl(SettingsWindow& w) {
  for (const Control& c : w.controls) {
    if (c.spec->page != w.page || !IsWindowVisible(c.window) || !IsWindowEnabled(c.window) ||
        !(GetWindowLongW(c.window, GWL_STYLE) & WS_TABSTOP)) {
      continue;
    }
    SetFocus(c.window);
    return;
  }
  SetFocus(w.window);
}

// The page's tab drawn and told as selected, the others not.
void MarkSelectedTab(SettingsWindow& w) {
  for (int page = 0; page < kPageCount; ++page) {
    HWND tab = w.Child(kFirstTab + page);
    if (!tab) continue;
    bool selected = page == w.page;
    if ((GetPropW(tab, kSelectedTabProperty) != nullptr) == selected) continue;
    if (selected) {
      SetPropW(tab, kSelectedTabProperty, reinterpret_cast<HANDLE>(1));
    } else {
      RemovePropW(tab, kSelectedTabProperty);
    }
    InvalidateRect(tab, nullptr, TRUE);
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, tab, OBJID_CLIENT, CHILDID_SELF);
    if (selected) NotifyWinEvent(EVENT_OBJECT_SELECTION, tab, OBJID_CLIENT, CHILDID_SELF);
  }
}

void ShowPage(SettingsWindow& w, int page) {
  if (page < 0 || page >= kPageCount) return;
  w.page = page;
  w.hotkeyRefusal.reset();
  SetControls(w);
  MarkSelectedTab(w);
  FocusFirstControl(w);
  InvalidateRect(w.window, nullptr, TRUE);
  LogLine("cai dat: trang %d\n", page);
}

void Apply(SettingsWindow& w) {
  ApplySettings(w.host->TheApp());
  w.host->OptionsChanged();
}

void DoFollowUps(SettingsWindow& w, const Follow& f) {
  if (f.apply) Apply(w);
  if (f.statusText) SetTextIfDifferent(w.Child(kUpdateStatus), *f.statusText);
  if (f.startUpdateCheck) w.host->StartUpdateCheck();
  if (f.hotkeyHint) {
    w.hotkeyRefusal = f.hotkeyHint;
    LogLine("cai dat: phim tat bi tu choi\n");
  }
  if (f.refreshControls || f.bannerHidden) SetControls(w);
  if (f.bannerHidden) InvalidateRect(w.window, nullptr, TRUE);
  if (f.openBannerLink) {
    BannerLinkChoice choice = BannerLinkToOpen(w.host->CurrentBanner().link);
    if (choice.fault == BannerLinkFault::None) {
      LogLine("cai dat: xem: lien ket cua quang cao\n");
    } else {
      LogLine("cai dat: xem: trang chu, lien ket quang cao %s\n", BannerLinkFaultText(choice.fault));
    }
    ShellExecuteW(w.window, L"open", Wide(choice.link).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  if (f.openUpdateWindow) w.host->OpenUpdateWindow();
  if (f.closeWindow) DestroyWindow(w.window);
}

void ImportFromDialog(SettingsWindow& w, Dialogs& dialogs) {
  wchar_t path[260] = {};
  OPENFILENAMEW open{};
  open.lStructSize = sizeof(open);
  open.hwndOwner = w.window;
  open.lpstrFilter = L"CSV / TSV (*.csv;*.txt;*.tsv)\0*.csv;*.txt;*.tsv\0Tất cả (*.*)\0*.*\0";
  open.lpstrFile = path;
  open.nMaxFile = static_cast<DWORD>(std::size(path));
  open.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  ModalLoop modal;
  if (!GetOpenFileNameW(&open)) return;  // cancelled
  if (ImportAbbrevsFrom(*w.editor, dialogs, FromWide(path))) AbbrevsChanged(w);
}

void OnCommand(SettingsWindow& w, int id, int code, HWND control) {
  if (w.settingControls) return;
  // The dialog keys: Esc closes the window as "Thu về khay" does; Enter in the abbreviation
  // boxes adds the entry as "Thêm" does.
  if (id == IDCANCEL) {
    LogLine("cai dat: Esc, dong\n");
    DestroyWindow(w.window);
    return;
  }
  if (id == IDOK) {
    HWND focus = GetFocus();
    if (focus == w.Child(kAbbrevKey) || focus == w.Child(kAbbrevExpansion)) {
      OnCommand(w, kAbbrevAdd, BN_CLICKED, nullptr);
    } else if (const ControlSpec* spec = FindControl(GetDlgCtrlID(focus));
               spec && IsChild(w.window, focus) &&
               (GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) {
      OnCommand(w, spec->id, BN_CLICKED, focus);  // Enter presses the button that has the keyboard
    }
    return;
  }
  if (id >= kFirstTab && id < kFirstTab + kPageCount) {
    if (code == BN_CLICKED) ShowPage(w, id - kFirstTab);
    return;
  }
  App& app = w.host->TheApp();
  WindowDialogs dialogs(w.window);
  if ((id == kHotkeyMode && code == CBN_SELCHANGE) || (id == kHotkeyKey && code == EN_CHANGE)) {
    w.hotkeyRefusal.reset();  // a new choice: its own outcome shows
  }
  if (id == kHotkeyMode && code == CBN_SELCHANGE) {
    int item = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    DoFollowUps(w, OnHotkeyMode(app.settings, item));
    return;
  }
  if (id == kHotkeyKey && code == EN_CHANGE) {
    DoFollowUps(w, OnHotkeyKey(app.settings, ControlText(control)));
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kAbbrevAdd:
      if (AddAbbrevFromBoxes(*w.editor, dialogs, ControlText(w.Child(kAbbrevKey)),
                             ControlText(w.Child(kAbbrevExpansion)))
              .added) {
        SetWindowTextW(w.Child(kAbbrevKey), L"");
        SetWindowTextW(w.Child(kAbbrevExpansion), L"");
        AbbrevsChanged(w);
      }
      return;
    case kAbbrevDelete:
      if (DeleteAbbrevRow(*w.editor, dialogs, SelectedRow(w.Child(kAbbrevList)))) AbbrevsChanged(w);
      return;
    case kAbbrevImport:
      ImportFromDialog(w, dialogs);
      return;
    case kAbbrevSample:
      ShellExecuteW(w.window, L"open", Wide(ShippedFilePath(u"mau-go-tat.xlsx")).c_str(), nullptr, nullptr,
                    SW_SHOWNORMAL);
      return;
    case kAddApp:
    case kChangeAppLanguage:
    case kDeleteApp: {
      AppRuleEdit edit = id == kAddApp              ? AppRuleEdit::AddCurrent
                         : id == kChangeAppLanguage ? AppRuleEdit::ChangeLanguage
                                                    : AppRuleEdit::Delete;
      std::optional<size_t> select =
          EditAppRules(w.host->Tracker(), dialogs, edit, SelectedRow(w.Child(kAppList)),
                       [&w] { w.host->ClassifyAgain(); });
      RefreshAppList(w, select);
      return;
    }
    case kOpenContextFile: {
      std::wstring path = L"\"" + Wide(w.host->Tracker().rules_path) + L"\"";  // it may hold spaces
      ShellExecuteW(w.window, L"open", L"notepad.exe", path.c_str(), nullptr, SW_SHOWNORMAL);
      return;
    }
    default:
      break;
  }
  bool ticked = control && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  DoFollowUps(w, OnButton(app.settings, app.settingsState, id, ticked, IsSuspended(app.pipeline)));
}

void Paint(SettingsWindow& w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w.window, &ps);
  RECT client;
  GetClientRect(w.window, &client);
  FillRect(dc, &client, w.background.get());
  Box icon = Scale(kIconBox, w.dpi);
  if (w.icon) DrawIconEx(dc, icon.x, icon.y, w.icon.get(), icon.width, icon.height, 0, nullptr, DI_NORMAL);
  const Palette& p = w.palette;
  DrawTextIn(dc, FontOf(w, FontRole::Title), p.mainText, kWindowTitle,
             {w.Px(74), w.Px(18), client.right, w.Px(44)}, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  DrawTextIn(dc, FontOf(w, FontRole::Body), p.secondaryText, kSubtitle,
             {w.Px(75), w.Px(43), client.right, w.Px(64)}, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  const Settings& s = w.host->TheApp().settings;
  bool banner = s.show_ads != 0;
  FillRoundRect(
      dc,
      {w.Px(kCardLeft), w.Px(kCardTop), w.Px(kCardRight), w.Px(banner ? kCardBottomWithBanner : kCardBottom)},
      w.Px(kCardCorner), p.card, p.card == p.background ? p.border : p.card);
  if (banner) {
    Banner text = w.host->CurrentBanner();
    Box b = Scale(kBanner, w.dpi);
    FillRoundRect(dc, {b.x, b.y, b.x + b.width, b.y + b.height}, w.Px(kBannerCorner), p.bannerFill,
                  p.bannerFill == p.background ? p.border : p.bannerFill);
    Box bar = Scale(kBannerBar, w.dpi);
    FillRoundRect(dc, {bar.x, bar.y, bar.x + bar.width, bar.y + bar.height}, w.Px(kBannerBarCorner),
                  p.bannerBar, p.bannerBar);
    Box title = Scale(kBannerTitle, w.dpi);
    DrawTextIn(dc, FontOf(w, FontRole::BannerTitle), p.mainText, text.title,
               {title.x, title.y, title.x + title.width, title.y + title.height},
               DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    Box line = Scale(kBannerLine, w.dpi);
    DrawTextIn(dc, FontOf(w, FontRole::Body), p.secondaryText, text.text,
               {line.x, line.y, line.x + line.width, line.y + line.height},
               DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  EndPaint(w.window, &ps);
}

void DrawButton(SettingsWindow& w, const DRAWITEMSTRUCT& item) {
  const ControlSpec* spec = FindControl(static_cast<int>(item.CtlID));
  if (!spec) return;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const Palette& p = w.palette;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  // The corners show what is behind the button: the card on a page, the window below it.
  bool onWindow = spec->page == kAllPages && spec->id != kBannerOpen && spec->id != kBannerClose;
  FillRect(dc, &r, onWindow ? w.background.get() : w.card.get());
  Rgb text = p.mainText;
  if (spec->kind == ControlKind::TextButton) {
    // The cross sits on the banner; the part of its box past the banner's edge shows the window.
    RECT onBanner = r;
    onBanner.right = std::min<LONG>(r.right, w.Px(kBanner.x + kBanner.width) - w.Px(spec->box.x));
    GdiObject<HBRUSH> fill(CreateSolidBrush(Colour(p.bannerFill)));
    FillRect(dc, &onBanner, fill.get());
    text = pressed ? p.accent : p.secondaryText;
  } else if (spec->kind == ControlKind::Tab) {
    bool selected = spec->id - kFirstTab == w.page;
    FillRoundRect(dc, r, w.Px(kTabCorner), selected ? p.selectedFill : p.card,
                  selected ? p.accent : p.border);
    text = selected ? p.selectedText : p.secondaryText;
  } else if (spec->kind == ControlKind::PrimaryButton) {
    Rgb fill = pressed ? p.accentPressed : p.accent;
    FillRoundRect(dc, r, w.Px(kButtonCorner), fill, fill);
    text = p.onAccent;
  } else {
    FillRoundRect(dc, r, w.Px(kButtonCorner), pressed ? p.selectedFill : p.card, p.border);
    if (pressed) text = p.selectedText;
  }
  if (disabled) text = p.disabledText;
  // The caption's "&" underlines its Alt+letter; the "✕" is drawn, its window text is its name.
  DrawTextIn(dc, FontOf(w, FontRole::Control), text, spec->caption, r,
             DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -w.Px(3), -w.Px(3));
    DrawFocusRect(dc, &focus);
  }
}

// A static, check box, radio button or trackbar: transparent on what lies behind it.
HBRUSH StaticColours(SettingsWindow& w, HDC dc, HWND control) {
  int id = GetDlgCtrlID(control);
  const ControlSpec* spec = nullptr;
  for (const Control& c : w.controls) {
    if (c.window == control) spec = c.spec;
  }
  SetTextColor(dc, Colour(ColourFor(w.palette, ColourOf(id))));
  SetBkMode(dc, TRANSPARENT);
  return spec && spec->page == kAllPages ? w.background.get() : w.card.get();
}

// The window at the screen's DPI, laid out smaller where that would not fit the monitor's work
// area, and moved inside the work area: never past the screen's edge or under the taskbar.
void FitToWorkArea(SettingsWindow& w, const RECT& suggested) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(w.screenDpi));
  Box extra{0, 0, frame.right - frame.left, frame.bottom - frame.top};
  w.dpi = LayoutDpi(w.screenDpi, extra, {0, 0, work.right - work.left, work.bottom - work.top});
  int width = Scale(kClientWidth, w.dpi) + extra.width;
  int height = Scale(kClientHeight, w.dpi) + extra.height;
  int x = std::clamp<int>(suggested.left, work.left, std::max<int>(work.left, work.right - width));
  int y = std::clamp<int>(suggested.top, work.top, std::max<int>(work.top, work.bottom - height));
  SetWindowPos(w.window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The DPI changed (the window moved to another screen): fonts, icon and every control again.
void Rescale(SettingsWindow& w, int dpi, const RECT& suggested) {
  w.screenDpi = dpi;
  FitToWorkArea(w, suggested);
  MakeDrawingObjects(w);
  for (const Control& c : w.controls) {
    Box b = Scale(c.spec->box, dpi);
    SetWindowPos(c.window, nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (c.label) SetWindowPos(c.label, nullptr, b.x, b.y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(w, FontRoleOf(c.spec->kind))), TRUE);
  }
  for (int i = 0; i < 2; ++i) {
    SendMessageW(w.Child(kAppList), LVM_SETCOLUMNWIDTH, i, Scale(i == 0 ? 290 : 190, w.dpi));
    SendMessageW(w.Child(kAbbrevList), LVM_SETCOLUMNWIDTH, i, Scale(i == 0 ? 130 : 350, w.dpi));
  }
  InvalidateRect(w.window, nullptr, TRUE);
}

LRESULT CALLBACK SettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SettingsWindow* w = g_window;
  if (!w || w->window != window) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint fills everything
    case WM_PAINT:
      Paint(*w);
      return 0;
    case WM_NEXTDLGCTL: {
      // What IsDialogMessage asks of a dialog for Alt+letter on a label and for the arrow keys:
      // the keyboard to that control, or to the next or previous one that takes it.
      HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                 : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
      if (next) SetFocus(next);
      return 0;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // High contrast switched, or the system's colours changed: drawn again in the new ones.
      MakeColours(*w);
      if (message == WM_SYSCOLORCHANGE) {
        for (int id : {kAppList, kAbbrevList}) SendMessageW(w->Child(id), message, wParam, lParam);
      }
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return 0;
    case WM_COMMAND:
      OnCommand(*w, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == w->Child(kThreshold) && !w->settingControls) {
        int position = static_cast<int>(SendMessageW(w->Child(kThreshold), TBM_GETPOS, 0, 0));
        DoFollowUps(*w, OnThreshold(w->host->TheApp().settings, position));
      }
      return 0;
    case WM_DRAWITEM:
      DrawButton(*w, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(
          StaticColours(*w, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      SetTextColor(reinterpret_cast<HDC>(wParam), Colour(w->palette.mainText));
      SetBkColor(reinterpret_cast<HDC>(wParam), Colour(w->palette.card));
      return reinterpret_cast<LRESULT>(w->card.get());
    case WM_TIMER:
      if (wParam == kRefreshTimer) SetControls(*w);
      return 0;
    case WM_ACTIVATE:
      // The keyboard comes back to the control it left, as in a dialog.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        w->savedFocus = focus && IsChild(window, focus) ? focus : nullptr;
      } else if (w->savedFocus && IsWindowVisible(w->savedFocus) && IsWindowEnabled(w->savedFocus)) {
        SetFocus(w->savedFocus);
      } else {
        FocusFirstControl(*w);
      }
      return 0;
    case WM_DPICHANGED:
      Rescale(*w, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      KillTimer(window, kRefreshTimer);
      RemovePropW(w->Child(kAbbrevExpansion), kVietBox);
      return 0;
    case WM_NCDESTROY: {
      delete w;
      g_window = nullptr;
      LogLine("cai dat: dong\n");
      return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool RegisterSettingsClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = SettingsProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  return RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void OpenSettingsWindow(SettingsHost& host, std::optional<int> page) {
  if (g_window) {
    if (IsIconic(g_window->window)) ShowWindow(g_window->window, SW_RESTORE);
    SetForegroundWindow(g_window->window);
    if (page) ShowPage(*g_window, *page);
    return;
  }
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  if (!RegisterSettingsClass()) return;
  auto* w = new SettingsWindow;
  w->host = &host;
  g_window = w;
  w->window =
      CreateWindowExW(kExStyle, kClassName, L"Tonvira", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, kClientWidth,
                      kClientHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!w->window) {  // nothing else happens
    delete w;
    g_window = nullptr;
    return;
  }
  UINT dpi = GetDpiForWindow(w->window);
  w->screenDpi = dpi ? static_cast<int>(dpi) : 96;
  RECT placed{};
  GetWindowRect(w->window, &placed);
  FitToWorkArea(*w, placed);
  MakeDrawingObjects(*w);
  App& app = host.TheApp();
  w->editor = std::make_unique<AbbrevEditor>(AbbrevEditor{app.abbrevs, app.settingsState});
  CreateControls(*w);
  RefreshAppList(*w, std::nullopt);
  RefreshAbbrevList(*w);
  w->page = page.value_or(0);
  SetControls(*w);
  MarkSelectedTab(*w);
  SetTimer(w->window, kRefreshTimer, kRefreshMs, nullptr);
  ShowWindow(w->window, SW_SHOW);
  SetForegroundWindow(w->window);
  FocusFirstControl(*w);
  LogLine("cai dat: mo, trang %d, dpi %d, bo cuc %d\n", w->page, w->screenDpi, w->dpi);
}

void RefreshSettingsControls() {
  if (g_window) SetControls(*g_window);
}

HWND SettingsWindowHandle() {
  return g_window ? g_window->window : nullptr;
}

bool HandleSettingsWindowMessage(MSG& msg) {
  if (!g_window) return false;
  HWND window = g_window->window;
  if (msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
    ShowPage(*g_window, NextPage(g_window->page, (GetKeyState(VK_SHIFT) & 0x8000) != 0));
    return true;
  }
  return IsDialogMessageW(window, &msg) != FALSE;
}

}  // namespace tonvira::ui
