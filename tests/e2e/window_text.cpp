// Reads what a window shows, for the end-to-end tests: more honest than the program's own log.
//   tonvira_window_text control ID FILE   the text of the settings window's control ID
//   tonvira_window_text window TITLE FILE every text of the top-level window titled TITLE (a
//                                        message box, a dialog), one line each
//   tonvira_window_text origin - FILE     "X Y DPI": where the settings window's client area
//                                        starts on the screen, in pixels, and its DPI
//   tonvira_window_text rect CLASS FILE   "X Y W H DPI": the top-level window of CLASS, frame
//                                        included
//   tonvira_window_text click CLASS ID    presses button ID of the window of CLASS (BM_CLICK)
//   tonvira_window_text shown CLASS ID    exits 0 when that button shows and is enabled
//   tonvira_window_text notify CLASS ID   tells the window of CLASS (or titled CLASS) that button
//                                        ID was clicked (WM_COMMAND), the keyboard focus left as is
//   tonvira_window_text repaint CLASS N   draws that window again N times, 0.1 s apart
//   tonvira_window_text names - FILE      "ID<TAB>role<TAB>state<TAB>name" for each control of the
//                                        settings window the keyboard can reach, as a screen reader
//                                        reads them (role and state as numbers, 0 when not told)
//   tonvira_window_text workarea - FILE   "X Y W H": the work area of the settings window's monitor
// Texts are written as UTF-8. Exits 0 when the window was found.
#include <windows.h>
// After windows.h:
#include <oleacc.h>

#include "tests/e2e/utf8_file.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// WM_GETTEXT itself: GetWindowText only gives another process's caption, never what its edit
// box holds.
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(static_cast<size_t>(copied));
  return text;
}

BOOL CALLBACK CollectText(HWND child, LPARAM lines) {
  std::wstring text = TextOf(child);
  if (!text.empty()) *reinterpret_cast<std::wstring*>(lines) += text + L"\n";
  return TRUE;
}

// mingw's import library gives IID_IAccessible a wrong value (E_NOINTERFACE): the interface's
// own identifier, as the Windows SDK documents it.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader hears of the control: "role<TAB>state<TAB>name".
std::wstring AccessibleLine(HWND window) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                        reinterpret_cast<void**>(&accessible))) ||
      !accessible) {
    return L"0\t0\t(no accessible object)";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  auto number = [](HRESULT result, const VARIANT& v) {
    return std::to_wstring(SUCCEEDED(result) && v.vt == VT_I4 ? v.lVal : 0);
  };
  VARIANT role, state;
  VariantInit(&role);
  VariantInit(&state);
  std::wstring out = number(accessible->get_accRole(self, &role), role) + L"\t";
  out += number(accessible->get_accState(self, &state), state) + L"\t";
  BSTR name = nullptr;
  if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
    out += name;
    SysFreeString(name);
  }
  accessible->Release();
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Physical pixels, as the X server counts them, whatever the DPI.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (argc != 4) return 2;
  if (wcscmp(argv[1], L"origin") == 0) {
    HWND settings = FindWindowW(L"TonviraSettings", nullptr);
    if (!settings) return 1;
    POINT origin{0, 0};
    ClientToScreen(settings, &origin);
    return WriteUtf8File(argv[3], std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y) + L" " +
                                      std::to_wstring(GetDpiForWindow(settings)));
  }
  if (wcscmp(argv[1], L"rect") == 0) {
    HWND window = FindWindowW(argv[2], nullptr);
    RECT r{};
    if (!window || !GetWindowRect(window, &r)) return 1;
    return WriteUtf8File(argv[3], std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
                                      std::to_wstring(r.right - r.left) + L" " +
                                      std::to_wstring(r.bottom - r.top) + L" " +
                                      std::to_wstring(GetDpiForWindow(window)));
  }
  if (wcscmp(argv[1], L"click") == 0 || wcscmp(argv[1], L"shown") == 0) {
    HWND window = FindWindowW(argv[2], nullptr);
    HWND button = window ? GetDlgItem(window, static_cast<int>(wcstol(argv[3], nullptr, 10))) : nullptr;
    if (!button) return 1;
    if (wcscmp(argv[1], L"shown") == 0) return IsWindowVisible(button) && IsWindowEnabled(button) ? 0 : 1;
    // Posted: the click may end the program, which would never answer a sent message.
    return PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
  }
  if (wcscmp(argv[1], L"notify") == 0) {
    // What a click on the button tells its window, without the click itself: under Wine a click
    // sent to a button of an inactive window activates it and takes the keyboard focus.
    HWND window = FindWindowW(argv[2], nullptr);
    if (!window) window = FindWindowW(nullptr, argv[2]);  // a message box, by its title
    int id = static_cast<int>(wcstol(argv[3], nullptr, 10));
    HWND button = window ? GetDlgItem(window, id) : nullptr;
    if (!button) return 1;
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) ? 0
                                                                                                          : 1;
  }
  if (wcscmp(argv[1], L"repaint") == 0) {
    // The whole window drawn again, COUNT times a tenth of a second apart, without activating it.
    HWND window = FindWindowW(argv[2], nullptr);
    if (!window) return 1;
    for (long i = wcstol(argv[3], nullptr, 10); i > 0; --i) {
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      Sleep(100);
    }
    return 0;
  }
  if (wcscmp(argv[1], L"names") == 0) {
    // Each control of the settings window the keyboard can reach now, in tab order.
    HWND settings = FindWindowW(L"TonviraSettings", nullptr);
    if (!settings) return 1;
    CoInitialize(nullptr);
    std::wstring lines;
    for (HWND child = GetWindow(settings, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child) || !IsWindowEnabled(child) ||
          !(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP))
        continue;
      lines += std::to_wstring(GetDlgCtrlID(child)) + L"\t" + AccessibleLine(child) + L"\n";
    }
    return WriteUtf8File(argv[3], lines);
  }
  if (wcscmp(argv[1], L"workarea") == 0) {
    HWND settings = FindWindowW(L"TonviraSettings", nullptr);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!settings || !GetMonitorInfoW(MonitorFromWindow(settings, MONITOR_DEFAULTTONEAREST), &monitor))
      return 1;
    const RECT& r = monitor.rcWork;
    return WriteUtf8File(argv[3], std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
                                      std::to_wstring(r.right - r.left) + L" " +
                                      std::to_wstring(r.bottom - r.top));
  }
  if (wcscmp(argv[1], L"control") == 0) {
    HWND settings = FindWindowW(L"TonviraSettings", nullptr);
    HWND control = settings ? GetDlgItem(settings, static_cast<int>(wcstol(argv[2], nullptr, 10))) : nullptr;
    if (!control) return 1;
    return WriteUtf8File(argv[3], TextOf(control));
  }
  if (wcscmp(argv[1], L"window") == 0) {
    HWND window = FindWindowW(nullptr, argv[2]);
    if (!window) return 1;
    std::wstring lines;
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&lines));
    return WriteUtf8File(argv[3], lines);
  }
  return 2;
}
