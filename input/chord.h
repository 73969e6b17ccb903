// The Ctrl+Shift toggle: fires once for a clean tap of a Ctrl and a Shift key, never when
// anything else was pressed, clicked or turned while they were held, never for AltGr.
#pragma once

#include <cstdint>

namespace tonvira {

struct ChordTracker {
  bool armed = false;        // a Ctrl and a Shift are held together and the tap can still fire
  bool spoiled = false;      // something else happened since the chord formed
  bool modHeld = false;      // a Ctrl or Shift was held at the last event
  bool fired = false;        // fired while the chord is still held: do not arm again until it breaks
  uint32_t pendingKey = 0;   // a key that went down under Ctrl or Shift, judged at the next event
  uint32_t lastRealKey = 0;  // the last physical non-modifier key-down, for one event
  uint32_t heldKey = 0;      // a key seen going down while already down (auto-repeat)
  uint8_t modMask = 0;       // left Ctrl 1, right Ctrl 2, left Shift 4, right Shift 8
  uint8_t lastModBit = 0;    // the modifier of the last physical modifier key-down
};

// Every keyboard event that is not Tonvira's own; true exactly once per clean tap, on the
// key-up that completes it.
bool TrackKey(ChordTracker& tracker, uint32_t vk, bool keyDown, bool altGrCtrl, bool injected);
// A mouse button went down or up, or a wheel turned.
void TrackMouse(ChordTracker& tracker);
// The hooks were installed again: keys released meanwhile are forgotten.
void ResyncTracker(ChordTracker& tracker);
// The hotkey mode was set: a half-pressed chord starts from scratch.
void ResetTracker(ChordTracker& tracker);

}  // namespace tonvira
