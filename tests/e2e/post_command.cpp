// Posts a menu command (WM_COMMAND with the id on the command line) to Tonvira's main window,
// as its tray menu would. Exits 0 when the window was found and the message posted; with id 0
// it only tells whether the window exists.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  WPARAM id = static_cast<WPARAM>(wcstoul(commandLine, nullptr, 10));
  // Message-only windows are found only as children of HWND_MESSAGE.
  HWND window = FindWindowExW(HWND_MESSAGE, nullptr, L"TonviraWnd", nullptr);
  if (!window) return 1;
  if (id == 0) return 0;  // only asks whether Tonvira is running
  return PostMessageW(window, WM_COMMAND, id, 0) ? 0 : 1;
}
