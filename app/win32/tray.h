// The notification-area icon on Windows: the record Shell_NotifyIconW keeps, the drawn icon,
// balloons, the menu, and the listener that hears the taskbar come back.
#pragma once

#include <windows.h>

#include "app/shell.h"

namespace tonvira {

// What the icon shows at one refresh.
struct TrayView {
  bool vietnameseOn = true;
  bool suspended = false;
  int updateKind = 0;
  bool contextOn = true;
  FieldFacts field;
};

class Tray {
 public:
  Tray() = default;
  Tray(const Tray&) = delete;
  Tray& operator=(const Tray&) = delete;
  ~Tray();

  // The record for this window and callback message, with the program's own icon.
  void Init(HWND window, UINT callbackMessage);
  // NIM_ADD, or NIM_MODIFY when the shell already has it: whether the icon is there now.
  bool Add();
  void Remove();
  // Tooltip and icon for the view; false when the shell no longer has the icon.
  bool Refresh(const TrayView& view, bool shown);
  bool ShowBalloon(const Notice& notice);
  // The menu at the cursor; the chosen command arrives as WM_COMMAND.
  void ShowMenu(const MenuFacts& facts);

 private:
  NOTIFYICONDATAW data_{};
  HICON drawn_ = nullptr;
  int drawnState_ = -1;
};

// The icon of a state: a rounded square of the state's colour with its letter, and the
// update badge in the corner for states 3 and 4. Null when drawing failed.
HICON DrawTrayIcon(int state, int size);

// A hidden window that forwards "TaskbarCreated" (Explorer restarted) to the main window.
HWND CreateTaskbarListener(HWND mainWindow, UINT taskbarCreated);

}  // namespace tonvira
