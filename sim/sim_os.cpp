// The keyboard pipeline's OS seam on the simulated desktop.
#include "input/os.h"
#include "sim/sim_desktop.h"

namespace tonvira::os {

using sim::TheDesktop;

WindowId ForegroundWindow() {
  return TheDesktop().Foreground();
}

uint32_t WindowProcessId(WindowId window) {
  const sim::SimWindow* w = TheDesktop().Find(window);
  return w ? w->processId : 0;
}

bool WindowIsOurs(WindowId window) {
  return WindowProcessId(window) == sim::kOwnProcessId;
}

std::u16string WindowTitle(WindowId window, size_t maxUnits) {
  const sim::SimWindow* w = TheDesktop().Find(window);
  return w ? w->spec.title.substr(0, maxUnits) : std::u16string();
}

bool FocusHasProperty(std::u16string_view name) {
  const sim::SimWindow* w = TheDesktop().Find(TheDesktop().Foreground());
  return w && w->spec.vietBox && name == u"Tonvira.VietBox";
}

std::optional<uint32_t> ProcessIntegrityLevel(uint32_t processId) {
  const sim::SimWindow* w = TheDesktop().FindProcess(processId);
  if (!w || !w->spec.openable) return std::nullopt;
  return w->spec.integrity;
}

uint32_t OwnIntegrityLevel() {
  return TheDesktop().ownIntegrity;
}

bool KeyStateDown(uint32_t vk) {
  return vk < 256 && (TheDesktop().keyState[vk] & 0x80) != 0;
}

bool AsyncKeyDown(uint32_t vk) {
  return KeyStateDown(vk);
}

bool ReadKeyboardState(KeyboardState& state) {
  if (TheDesktop().keyboardStateFails) return false;
  std::copy(std::begin(TheDesktop().keyState), std::end(TheDesktop().keyState), state.begin());
  return true;
}

LayoutId ForegroundLayout(WindowId foreground) {
  const sim::SimWindow* w = TheDesktop().Find(foreground);
  return w ? w->spec.layout : sim::kLayoutUs;
}

Translation TranslateKey(uint32_t vk, uint32_t, const KeyboardState& state, LayoutId layout) {
  return sim::TranslateOnLayout(TheDesktop(), vk, state, layout);
}

SendOutcome SendEvents(std::span<const OutputEvent> events) {
  return TheDesktop().Send(events);
}

bool PostToWindow(WindowId window, uint32_t message) {
  TheDesktop().PostMessage(window, message);
  return true;
}

uint32_t TickCount() {
  return TheDesktop().tick;
}

uint32_t HookTimeoutMs() {
  return TheDesktop().hookTimeoutMs;
}

bool InstallKeyboardHook(KeyboardHookFn hook) {
  if (TheDesktop().hookInstallFails) return TheDesktop().keyboardHook != nullptr;
  TheDesktop().keyboardHook = hook;
  return true;
}

bool InstallMouseHook(MouseHookFn hook) {
  if (TheDesktop().hookInstallFails) return TheDesktop().mouseHook != nullptr;
  TheDesktop().mouseHook = hook;
  return true;
}

void RemoveHooks() {
  TheDesktop().keyboardHook = nullptr;
  TheDesktop().mouseHook = nullptr;
}

}  // namespace tonvira::os
