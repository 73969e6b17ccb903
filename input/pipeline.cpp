#include "input/pipeline.h"

#include "input/log.h"
#include "input/os.h"

namespace tonvira {
namespace {

// The hooks are plain functions; they act on the pipeline that installed them.
Pipeline* g_hooked = nullptr;

HookAction KeyboardHookEntry(const KeyEvent& event) {
  return g_hooked ? KeyboardHookProc(*g_hooked, event) : HookAction::Pass;
}

void MouseHookEntry(const MouseEvent& event) {
  if (g_hooked) MouseHookProc(*g_hooked, event);
}

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
  AbandonWord(p.engine);
  p.OnScreenWord.clear();
  p.shownIsOutput = false;
  ++p.letGo;
}

bool InstallHooks(Pipeline& p) {
  if (!LogIsOpen()) OpenLog();
  ResyncTracker(p.chord);
  p.hookTimeoutMs = os::HookTimeoutMs();
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

void SetVietnameseOn(Pipeline& p, bool on) {
  if (p.SuspendPending) {
    p.SuspendPending = false;
    p.Suspended = true;
  }
  p.VietnameseOn = on && !p.Suspended;
  AbandonWord(p);
}

bool GetVietnameseOn(const Pipeline& p) {
  return p.VietnameseOn;
}

void RequestSuspension(Pipeline& p, bool on) {
  if (!on) {
    p.SuspendPending = false;
    p.Suspended = false;
  } else if (!p.Suspended) {
    p.SuspendPending = true;
  }
}

bool IsSuspended(const Pipeline& p) {
  return p.Suspended || p.SuspendPending;
}

void SetHotkeyMode(Pipeline& p, int32_t mode) {
  p.hotkeyMode = mode;
  ResetTracker(p.chord);
}

void SetToggleCallback(Pipeline& p, std::function<void()> callback) {
  p.toggleCallback = std::move(callback);
}

bool ToggleVietnamese(Pipeline& p) {
  if (IsSuspended(p)) {
    Post(p, kMessageToggleRefused);
    return false;
  }
  SetVietnameseOn(p, !p.VietnameseOn);
  Post(p, kMessageToggled);
  return true;
}

void ApplyPipelineOptions(Pipeline& p, bool vietnameseOn, int32_t hotkeyMode) {
  SetVietnameseOn(p, vietnameseOn);
  SetHotkeyMode(p, hotkeyMode);
  Post(p, kMessageSettingsChanged);
}

}  // namespace tonvira
