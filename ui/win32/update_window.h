// The update window on Windows: "Cập nhật Tonvira", one top-level window of the main thread
// that says what the update brings and installs it on "Cập nhật ngay".
#pragma once

#include <windows.h>

#include "update/updater.h"

namespace tonvira::ui {

// What the window needs from the rest of the program.
class UpdateWindowHost {
 public:
  virtual ~UpdateWindowHost() = default;
  virtual UpdateStatus Status() = 0;
  // "Cập nhật ngay": runs the installer (the status that follows refreshes the window).
  virtual void InstallNow() = 0;
};

// Creates the window when there is an update to talk about, or brings the existing one to the
// front.
void OpenUpdateWindow(UpdateWindowHost& host);
// The button states and the text again from the status now; destroys the window when there is
// no longer an update.
void RefreshUpdateWindow();
HWND UpdateWindowHandle();
// For the message loop: Tab, Enter and Esc. True when the message was used up.
bool HandleUpdateWindowMessage(MSG& message);

}  // namespace tonvira::ui
