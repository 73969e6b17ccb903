// What the keyboard pipeline needs from the operating system. Two bodies implement it and
// are chosen at link time: win32/ with the real calls, sim/ with the simulated desktop.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "input/key_event.h"

namespace tonvira::os {

// Windows and processes.
WindowId ForegroundWindow();
uint32_t WindowProcessId(WindowId window);  // 0 when unknown
bool WindowIsOurs(WindowId window);         // belongs to this process
std::u16string WindowTitle(WindowId window, size_t maxUnits);
// Whether the window with the keyboard focus carries the named window property.
bool FocusHasProperty(std::u16string_view name);
// The integrity level of a process (the last sub-authority of its label, 0 when the token
// cannot be read); nothing when the process cannot be opened.
std::optional<uint32_t> ProcessIntegrityLevel(uint32_t processId);
uint32_t OwnIntegrityLevel();  // computed once per process

// Keys.
bool KeyStateDown(uint32_t vk);  // GetKeyState: as the thread's input state says
bool AsyncKeyDown(uint32_t vk);  // GetAsyncKeyState: physically down right now
bool ReadKeyboardState(KeyboardState& state);
LayoutId ForegroundLayout(WindowId foreground);  // the layout of the window's thread

// ToUnicodeEx with a buffer of 8 units, leaving the keyboard state unchanged.
struct Translation {
  int count = 0;  // units produced; negative for a dead key
  std::array<char16_t, 8> units{};
};
Translation TranslateKey(uint32_t vk, uint32_t scan, const KeyboardState& state, LayoutId layout);

// One SendInput call with the whole batch.
struct SendOutcome {
  uint32_t inserted = 0;
  uint32_t error = 0;  // GetLastError after the call
};
SendOutcome SendEvents(std::span<const OutputEvent> events);

bool PostToWindow(WindowId window, uint32_t message);

// Milliseconds on the clock key events are stamped with (GetTickCount).
uint32_t TickCount();
// How long Windows waits for a low-level hook before it hands the key on without it
// (LowLevelHooksTimeout of the user's desktop settings; without one, Windows' own 300 ms).
inline constexpr uint32_t kDefaultHookTimeoutMs = 300;
uint32_t HookTimeoutMs();

// The low-level hooks. Installing again replaces the previous hook; a failure keeps it.
using KeyboardHookFn = HookAction (*)(const KeyEvent&);
using MouseHookFn = void (*)(const MouseEvent&);
bool InstallKeyboardHook(KeyboardHookFn hook);
bool InstallMouseHook(MouseHookFn hook);
void RemoveHooks();

}  // namespace tonvira::os
