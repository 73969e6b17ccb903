#include "ui/win32/update_window.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "input/log.h"
#include "ui/settings_layout.h"
#include "ui/update_window_model.h"
#include "ui/win32/drawing.h"

namespace tonvira::ui {
namespace {

constexpr wchar_t kClassName[] = L"TonviraUpdate";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kTextStyles = 4;

// Lengths at 96 DPI.
constexpr int kContentWidth = 460;
constexpr int kMargin = 24;
constexpr int kFooterPadding = 16;  // above and below the buttons
constexpr int kButtonHeight = 32;
constexpr int kButtonMinWidth = 104;
constexpr int kButtonTextPadding = 20;  // each side of a button's text
constexpr int kButtonGap = 8;

// The button row sits on a light band, as in the system's task dialogs.
constexpr Rgb kFooter = colour::kBackground;
constexpr Rgb kLaterBorder{0xC9, 0xCD, 0xD4};
constexpr Rgb kDisabledFill{0xE1, 0xE4, 0xE8};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};

struct TextStyleSpec {
  int pixels;
  int weight;
  Rgb colour;
};

TextStyleSpec SpecOf(UpdateTextStyle style) {
  switch (style) {
    case UpdateTextStyle::Title:
      return {20, FW_SEMIBOLD, colour::kMainText};
    case UpdateTextStyle::Heading:
      return {11, FW_SEMIBOLD, colour::kSecondaryText};
    case UpdateTextStyle::Detail:
      return {12, FW_NORMAL, colour::kSecondaryText};
    case UpdateTextStyle::Body:
    default:
      return {14, FW_NORMAL, colour::kMainText};
  }
}

bool IsBullet(const UpdateWindowLine& line) {
  return line.text.starts_with(u"•");
}

// A note that wraps continues under its text, not under its bullet: the bullet and the spaces
// after it hang in the margin.
size_t BulletLength(const UpdateWindowLine& line) {
  if (!IsBullet(line)) return 0;
  size_t end = line.text.find_first_not_of(u' ', 1);
  return end == std::u16string::npos ? line.text.size() : end;
}

// Space above a line, at 96 DPI: more after the title and before a heading, less inside a list
// of notes, and a break where the list ends.
int GapBefore(const UpdateWindowLine& previous, const UpdateWindowLine& line) {
  if (previous.style == UpdateTextStyle::Title) return 12;
  if (line.style == UpdateTextStyle::Heading) return 18;
  if (previous.style == UpdateTextStyle::Heading) return 6;
  if (IsBullet(previous) && !IsBullet(line)) return 14;
  if (previous.style == UpdateTextStyle::Detail && line.style == UpdateTextStyle::Detail) return 4;
  return 10;
}

// Long words (a path or an address in a status text) break inside rather than run past the edge.
constexpr UINT kLineFormat = DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

struct PlacedLine {
  RECT box;    // client coordinates
  int indent;  // where the text starts after a hanging bullet
};

struct UpdateWindow {
  UpdateWindowHost* host = nullptr;
  HWND window = nullptr;
  HWND install = nullptr;  // 501
  HWND later = nullptr;    // 502
  HWND savedFocus = nullptr;
  int dpi = 96;
  std::array<GdiObject<HFONT>, kTextStyles> fonts;
  GdiObject<HBRUSH> footer;
  UpdateWindowContent content;
  std::vector<PlacedLine> placed;  // one per line of the content
  int footerTop = 0;
  SIZE client{};

  int Px(int length) const { return MulDiv(length, dpi, 96); }
  HFONT Font(UpdateTextStyle style) const { return fonts[static_cast<int>(style)].get(); }
};

UpdateWindow* g_window = nullptr;

// The fonts at the window's DPI and the footer's brush; the old ones go when replaced.
void MakeDrawingObjects(UpdateWindow& w) {
  for (int i = 0; i < kTextStyles; ++i) {
    TextStyleSpec spec = SpecOf(static_cast<UpdateTextStyle>(i));
    w.fonts[i].reset(CreateUiFont(spec.pixels, spec.weight, w.dpi));
  }
  w.footer.reset(CreateSolidBrush(Colour(kFooter)));
  for (HWND button : {w.install, w.later}) {
    if (button)
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(w.Font(UpdateTextStyle::Body)), FALSE);
  }
}

int TextWidth(HDC dc, HFONT font, std::u16string_view text) {
  HGDIOBJ old = SelectObject(dc, font);
  std::wstring wide = Wide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  return size.cx;
}

int TextHeight(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  return metrics.tmHeight;
}

int ButtonWidth(const UpdateWindow& w, HDC dc, std::u16string_view text) {
  return std::max(w.Px(kButtonMinWidth), TextWidth(dc, w.Font(UpdateTextStyle::Body), WithoutMnemonic(text)) +
                                             2 * w.Px(kButtonTextPadding));
}

// Measures the wrapped lines at the window's DPI and places the lines and the buttons.
void Layout(UpdateWindow& w) {
  HDC dc = GetDC(w.window);
  const int left = w.Px(kMargin);
  const int right = left + w.Px(kContentWidth);
  int y = w.Px(kMargin);
  w.placed.clear();
  for (size_t i = 0; i < w.content.lines.size(); ++i) {
    const UpdateWindowLine& line = w.content.lines[i];
    if (i > 0) y += w.Px(GapBefore(w.content.lines[i - 1], line));
    size_t bullet = BulletLength(line);
    int indent = TextWidth(dc, w.Font(line.style), std::u16string_view(line.text).substr(0, bullet));
    RECT box{left + indent, y, right, y};
    HGDIOBJ old = SelectObject(dc, w.Font(line.style));
    std::wstring text = Wide(std::u16string_view(line.text).substr(bullet));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kLineFormat | DT_CALCRECT);
    SelectObject(dc, old);
    if (box.bottom == y) box.bottom = y + TextHeight(dc, w.Font(line.style));  // a bullet alone
    box.left = left;
    box.right = right;
    w.placed.push_back({box, indent});
    y = box.bottom;
  }
  w.footerTop = y + w.Px(kMargin);
  w.client = {right + w.Px(kMargin), w.footerTop + 2 * w.Px(kFooterPadding) + w.Px(kButtonHeight)};

  // The buttons at the bottom right, the primary one first as in the system's dialogs.
  const int buttonTop = w.footerTop + w.Px(kFooterPadding);
  int buttonRight = w.client.cx - w.Px(kMargin);
  if (w.content.laterVisible) {
    int width = ButtonWidth(w, dc, kLaterText);
    SetWindowPos(w.later, nullptr, buttonRight - width, buttonTop, width, w.Px(kButtonHeight),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    buttonRight -= width + w.Px(kButtonGap);
  }
  int width = ButtonWidth(w, dc, w.content.installText);
  SetWindowPos(w.install, nullptr, buttonRight - width, buttonTop, width, w.Px(kButtonHeight),
               SWP_NOZORDER | SWP_NOACTIVATE);
  ReleaseDC(w.window, dc);
}

SIZE FrameSize(const UpdateWindow& w) {
  RECT frame{0, 0, w.client.cx, w.client.cy};
  AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(w.dpi));
  return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT WorkAreaAt(POINT point) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

// Sizes the window for its content at (x, y), moved up if its bottom would leave the work area.
void PlaceWindow(UpdateWindow& w, int x, int y) {
  SIZE size = FrameSize(w);
  RECT work = WorkAreaAt({x, y});
  if (y + size.cy > work.bottom) y = std::max<int>(work.top, work.bottom - size.cy);
  SetWindowPos(w.window, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The control that should hold the focus: the install button when it works, else "Để sau",
// else the window itself, so that Esc still reaches it.
HWND PreferredFocus(const UpdateWindow& w) {
  if (w.content.installEnabled) return w.install;
  if (w.content.laterVisible) return w.later;
  return w.window;
}

bool CanHoldFocus(const UpdateWindow& w, HWND control) {
  if (control == w.window) return true;
  return control && IsChild(w.window, control) && IsWindowVisible(control) && IsWindowEnabled(control);
}

// Button texts, states and visibility from the content.
void ApplyContent(UpdateWindow& w) {
  SetWindowTextW(w.install, Wide(w.content.installText).c_str());
  EnableWindow(w.install, w.content.installEnabled);
  ShowWindow(w.later, w.content.laterVisible ? SW_SHOWNA : SW_HIDE);
  InvalidateRect(w.install, nullptr, FALSE);
  // A button that was just disabled or hidden drops the focus, and with it Tab and Esc.
  if (GetActiveWindow() == w.window && !CanHoldFocus(w, GetFocus())) SetFocus(PreferredFocus(w));
}

bool SameContent(const UpdateWindowContent& a, const UpdateWindowContent& b) {
  if (a.installText != b.installText || a.installEnabled != b.installEnabled ||
      a.laterVisible != b.laterVisible || a.lines.size() != b.lines.size()) {
    return false;
  }
  for (size_t i = 0; i < a.lines.size(); ++i) {
    if (a.lines[i].style != b.lines[i].style || a.lines[i].text != b.lines[i].text) return false;
  }
  return true;
}

// Drawn off screen and copied at once: a refresh does not flicker.
void Paint(UpdateWindow& w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w.window, &ps);
  RECT client;
  GetClientRect(w.window, &client);
  MemoryDc memoryDc(CreateCompatibleDC(dc));
  HDC memory = memoryDc.get();
  GdiObject<HBITMAP> bitmap(
      CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap.get());

  FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT footer{0, w.footerTop, client.right, client.bottom};
  FillRect(memory, &footer, w.footer.get());
  RECT rule{0, w.footerTop, client.right, w.footerTop + std::max(1, w.Px(1))};
  GdiObject<HBRUSH> ruleBrush(CreateSolidBrush(Colour(colour::kBorder)));
  FillRect(memory, &rule, ruleBrush.get());

  for (size_t i = 0; i < w.content.lines.size() && i < w.placed.size(); ++i) {
    const UpdateWindowLine& line = w.content.lines[i];
    const PlacedLine& place = w.placed[i];
    HFONT font = w.Font(line.style);
    Rgb colour = SpecOf(line.style).colour;
    std::u16string_view text = line.text;
    size_t bullet = BulletLength(line);
    if (bullet > 0)
      DrawTextIn(memory, font, colour, text.substr(0, bullet), place.box,
                 DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    RECT box = place.box;
    box.left += place.indent;
    DrawTextIn(memory, font, colour, text.substr(bullet), box, kLineFormat);
  }

  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldBitmap);
  EndPaint(w.window, &ps);
}

void DrawButton(UpdateWindow& w, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  bool primary = item.CtlID == static_cast<UINT>(kInstallButtonId);
  FillRect(dc, &r, w.footer.get());  // the rounded corners show the band behind the button
  Rgb text = colour::kMainText;
  if (primary && disabled) {
    FillRoundRect(dc, r, w.Px(kButtonCorner), kDisabledFill, kDisabledFill);
    text = colour::kSecondaryText;
  } else if (primary) {
    Rgb fill = pressed ? colour::kAccentPressed : colour::kAccent;
    FillRoundRect(dc, r, w.Px(kButtonCorner), fill, fill);
    text = kWhite;
  } else {
    FillRoundRect(dc, r, w.Px(kButtonCorner), pressed ? colour::kSelectedFill : kWhite, kLaterBorder);
    if (disabled) text = colour::kSecondaryText;
  }
  std::u16string_view caption = primary ? std::u16string_view(w.content.installText) : kLaterText;
  DrawTextIn(dc, w.Font(UpdateTextStyle::Body), text, caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = r;
    InflateRect(&focus, -w.Px(3), -w.Px(3));
    DrawFocusRect(dc, &focus);
  }
}

// Runs the installer. The host may refresh, or destroy, the window meanwhile; afterwards the
// button states come from the status again, so a start that changed nothing leaves it usable.
void Install(UpdateWindow& w) {
  if (!w.content.installEnabled || !IsWindowEnabled(w.install)) return;
  UpdateWindowHost* host = w.host;
  EnableWindow(w.install, FALSE);  // no second start while the elevation prompt is up
  LogLine("cap nhat: cai dat\n");
  host->InstallNow();
  RefreshUpdateWindow();
}

// Enter presses the focused button, else "Cập nhật ngay" (ignored while it is disabled).
LRESULT DefaultButton(const UpdateWindow& w) {
  int id = GetFocus() == w.later ? kLaterButtonId : kInstallButtonId;
  return MAKELRESULT(id, DC_HASDEFID);
}

void Rescale(UpdateWindow& w, int dpi, const RECT& suggested) {
  w.dpi = dpi;
  MakeDrawingObjects(w);
  Layout(w);
  PlaceWindow(w, suggested.left, suggested.top);
  InvalidateRect(w.window, nullptr, FALSE);
  InvalidateRect(w.install, nullptr, FALSE);
  InvalidateRect(w.later, nullptr, FALSE);
}

LRESULT CALLBACK UpdateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  UpdateWindow* w = g_window;
  if (!w || w->window != window) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint fills everything
    case WM_PAINT:
      Paint(*w);
      return 0;
    case WM_DRAWITEM:
      DrawButton(*w, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case DM_GETDEFID:
      return DefaultButton(*w);
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (id == IDOK) id = LOWORD(DefaultButton(*w));
      if (id == kInstallButtonId && HIWORD(wParam) == BN_CLICKED) {
        Install(*w);  // w may be gone afterwards
      } else if (id == kLaterButtonId || id == IDCANCEL) {
        DestroyWindow(window);
      }
      return 0;
    }
    case WM_ACTIVATE:
      // Keep the focus on a button across deactivation, as a dialog does.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        w->savedFocus = focus && IsChild(window, focus) ? focus : nullptr;
      } else {
        SetFocus(CanHoldFocus(*w, w->savedFocus) ? w->savedFocus : PreferredFocus(*w));
      }
      return 0;
    case WM_DPICHANGED:
      Rescale(*w, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_NCDESTROY:
      delete w;
      g_window = nullptr;
      LogLine("cap nhat: dong\n");
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool RegisterUpdateClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW wc{};
  wc.lpfnWndProc = UpdateProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  registered = RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

HWND CreateButton(HWND parent, int id, DWORD extraStyle) {
  return CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW | extraStyle, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                         nullptr);
}

// The program usually opens this window from the tray or by itself, when it may not take the
// foreground; a mandatory update is its only way to reach the user, so it is raised above the
// other windows then even without the focus.
void BringToFront(UpdateWindow& w, bool mandatory) {
  if (IsIconic(w.window)) ShowWindow(w.window, SW_RESTORE);
  SetForegroundWindow(w.window);
  if (GetForegroundWindow() == w.window) return;
  if (mandatory) {
    SetWindowPos(w.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(w.window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  FLASHWINFO flash{sizeof(flash), w.window, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
  FlashWindowEx(&flash);
}

}  // namespace

void OpenUpdateWindow(UpdateWindowHost& host) {
  if (g_window) {
    g_window->host = &host;
    RefreshUpdateWindow();
    if (g_window) BringToFront(*g_window, MandatoryUpdate(g_window->host->Status()));
    return;
  }
  UpdateStatus status = host.Status();
  if (!UpdateWindowWanted(status) || !RegisterUpdateClass()) return;
  auto* w = new UpdateWindow;
  w->host = &host;
  w->content = UpdateWindowContentOf(status);
  g_window = w;
  // Created hidden on the monitor under the cursor, so that it takes that monitor's DPI.
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT work = WorkAreaAt(cursor);
  w->window = CreateWindowExW(kExStyle, kClassName, Wide(kUpdateWindowTitle).c_str(), kStyle, work.left,
                              work.top, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!w->window) {  // nothing else happens
    delete w;
    g_window = nullptr;
    return;
  }
  UINT dpi = GetDpiForWindow(w->window);
  w->dpi = dpi ? static_cast<int>(dpi) : 96;
  w->install = CreateButton(w->window, kInstallButtonId, WS_GROUP | WS_VISIBLE);
  w->later = CreateButton(w->window, kLaterButtonId, 0);
  SetWindowTextW(w->later, Wide(kLaterText).c_str());  // its name, and Alt+S
  MakeDrawingObjects(*w);
  ApplyContent(*w);
  Layout(*w);
  SIZE size = FrameSize(*w);
  PlaceWindow(*w, work.left + std::max<int>(0, (work.right - work.left - size.cx) / 2),
              work.top + std::max<int>(0, (work.bottom - work.top - size.cy) / 2));
  ShowWindow(w->window, SW_SHOW);
  LogLine("cap nhat: mo, dpi %d, %dx%d\n", w->dpi, static_cast<int>(w->client.cx),
          static_cast<int>(w->client.cy));
  BringToFront(*w, MandatoryUpdate(status));
}

void RefreshUpdateWindow() {
  UpdateWindow* w = g_window;
  if (!w) return;
  UpdateStatus status = w->host->Status();
  if (!UpdateWindowWanted(status)) {
    DestroyWindow(w->window);
    return;
  }
  UpdateWindowContent content = UpdateWindowContentOf(status);
  bool buttonEnabled = IsWindowEnabled(w->install) != FALSE;
  if (SameContent(content, w->content) && buttonEnabled == content.installEnabled) return;
  w->content = std::move(content);
  ApplyContent(*w);
  Layout(*w);
  RECT frame;
  GetWindowRect(w->window, &frame);
  PlaceWindow(*w, frame.left, frame.top);
  InvalidateRect(w->window, nullptr, FALSE);
  InvalidateRect(w->later, nullptr, FALSE);
}

HWND UpdateWindowHandle() {
  return g_window ? g_window->window : nullptr;
}

bool HandleUpdateWindowMessage(MSG& message) {
  if (!g_window) return false;
  HWND window = g_window->window;
  if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
  return IsDialogMessageW(window, &message) != FALSE;
}

}  // namespace tonvira::ui
