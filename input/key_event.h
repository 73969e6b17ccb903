// The portable form of what the low-level hooks see and of what the pipeline sends back.
// The Windows edge turns KBDLLHOOKSTRUCT and MSLLHOOKSTRUCT into these, and these into INPUT
// records; nothing after it knows a Windows type.
#pragma once

#include <array>
#include <cstdint>

namespace tonvira {

// Windows handles stay opaque in portable code.
using WindowId = uintptr_t;
using LayoutId = uintptr_t;  // the low word is the language id

// Tonvira's own synthetic events carry this in their extra information.
inline constexpr uint64_t kOwnInputMarker = 0x54455355;

// Hook flags of a key event (the low-level hook's own bit values).
inline constexpr uint32_t kKeyExtended = 0x01;
inline constexpr uint32_t kKeyInjected = 0x10;
// Scan-code bit of the left Ctrl that the system sends together with AltGr.
inline constexpr uint32_t kAltGrCtrlScan = 0x200;

// Virtual-key codes the pipeline looks at.
namespace vk {
inline constexpr uint32_t kBack = 8, kTab = 9, kReturn = 13, kShift = 16, kControl = 17, kMenu = 18,
                          kCapital = 20, kEscape = 27, kSpace = 32, kPrior = 33, kDown = 40, kDelete = 46,
                          kLWin = 91, kRWin = 92, kNumLock = 144, kScroll = 145, kLShift = 160, kRShift = 161,
                          kLControl = 162, kRControl = 163, kLMenu = 164, kRMenu = 165;
}  // namespace vk

struct KeyEvent {
  uint32_t vk = 0;
  uint32_t scan = 0;
  uint32_t flags = 0;  // kKeyExtended, kKeyInjected
  uint32_t time = 0;   // tick count of the event
  uint64_t extraInfo = 0;
  bool down = false;  // a key-down or a system key-down
  bool Injected() const { return (flags & kKeyInjected) != 0; }
};

enum class MouseMessage : uint8_t {
  Move,
  LeftDown,
  LeftUp,
  RightDown,
  RightUp,
  MiddleDown,
  MiddleUp,
  XDown,
  XUp,
  Wheel,
  HorizontalWheel,
  DoubleClick,
};

struct MouseEvent {
  MouseMessage message = MouseMessage::Move;
  uint32_t time = 0;
  bool injected = false;
};

// What the hook tells the edge: call the next hook, or eat the key.
enum class HookAction : uint8_t { Pass, Swallow };

// One synthetic keyboard event, as SendInput takes it.
inline constexpr uint32_t kEventExtendedKey = 1;
inline constexpr uint32_t kEventKeyUp = 2;
inline constexpr uint32_t kEventUnicode = 4;

struct OutputEvent {
  uint16_t vk = 0;
  uint16_t scan = 0;  // the UTF-16 unit for a Unicode event
  uint32_t flags = 0;
  uint64_t extraInfo = kOwnInputMarker;
  bool operator==(const OutputEvent&) const = default;
};

// GetKeyboardState's 256 bytes: bit 0x80 down, bit 0x01 toggled.
using KeyboardState = std::array<uint8_t, 256>;

}  // namespace tonvira
