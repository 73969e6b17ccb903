// The update window's host: its button runs the installer.
#pragma once

namespace tonvira {

// Opens the update window, or brings it forward.
void OpenTheUpdateWindow();

}  // namespace tonvira
