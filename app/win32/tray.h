// The notification-area icon on Windows: the record Shell_NotifyIconW keeps, the drawn icon,
// balloons, the menu, and the listener that hears the taskbar come back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/shell.h"
#include "text/win32/handle.h"

namespace tonvira {

class Tray {
 public:
  Tray() = default;
  Tray(const Tray&) = delete;
  Tray& operator=(const Tray&) = delete;

  // The record for this window and callback message, with the program's own icon.
  void Init(HWND window, UINT callbackMessage);
  // NIM_ADD, or NIM_MODIFY when the shell already has it: whether the icon is there now.
  bool Add();
  void Remove();
  // The tooltip, and the icon of the state (drawn anew only when the state changed); sent to
  // the shell when shown. False when the shell no longer has the icon.
  bool Show(const std::u16string& tooltip, int state, bool shown);
  bool ShowBalloon(const Notice& notice);
  // The top-level window that owns the menu: a message-only window cannot take the foreground,
  // and without it the menu would stay open when the user clicks elsewhere.
  void SetMenuOwner(HWND owner) { menuOwner_ = owner; }
  // The menu at the cursor; the chosen command is posted to the main window as WM_COMMAND.
  void ShowMenu(const std::vector<MenuItem>& items);

 private:
  HWND menuOwner_ = nullptr;
  NOTIFYICONDATAW data_{};
  IconHandle drawn_;
  int drawnState_ = -1;
};

// The icon of a state: a rounded square of the state's colour with its letter, and the
// update badge in the corner for states 3 and 4. Null when drawing failed.
HICON DrawTrayIcon(int state, int size);

// Asks the shell to keep this program's icon out of the overflow area, through its
// NotifyIconSettings entry. A value the user set is never changed. False when no entry is ours.
bool PromoteTrayIcon();

// A hidden top-level window that forwards "TaskbarCreated" (Explorer restarted) and the end of
// the session (sent, so the main window has saved before it returns) to the main window.
HWND CreateTaskbarListener(HWND mainWindow, UINT taskbarCreated, UINT endSession);

}  // namespace tonvira
