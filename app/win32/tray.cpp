#include "app/win32/tray.h"

#include <algorithm>
#include <string>
#include <vector>

#include <shlobj.h>

#include "input/latency_record.h"
#include "input/log.h"
#include "text/utf8.h"
#include "text/win32/handle.h"

namespace tonvira {
namespace {

constexpr UINT kIconId = 1;

struct IconLook {
  wchar_t letter;
  COLORREF colour;
};
constexpr IconLook kLooks[3] = {
    {L'E', RGB(0x6B, 0x72, 0x80)},  // off
    {L'V', RGB(0x1A, 0x4F, 0xD6)},  // on
    {L'!', RGB(0xD9, 0x77, 0x06)},  // suspended
};
constexpr COLORREF kBadgeColour = RGB(0xD9, 0x77, 0x06);

// Into a fixed field of the record, cut as the shell says (the field always has room for it).
template <size_t N>
void CopyCut(wchar_t (&to)[N], std::u16string_view from, size_t units) {
  static_assert(N > 1);
  std::u16string cut = CutToUnits(from, std::min(units, N - 1));
  std::copy(cut.begin(), cut.end(), to);
  to[cut.size()] = L'\0';
}

// The menu as Windows holds it, one trace line per item ("menu: 1006 c Đoán thông minh"; the
// letters say checked, greyed, default): what the user is shown, read back from the menu itself.
void LogMenu(HMENU menu) {
  if (!LogIsOpen()) return;
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(std::size(text));
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) {
      LogLine("menu: -\n");
      continue;
    }
    char flags[4] = "-";
    size_t n = 0;
    if (info.fState & MFS_CHECKED) flags[n++] = 'c';
    if (info.fState & MFS_GRAYED) flags[n++] = 'g';
    if (info.fState & MFS_DEFAULT) flags[n++] = 'd';
    if (n > 0) flags[n] = '\0';
    std::u16string wide(text, text + wcslen(text));
    LogLine("menu: %u %s %s\n", info.wID, flags, Utf16ToUtf8(wide).c_str());
  }
}

HWND g_listenerTarget = nullptr;
UINT g_taskbarCreated = 0;
UINT g_endSession = 0;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == g_taskbarCreated && g_taskbarCreated != 0) {
    PostMessageW(g_listenerTarget, g_taskbarCreated, 0, 0);
    return 0;
  }
  // The message-only main window never hears of the session's end; this top-level window does.
  if (message == WM_QUERYENDSESSION) return TRUE;
  if (message == WM_ENDSESSION) {
    if (wParam) SendMessageW(g_listenerTarget, g_endSession, 0, lParam);  // saved before we return
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HICON DrawTrayIcon(int state, int size) {
  int s = size >= 1 ? size : GetSystemMetrics(SM_CXSMICON);
  s = std::max(s, 16);
  const IconLook& look = kLooks[state % 3];
  bool badge = state >= kIconBadge;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = s;
  info.bmiHeader.biHeight = -s;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  MemoryDc memory(CreateCompatibleDC(screen));
  HDC dc = memory.get();
  void* bits = nullptr;
  GdiObject<HBITMAP> colour(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ReleaseDC(nullptr, screen);
  if (!dc || !colour || !bits) return nullptr;
  std::fill_n(static_cast<uint32_t*>(bits), static_cast<size_t>(s) * s, 0u);
  HGDIOBJ oldBitmap = SelectObject(dc, colour.get());

  // Owners declared before the selections are undone below, so released after them.
  GdiObject<HBRUSH> brush(CreateSolidBrush(look.colour));
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, look.colour));
  HGDIOBJ oldBrush = SelectObject(dc, brush.get());
  HGDIOBJ oldPen = SelectObject(dc, pen.get());
  RoundRect(dc, 0, 0, s, s, s / 4, s / 4);

  GdiObject<HFONT> font(CreateFontW(-(badge ? s * 5 / 8 : s * 3 / 4), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                    FF_SWISS, L"Segoe UI"));
  HGDIOBJ oldFont = SelectObject(dc, font.get());
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  RECT box = badge ? RECT{0, s / 8, s - s / 4, s} : RECT{0, 0, s, s};
  wchar_t letter[2] = {look.letter, L'\0'};
  DrawTextW(dc, letter, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  if (badge) {
    int d = std::max(s * 7 / 16, 6);
    int inset = s < 24 ? 1 : 2;
    GdiObject<HBRUSH> black(CreateSolidBrush(RGB(0, 0, 0)));
    GdiObject<HPEN> blackPen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    GdiObject<HBRUSH> badgeBrush(CreateSolidBrush(kBadgeColour));
    GdiObject<HPEN> badgePen(CreatePen(PS_SOLID, 1, kBadgeColour));
    SelectObject(dc, black.get());
    SelectObject(dc, blackPen.get());
    Ellipse(dc, s - d, 0, s, d);
    SelectObject(dc, badgeBrush.get());
    SelectObject(dc, badgePen.get());
    Ellipse(dc, s - d + inset, inset, s - inset, d - inset);
    SelectObject(dc, brush.get());
    SelectObject(dc, pen.get());
  }
  GdiFlush();
  // Black stays transparent (the ring around the badge is a gap); everything else is opaque.
  uint32_t* pixel = static_cast<uint32_t*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(s) * s; ++i) {
    pixel[i] = (pixel[i] & 0x00FFFFFFu) == 0 ? 0u : (pixel[i] | 0xFF000000u);
  }

  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBitmap);

  GdiObject<HBITMAP> mask(CreateBitmap(s, s, 1, 1, nullptr));
  ICONINFO icon{};
  icon.fIcon = TRUE;
  icon.hbmMask = mask.get();
  icon.hbmColor = colour.get();
  return mask ? CreateIconIndirect(&icon) : nullptr;  // the icon has copies of both bitmaps
}

void Tray::Init(HWND window, UINT callbackMessage) {
  data_.cbSize = sizeof(data_);
  data_.hWnd = window;
  data_.uID = kIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callbackMessage;
  data_.hIcon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  CopyCut(data_.szTip, u"Tonvira", kTooltipUnits);
}

bool Tray::Add() {
  return Shell_NotifyIconW(NIM_ADD, &data_) || Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void Tray::Remove() {
  Shell_NotifyIconW(NIM_DELETE, &data_);
}

bool Tray::Show(const std::u16string& tooltip, int state, bool shown) {
  CopyCut(data_.szTip, tooltip, kTooltipUnits);
  if (state != drawnState_ || !drawn_) {
    if (HICON icon = DrawTrayIcon(state, 0)) {
      data_.hIcon = icon;
      data_.uFlags |= NIF_ICON;
      drawn_.reset(icon);
      drawnState_ = state;
    }
  }
  bool modified = shown && Shell_NotifyIconW(NIM_MODIFY, &data_);
  LogLine("khay: trang thai %d, hien %d\n", drawnState_, modified ? 1 : 0);
  return modified;
}

bool Tray::ShowBalloon(const Notice& notice) {
  NOTIFYICONDATAW balloon = data_;
  balloon.uFlags = NIF_INFO;
  CopyCut(balloon.szInfoTitle, notice.title, kBalloonTitleUnits);
  CopyCut(balloon.szInfo, notice.text, kBalloonTextUnits);
  balloon.dwInfoFlags = notice.warning ? NIIF_WARNING : NIIF_INFO;
  bool shown = Shell_NotifyIconW(NIM_MODIFY, &balloon);
  LogLine("thong bao%s: %s: %s (%s)\n", notice.warning ? " canh bao" : "", Utf16ToUtf8(notice.title).c_str(),
          Utf16ToUtf8(notice.text).c_str(), shown ? "hien" : "khong hien");
  return shown;
}

void Tray::ShowMenu(const std::vector<MenuItem>& items) {
  MenuHandle owned(CreatePopupMenu());
  HMENU menu = owned.get();
  if (!menu) return;
  for (const MenuItem& item : items) {
    if (item.id == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text(item.text.begin(), item.text.end());
    UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.greyed ? MF_GRAYED : 0);
    AppendMenuW(menu, flags, item.id, text.c_str());
    if (item.isDefault) SetMenuDefaultItem(menu, item.id, FALSE);
  }
  LogMenu(menu);
  POINT cursor{};
  GetCursorPos(&cursor);
  HWND owner = menuOwner_ ? menuOwner_ : data_.hWnd;
  SetForegroundWindow(owner);
  UINT command = 0;
  {
    ModalLoop modal;
    command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, cursor.x,
                                               cursor.y, 0, owner, nullptr));
  }
  // Without a message after it, the menu may not close the next time the user clicks away.
  PostMessageW(owner, WM_NULL, 0, 0);
  if (command != 0) PostMessageW(data_.hWnd, WM_COMMAND, command, 0);
}

bool PromoteTrayIcon() {
  RegistryKey settings;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\NotifyIconSettings", 0, KEY_READ, settings.put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  wchar_t self[MAX_PATH * 4] = {};
  DWORD selfLength = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  if (selfLength == 0 || selfLength >= std::size(self)) return false;
  for (DWORD index = 0;; ++index) {
    wchar_t name[128];
    DWORD nameLength = static_cast<DWORD>(std::size(name));
    LSTATUS status =
        RegEnumKeyExW(settings.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return false;
    if (status != ERROR_SUCCESS) continue;  // a name longer than the buffer is not one of ours
    RegistryKey entry;
    if (RegOpenKeyExW(settings.get(), name, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, entry.put()) !=
        ERROR_SUCCESS) {
      continue;
    }
    wchar_t value[1023] = {};  // 2046 bytes
    DWORD type = 0;
    DWORD bytes = sizeof(value);
    if (RegQueryValueExW(entry.get(), L"ExecutablePath", nullptr, &type, reinterpret_cast<BYTE*>(value),
                         &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
      continue;
    }
    // The value need not end with a terminator: it ends where its bytes end.
    std::u16string stored(value, value + std::min<size_t>(bytes / sizeof(wchar_t), std::size(value)));
    stored.resize(std::char_traits<char16_t>::length(stored.c_str()));
    NotifyIconPath split = SplitKnownFolderPath(stored);
    std::wstring path(split.rest.begin(), split.rest.end());
    if (!split.folderId.empty()) {
      std::wstring id(split.folderId.begin(), split.folderId.end());
      CLSID folder{};
      TaskMemory<PWSTR> folderPath;
      if (FAILED(CLSIDFromString(id.c_str(), &folder)) ||
          FAILED(SHGetKnownFolderPath(folder, 0, nullptr, folderPath.put()))) {
        continue;
      }
      path = std::wstring(folderPath.get()) + path;
    }
    if (_wcsicmp(path.c_str(), self) != 0) continue;
    // An existing value is the user's choice (0 keeps the icon in the overflow area).
    if (RegQueryValueExW(entry.get(), L"IsPromoted", nullptr, nullptr, nullptr, nullptr) ==
        ERROR_FILE_NOT_FOUND) {
      DWORD promoted = 1;
      RegSetValueExW(entry.get(), L"IsPromoted", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&promoted),
                     sizeof(promoted));
    }
    return true;
  }
}

HWND CreateTaskbarListener(HWND mainWindow, UINT taskbarCreated, UINT endSession) {
  g_listenerTarget = mainWindow;
  g_taskbarCreated = taskbarCreated;
  g_endSession = endSession;
  WNDCLASSW wc{};
  wc.lpfnWndProc = ListenerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TonviraTaskbarListener";
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, wc.hInstance, nullptr);
  if (window) ChangeWindowMessageFilterEx(window, taskbarCreated, MSGFLT_ALLOW, nullptr);
  return window;
}

}  // namespace tonvira
