#include "input/pipeline.h"

#include <atomic>

#include "input/log.h"
#include "input/os.h"

namespace tonvira {
namespace {

// The hooks are plain functions; they act on the pipeline that installed them.
std::atomic<Pipeline*> g_hooked{nullptr};

HookAction KeyboardHookEntry(const KeyEvent& event) {
  Pipeline* p = g_hooked;
  if (!p) return HookAction::Pass;
  std::lock_guard lock(p->guard);
  return KeyboardHookProc(*p, event);
}

void MouseHookEntry(const MouseEvent& event) {
  Pipeline* p = g_hooked;
  if (!p) return;
  std::lock_guard lock(p->guard);
  MouseHookProc(*p, event);
}

using Lock = std::lock_guard<std::recursive_mutex>;

bool IsButtonDown(MouseMessage m) {
  return m == MouseMessage::LeftDown || m == MouseMessage::RightDown || m == MouseMessage::MiddleDown ||
         m == MouseMessage::XDown;
}

bool IsButtonUpOrWheel(MouseMessage m) {
  return m == MouseMessage::LeftUp || m == MouseMessage::RightUp || m == MouseMessage::MiddleUp ||
         m == MouseMessage::XUp || m == MouseMessage::Wheel || m == MouseMessage::HorizontalWheel;
}

void Post(const Pipeline& p, uint32_t message) {
  if (p.mainWindow) os::PostToWindow(p.mainWindow, message);
}

}  // namespace

void AbandonWord(Pipeline& p) {
  Lock lock(p.guard);
  AbandonWord(p.engine);
  p.OnScreenWord.clear();
  p.shownIsOutput = false;
  ++p.letGo;
}

bool InstallHooks(Pipeline& p) {
  if (!LogIsOpen()) OpenLog();
  uint32_t timeout = os::HookTimeoutMs();  // the registry is read before the guard is taken
  {
    Lock lock(p.guard);
    ResyncTracker(p.chord);
    p.hookTimeoutMs = timeout;
  }
  g_hooked = &p;
  bool keyboard = os::InstallKeyboardHook(&KeyboardHookEntry);
  os::InstallMouseHook(&MouseHookEntry);
  return keyboard;
}

void RemoveHooks() {
  os::RemoveHooks();
  g_hooked = nullptr;
}

void MouseHookProc(Pipeline& p, const MouseEvent& event) {
  if (!event.injected) p.LastPhysicalInputTime = event.time;
  if (IsButtonDown(event.message)) {
    p.ClickAfterClick = p.ClickPending;
    p.LastPhysicalInputTime = p.ClickTime = event.time;
    p.ClickPending = true;
    p.ClickInjected = event.injected;
  }
  if (IsButtonDown(event.message) || IsButtonUpOrWheel(event.message)) TrackMouse(p.chord);
}

void SetMainWindow(Pipeline& p, WindowId window) {
  Lock lock(p.guard);
  p.mainWindow = window;
}

void SetConflictingIme(Pipeline& p, bool running) {
  Lock lock(p.guard);
  p.ConflictingImeRunning = running;
}

bool GetConflictingIme(const Pipeline& p) {
  Lock lock(p.guard);
  return p.ConflictingImeRunning;
}

uint32_t GetLastPhysicalInputTime(const Pipeline& p) {
  Lock lock(p.guard);
  return p.LastPhysicalInputTime;
}

void SetVietnameseOn(Pipeline& p, bool on) {
  Lock lock(p.guard);
  if (p.SuspendPending) {
    p.SuspendPending = false;
    p.Suspended = true;
  }
  p.VietnameseOn = on && !p.Suspended;
  AbandonWord(p);
}

bool GetVietnameseOn(const Pipeline& p) {
  Lock lock(p.guard);
  return p.VietnameseOn;
}

void RequestSuspension(Pipeline& p, bool on) {
  Lock lock(p.guard);
  if (!on) {
    p.SuspendPending = false;
    p.Suspended = false;
  } else if (!p.Suspended) {
    p.SuspendPending = true;
  }
}

bool IsSuspended(const Pipeline& p) {
  Lock lock(p.guard);
  return p.Suspended || p.SuspendPending;
}

void SetHotkeyMode(Pipeline& p, int32_t mode) {
  Lock lock(p.guard);
  if (p.hotkeyMode == mode) return;  // a chord under way goes on
  p.hotkeyMode = mode;
  ResetTracker(p.chord);
}

bool ToggleVietnamese(Pipeline& p) {
  Lock lock(p.guard);
  if (IsSuspended(p)) {
    Post(p, kMessageToggleRefused);
    return false;
  }
  SetVietnameseOn(p, !p.VietnameseOn);
  Post(p, kMessageToggled);
  return true;
}

void ApplyPipelineOptions(Pipeline& p, bool vietnameseOn, int32_t hotkeyMode) {
  Lock lock(p.guard);
  SetVietnameseOn(p, vietnameseOn);
  SetHotkeyMode(p, hotkeyMode);
  Post(p, kMessageSettingsChanged);
}

}  // namespace tonvira
