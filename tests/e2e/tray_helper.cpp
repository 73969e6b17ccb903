// Drives the notification-area side of Tonvira for the tray cases, from inside the same Wine
// desktop: gives the focus back to the test editor, removes Tonvira's icon as a restarting
// shell would lose it, broadcasts "TaskbarCreated", tells whether a popup menu is open, closes
// a window by its class, holds Ctrl+Shift+Z as another program, and so on. One command per run (the first
// argument); exit code 0 means done or true.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <algorithm>
#include <string>

#include "text/win32/handle.h"

namespace {

constexpr UINT kIconId = 1;

HWND MainWindow() {
  // Message-only windows are found only as children of HWND_MESSAGE.
  return FindWindowExW(HWND_MESSAGE, nullptr, L"TonviraWnd", nullptr);
}

// Another process may only take the foreground while it holds the input; joining the
// foreground thread's input makes the request legitimate.
bool FocusEditor() {
  HWND editor = FindWindowW(L"TonviraTestEdit", L"Tonvira test edit");
  if (!editor) return false;
  for (int attempt = 0; attempt < 50; ++attempt) {
    HWND current = GetForegroundWindow();
    if (current == editor) return true;
    DWORD self = GetCurrentThreadId();
    DWORD other = current ? GetWindowThreadProcessId(current, nullptr) : 0;
    bool attached = other != 0 && other != self && AttachThreadInput(self, other, TRUE);
    SetForegroundWindow(editor);
    if (attached) AttachThreadInput(self, other, FALSE);
    Sleep(100);
  }
  return GetForegroundWindow() == editor;
}

NOTIFYICONDATAW IconRecord(HWND main) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = main;
  data.uID = kIconId;
  return data;
}

// A popup menu on screen is a visible window of the system class "#32768".
HWND OpenMenu() {
  for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
    if (IsWindowVisible(w)) return w;
  }
  return nullptr;
}
bool MenuOpen() {
  return OpenMenu() != nullptr;
}

void Print(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The open menu's rectangle on the screen, "left top right bottom".
int PrintMenuRect() {
  RECT r{};
  HWND menu = OpenMenu();
  if (!menu || !GetWindowRect(menu, &r)) return 1;
  Print(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
        std::to_string(r.bottom) + "\n");
  return 0;
}

bool EmptyTheClipboard() {
  if (!OpenClipboard(nullptr)) return false;
  bool ok = EmptyClipboard();
  CloseClipboard();
  return ok;
}

// Holds Ctrl+Shift+Z as another program would, until ended; says "held" once it has it.
int HoldHotkey() {
  if (!RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, 'Z')) return 1;
  Print("held\n");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
  }
  return 0;
}

// Names the window that has the keyboard, for a failing case's log.
int PrintForeground() {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(0, &info);
  wchar_t name[256] = L"", title[256] = L"", focusName[256] = L"";
  GetClassNameW(info.hwndActive, name, 256);
  GetWindowTextW(info.hwndActive, title, 256);
  GetClassNameW(info.hwndFocus, focusName, 256);
  std::wstring line = std::wstring(L"foreground [") + name + L"] [" + title + L"] focus [" + focusName +
                      L"]" + (info.flags & GUI_INMENUMODE ? L" in menu" : L"") + L"\n";
  std::string utf8(line.size() * 3, '\0');
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(),
                                  static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(static_cast<size_t>(std::max(bytes, 0)));
  Print(utf8);
  return 0;
}

// Closes the top-level window of the class given, as its close box would; true once it is gone.
bool CloseWindowOfClass(const wchar_t* className) {
  HWND window = FindWindowW(className, nullptr);
  if (!window) return false;
  PostMessageW(window, WM_CLOSE, 0, 0);
  for (int attempt = 0; attempt < 50 && IsWindow(window); ++attempt) Sleep(100);
  return !IsWindow(window);
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  std::wstring command = argv[1];
  if (command == L"foreground") return PrintForeground();
  if (command == L"focus-editor") return FocusEditor() ? 0 : 1;
  if (command == L"menu-rect") return PrintMenuRect();
  if (command == L"menu-open") return MenuOpen() ? 0 : 1;
  if (command == L"menu-closed") return MenuOpen() ? 1 : 0;
  if (command == L"close-window" && argc >= 3) return CloseWindowOfClass(argv[2]) ? 0 : 1;
  if (command == L"empty-clipboard") return EmptyTheClipboard() ? 0 : 1;
  if (command == L"hold-hotkey") return HoldHotkey();
  if (command == L"taskbar-created") {
    // As the shell does when it (re)starts: to every top-level window.
    UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message != 0 && PostMessageW(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
  }
  HWND main = MainWindow();
  if (!main) return 3;  // told apart from a refusal of the shell
  if (command == L"delete-icon") {
    NOTIFYICONDATAW data = IconRecord(main);
    return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
  }
  if (command == L"balloon" && argc >= 4) {
    // A balloon on Tonvira's own icon, raised from outside the program.
    NOTIFYICONDATAW data = IconRecord(main);
    data.uFlags = NIF_INFO;
    lstrcpynW(data.szInfoTitle, argv[2], ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, argv[3], ARRAYSIZE(data.szInfo));
    data.dwInfoFlags = NIIF_INFO;
    return Shell_NotifyIconW(NIM_MODIFY, &data) ? 0 : 1;
  }
  return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  tonvira::LocalMemory<LPWSTR*> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argv) return 2;
  return Run(argc, argv.get());
}
