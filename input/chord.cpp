#include "input/chord.h"

#include "input/key_event.h"
#include "input/os.h"

namespace tonvira {
namespace {

constexpr uint32_t kModifierKeys[] = {vk::kLControl, vk::kRControl, vk::kLShift, vk::kRShift};

uint8_t ModifierBit(uint32_t key) {
  switch (key) {
    case vk::kLControl:
      return 1;
    case vk::kRControl:
      return 2;
    case vk::kLShift:
      return 4;
    case vk::kRShift:
      return 8;
    default:
      return 0;
  }
}

bool AnyModifierDown() {
  for (uint32_t key : kModifierKeys) {
    if (os::AsyncKeyDown(key)) return true;
  }
  return false;
}

// Keys that the chord scan ignores: the modifiers themselves and input-method keys.
bool IgnoredByScan(uint32_t key) {
  return key == vk::kShift || key == vk::kControl || (key >= vk::kLShift && key <= vk::kRControl) ||
         (key >= 21 && key <= 26) || (key >= 28 && key <= 31) || key == 229 || key == 231 ||
         (key >= 240 && key <= 253);
}

bool OtherKeyDown() {
  for (uint32_t key = 1; key <= 254; ++key) {
    if (!IgnoredByScan(key) && os::AsyncKeyDown(key)) return true;
  }
  return false;
}

// One keyboard event, with Ctrl and Shift folded onto their left keys.
struct ChordEvent {
  uint32_t key;
  bool down, altGrCtrl, injected;
  uint8_t bit;    // the key's bit in modMask; 0 for any other key, and for AltGr's Ctrl
  bool modifier;  // a Ctrl or a Shift
  // Another program's Ctrl or Shift event for a key we believe down (not its auto-repeat).
  bool foreign;
  // An injected modifier right after a real key that is already up again: a remapper's
  // translation of that key rather than a key typed into the chord.
  bool released;
};

ChordEvent Classify(const ChordTracker& t, uint32_t key, bool down, bool altGrCtrl, bool injected) {
  if (key == vk::kControl) key = vk::kLControl;
  if (key == vk::kShift) key = vk::kLShift;
  ChordEvent e{};
  e.key = key;
  e.down = down;
  e.altGrCtrl = altGrCtrl;
  e.injected = injected;
  e.bit = altGrCtrl ? 0 : ModifierBit(key);
  e.modifier = e.bit != 0;
  e.foreign = e.modifier && injected && (t.modMask & e.bit) && !(down && e.bit == t.lastModBit);
  e.released = e.modifier && injected && down && t.lastRealKey != 0 && !os::AsyncKeyDown(t.lastRealKey);
  return e;
}

// The physical keys behind the events: the last real key-down (for one event), the key that
// auto-repeats, the modifier of the last physical modifier key-down.
void TrackRealKeys(ChordTracker& t, const ChordEvent& e) {
  if (!e.injected && !e.modifier && e.down && !e.altGrCtrl) {
    t.lastRealKey = e.key;
    t.lastModBit = 0;
    if (os::AsyncKeyDown(e.key)) t.heldKey = e.key;
    return;
  }
  t.lastRealKey = 0;
  t.lastModBit = (!e.injected && e.modifier && e.down) ? e.bit : 0;
  if (!e.injected && !e.modifier && !e.down && !e.altGrCtrl && t.heldKey == e.key) t.heldKey = 0;
}

// Which Ctrl and Shift keys we saw go down; the first of them starts a chord afresh.
void TrackModifiers(ChordTracker& t, const ChordEvent& e) {
  if (e.modifier && !e.injected) {
    if (e.down) {
      t.modMask |= e.bit;
    } else {
      t.modMask &= static_cast<uint8_t>(~e.bit);
    }
  }
  if (!e.modifier || !e.down || e.foreign) return;
  if (!AnyModifierDown()) {
    t.fired = t.armed = t.spoiled = false;
    if (!e.injected) t.modMask = e.bit;
    if (t.heldKey != 0 && os::AsyncKeyDown(t.heldKey)) t.spoiled = true;
  } else if (!t.modHeld) {
    t.spoiled = true;  // a Ctrl or Shift was already down behind our back
  }
}

// The chord itself: armed while a Ctrl and a Shift are held, spoiled by anything else, fired
// on the key-up that ends a clean tap.
bool JudgeChord(ChordTracker& t, const ChordEvent& e) {
  auto held = [&](uint32_t k) { return k == e.key ? e.down : os::AsyncKeyDown(k); };
  bool ctrl = held(vk::kLControl) || held(vk::kRControl);
  bool shift = held(vk::kLShift) || held(vk::kRShift);

  bool result = false;
  if (e.foreign) {
    t.spoiled = true;
  } else if (!e.modifier) {
    if (ctrl || shift || t.modHeld) {
      if (e.altGrCtrl) {
        t.spoiled = true;
      } else if (e.down) {
        t.pendingKey = e.key;
      }
    }
  } else if (e.down) {
    if (ctrl && shift) {
      if (!t.fired) {
        if (!t.armed && OtherKeyDown()) t.spoiled = true;
        t.armed = true;
      }
      t.modHeld = true;
      return false;
    }
  } else {
    if (t.armed && !t.spoiled) {
      result = true;
      t.fired = true;
    }
    t.armed = false;
  }

  if (ctrl && shift) {
    t.modHeld = true;
    return result;
  }
  t.fired = false;
  t.armed = false;
  if (ctrl || shift) {
    t.modHeld = true;
    return result;
  }
  t.modHeld = false;
  if (!e.foreign) {
    t.spoiled = false;
    t.pendingKey = 0;
  }
  return result;
}

}  // namespace

bool TrackKey(ChordTracker& t, uint32_t key, bool down, bool altGrCtrl, bool injected) {
  ChordEvent e = Classify(t, key, down, altGrCtrl, injected);
  TrackRealKeys(t, e);
  // A key that went down under Ctrl or Shift spoils the chord, unless it was a remapper's.
  if (t.pendingKey != 0) {
    if (!e.released) t.spoiled = true;
    t.pendingKey = 0;
  }
  TrackModifiers(t, e);
  return JudgeChord(t, e);
}

void TrackMouse(ChordTracker& t) {
  if (t.modHeld || t.pendingKey != 0) t.spoiled = true;
  t.pendingKey = 0;
}

void ResyncTracker(ChordTracker& t) {
  for (uint32_t key : kModifierKeys) {
    uint8_t bit = ModifierBit(key);
    if ((t.modMask & bit) && !os::AsyncKeyDown(key)) t.modMask &= static_cast<uint8_t>(~bit);
  }
  if (t.heldKey != 0 && !os::AsyncKeyDown(t.heldKey)) t.heldKey = 0;
}

void ResetTracker(ChordTracker& t) {
  t = ChordTracker{};
}

}  // namespace tonvira
