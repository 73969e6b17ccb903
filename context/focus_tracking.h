// The focus-tracking thread: it follows the foreground window and the focused field,
// classifies them and publishes the result in the FocusTracker.
#pragma once

#include <cstdint>
#include <string_view>

#include "context/focus_tracker.h"

namespace tonvira {

// Reads the rules from path and starts the thread; after each classification it posts
// notifyMessage to notifyWindow (0: no notice), with the classification's sequence number. False when the
// thread cannot start.
bool StartFocusTracker(FocusTracker& tracker, std::u16string_view path, uintptr_t notifyWindow,
                       uint32_t notifyMessage);
// Wakes the thread with a quit message and waits for it a short while. False when it did not
// end in time (stuck in a hung application's UI Automation call): the process must then end
// without tearing down what the thread still uses.
bool StopFocusTracker();
// Asks the thread to classify again (after the rules were edited): UI Automation is only
// used on the thread that created it.
void RequestClassification();

}  // namespace tonvira
