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

}  // namespace

bool TrackKey(ChordTracker& t, uint32_t key, bool down, bool altGrCtrl, bool injected) {
  if (key == vk::kControl) key = vk::kLControl;
  if (key == vk::kShift) key = vk::kLShift;
  uint8_t bit = altGrCtrl ? 0 : ModifierBit(key);
  bool modifier = bit != 0;

  // Another program's Ctrl or Shift event for a key we believe down (not its auto-repeat).
  bool foreign = modifier && injected && (t.modMask & bit) && !(down && bit == t.lastModBit);
  // An injected modifier right after a real key that is already up again: a remapper's
  // translation of that key rather than a key typed into the chord.
  bool released = modifier && injected && down && t.lastRealKey != 0 && !os::AsyncKeyDown(t.lastRealKey);

  if (!injected && !modifier && down && !altGrCtrl) {
    t.lastRealKey = key;
    t.lastModBit = 0;
    if (os::AsyncKeyDown(key)) t.heldKey = key;
  } else {
    t.lastRealKey = 0;
    t.lastModBit = (!injected && modifier && down) ? bit : 0;
    if (!injected && !modifier && !down && !altGrCtrl && t.heldKey == key) t.heldKey = 0;
  }

  if (t.pendingKey != 0) {
    if (!released) t.spoiled = true;
    t.pendingKey = 0;
  }

  if (modifier && !injected) {
    if (down) {
      t.modMask |= bit;
    } else {
      t.modMask &= static_cast<uint8_t>(~bit);
    }
  }

  if (modifier && down && !foreign) {
    if (!AnyModifierDown()) {
      t.fired = t.armed = t.spoiled = false;
      if (!injected) t.modMask = bit;
      if (t.heldKey != 0 && os::AsyncKeyDown(t.heldKey)) t.spoiled = true;
    } else if (!t.modHeld) {
      t.spoiled = true;  // a Ctrl or Shift was already down behind our back
    }
  }

  auto held = [&](uint32_t k) { return k == key ? down : os::AsyncKeyDown(k); };
  bool ctrl = held(vk::kLControl) || held(vk::kRControl);
  bool shift = held(vk::kLShift) || held(vk::kRShift);

  bool result = false;
  if (foreign) {
    t.spoiled = true;
  } else if (!modifier) {
    if (ctrl || shift || t.modHeld) {
      if (altGrCtrl) {
        t.spoiled = true;
      } else if (down) {
        t.pendingKey = key;
      }
    }
  } else if (down) {
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
  if (!foreign) {
    t.spoiled = false;
    t.pendingKey = 0;
  }
  return result;
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
