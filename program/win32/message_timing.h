// How long the main thread's messages took, for the traces and the end-to-end tests.
#pragma once

#include <windows.h>

namespace tonvira {

// Dispatches one message (the settings and update windows' keys first) and records how long it
// took.
void DispatchTimed(MSG& msg);
// One line of figures: each key's wait for the hook and the time of the messages meanwhile.
void LogTimings();

}  // namespace tonvira
