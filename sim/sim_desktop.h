// The simulated desktop behind the keyboard pipeline's OS seam: windows with their processes,
// a focused text field that takes events as a Windows EDIT control does, key state, layouts,
// a tick count, and the low-level hooks that every key and click goes through first.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input/key_event.h"
#include "input/os.h"
#include "input/pipeline.h"

namespace tonvira::sim {

inline constexpr LayoutId kLayoutUs = 0x04090409;
inline constexpr LayoutId kLayoutVietnamese = 0x042A042A;
inline constexpr LayoutId kLayoutJapanese = 0x04110411;
inline constexpr uint32_t kIntegrityMedium = 0x2000;
inline constexpr uint32_t kIntegrityHigh = 0x3000;
inline constexpr uint32_t kOwnProcessId = 4242;

struct WindowSpec {
  std::string process = "notepad.exe";
  std::u16string title = u"Untitled - Notepad";
  bool ours = false;     // belongs to Tonvira's own process
  bool vietBox = false;  // the focused control carries "Tonvira.VietBox"
  uint32_t integrity = kIntegrityMedium;
  bool openable = true;  // its process can be opened for the integrity check
  LayoutId layout = kLayoutUs;
  FocusFields fields;         // what focus tracking publishes for its field (window filled in)
  std::u16string completion;  // an address bar's suggestion, selected after the caret
};

struct SimWindow {
  WindowId id = 0;
  uint32_t processId = 0;
  WindowSpec spec;
  std::u16string text;  // what the field holds, without a shown completion
  size_t caret = 0;
  std::u16string completion;  // the selected completion shown after the caret, if any
};

struct KeyOptions {
  bool injected = false;
  uint64_t extraInfo = 0;
  uint32_t scan = 0;  // 0: the key's own scan code
  bool extended = false;
  uint32_t hookDelayMs = 0;  // the hook is entered this long after the key's time stamp (a busy thread)
};
inline KeyOptions Injected() {
  return KeyOptions{true, 0, 0, false};
}
inline KeyOptions Extended() {
  return KeyOptions{false, 0, 0, true};
}
inline KeyOptions WithScan(uint32_t scan) {
  return KeyOptions{false, 0, scan, false};
}

class Desktop {
 public:
  // A fresh desktop: no windows, no keys down, no hooks.
  void Reset();

  WindowId AddWindow(WindowSpec spec);
  // Brings the window to the foreground with the focus in its field, and publishes the field.
  void Focus(WindowId window);
  // The focus moves to another element of the same window (a web page's password box after
  // its search box): the window's field takes these flags, published when it is in front.
  void MoveFocusWithin(WindowId window, FocusFields fields);
  // Where focus tracking publishes the focused field; the pipeline reads it at every key.
  void PublishFocusTo(PublishedFocus* published) { publish_ = published; }

  // One key event from the keyboard (or, injected, from another program): through the hooks,
  // into the field when passed, then Tonvira's queued output the same way.
  void Key(uint32_t vk, bool down, KeyOptions options = {});
  void Press(uint32_t vk, KeyOptions options = {});
  // Types a character of the US layout, with Shift when it needs it. False when no key makes it.
  bool TypeChar(char16_t c);
  void Click(size_t caret, bool injected = false);
  // A click outside the field (an on-screen keyboard's key): the caret stays.
  void ClickElsewhere(bool injected = false);
  void Wheel();
  void Advance(uint32_t ms) { tick += ms; }

  // SendInput inserts `missing` events fewer than sent, for the next `times` calls.
  void SetSendShortfall(uint32_t missing, int times);
  // A key of the layout that types these units (several units, or a dead key when dead).
  void MapKey(uint32_t vk, std::u16string units, bool dead = false);

  const SimWindow& Window(WindowId id) const;
  SimWindow& Window(WindowId id);
  const SimWindow& Focused() const { return Window(foreground_); }
  WindowId Foreground() const { return foreground_; }
  // Every batch sent since the last clear, in order.
  std::span<const std::vector<OutputEvent>> Batches() const { return {batches_.data(), batchCount_}; }
  void ClearBatches() { batchCount_ = 0; }
  // Forgets output not yet delivered (a benchmark calling the hook itself never drains it).
  void DiscardOutput() {
    queue_.clear();
    batchCount_ = 0;
  }
  const std::vector<std::pair<WindowId, uint32_t>>& Posted() const { return posted_; }
  uint64_t FailedSends() const { return failedSends_; }

  // The OS seam's side (sim/sim_os.cpp).
  bool keyboardStateFails = false;
  bool hookInstallFails = false;
  uint8_t keyState[256] = {};  // 0x80 down, 0x01 toggled
  uint32_t tick = 0;
  uint32_t hookTimeoutMs = os::kDefaultHookTimeoutMs;  // LowLevelHooksTimeout
  os::KeyboardHookFn keyboardHook = nullptr;
  os::MouseHookFn mouseHook = nullptr;
  uint32_t ownIntegrity = kIntegrityMedium;
  HookAction lastKeyDownAction = HookAction::Pass;  // of the last key-down from outside
  std::map<uint32_t, std::pair<std::u16string, bool>> mappedKeys;

  os::SendOutcome Send(std::span<const OutputEvent> events);
  void PostMessage(WindowId window, uint32_t message) { posted_.emplace_back(window, message); }
  const SimWindow* Find(WindowId id) const;
  SimWindow* Find(WindowId id) { return const_cast<SimWindow*>(std::as_const(*this).Find(id)); }
  const SimWindow* FindProcess(uint32_t processId) const;

 private:
  void Deliver(const KeyEvent& event);
  void ApplyToField(const KeyEvent& event);
  void Insert(char16_t unit);
  void SetKeyState(uint32_t vk, bool down);
  void Drain();

  std::vector<SimWindow> windows_;
  WindowId foreground_ = 0;
  void PublishFocus();

  PublishedFocus* publish_ = nullptr;
  uint64_t publications_ = 0;
  std::vector<OutputEvent> queue_;
  bool draining_ = false;
  std::vector<std::vector<OutputEvent>> batches_;  // the first batchCount_ are in use
  size_t batchCount_ = 0;
  std::vector<std::pair<WindowId, uint32_t>> posted_;
  uint32_t shortfall_ = 0;
  int shortfallTimes_ = 0;
  uint64_t failedSends_ = 0;
};

// The one desktop of this process, as the OS seam sees it. Inline: the seam asks for it several
// times a key, and the benchmarks' pipeline figure should be the pipeline's, not this call's.
inline Desktop& TheDesktop() {
  static Desktop desktop;
  return desktop;
}

// The key of the US layout that types a character, with whether it needs Shift (vk 0: none).
struct UsKey {
  uint32_t vk = 0;
  bool shift = false;
};
UsKey UsKeyFor(char16_t c);

// The character a key makes on the simulated layouts (ToUnicodeEx's answer).
os::Translation TranslateOnLayout(const Desktop& desktop, uint32_t vk, const KeyboardState& state,
                                  LayoutId layout);

}  // namespace tonvira::sim
