// The keyboard pipeline: the state behind the low-level hooks and the hook procedures that
// route every key to the engine, the word end or straight to the application.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "context/published_focus.h"
#include "engine/engine.h"
#include "input/chord.h"
#include "input/key_event.h"
#include "input/latency_record.h"
#include "input/os.h"
#include "text/context_class.h"

namespace tonvira {

// Messages posted to the main window.
inline constexpr uint32_t kMessageToggled = 0x8009;          // Vietnamese toggled by the chord
inline constexpr uint32_t kMessageSettingsChanged = 0x800A;  // settings applied
inline constexpr uint32_t kMessageToggleRefused = 0x800C;    // toggle refused while suspended
inline constexpr uint32_t kMessageSuspended = 0x800F;        // the suspension took effect

// A mouse click and a key injected by another program this soon after it belong together.
inline constexpr uint32_t kClickWindowMs = 1500;

// Window property of Tonvira's own test edit box, which is composed into like any field.
inline constexpr std::u16string_view kVietBoxProperty = u"Tonvira.VietBox";

struct Pipeline {
  explicit Pipeline(Engine& e) : engine(e) {}
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  Engine& engine;
  // The hooks run on a thread of their own. They hold this for each key and mouse event; any
  // other thread holds it for each read or change of this state or the engine's, and never
  // while it reads a file, waits or shows anything, so a key never waits for slow work.
  // Recursive: the chord's toggle runs inside the hook.
  mutable std::recursive_mutex guard;
  WindowId mainWindow = 0;
  bool VietnameseOn = true;
  bool SuspendPending = false;
  bool Suspended = false;
  bool ConflictingImeRunning = false;
  WindowId ForegroundSeen = 0;
  bool OutputBlocked = false;
  WindowId integrityCheckedFor = 0;  // the foreground window OutputBlocked was last worked out for
  bool InOwnTestBox = false;
  std::u16string OnScreenWord;  // what the application shows for the word in progress
  // OnScreenWord is exactly the engine's WordOutput: the last key went through as typed, and
  // neither the word nor the field has changed since.
  bool shownIsOutput = false;
  uint32_t LastPhysicalInputTime = 0;
  bool ClickPending = false;
  bool ClickInjected = false;
  bool ClickAfterClick = false;  // an earlier click had no key after it: it may have moved the caret
  uint32_t ClickTime = 0;
  LayoutId currentLayout = 0;
  int32_t hotkeyMode = 1;  // the chord runs only in mode 1
  ChordTracker chord;
  // Where focus tracking publishes the focused field; read into focus at every key, so a key
  // typed right after a focus change is handled with the field it lands in.
  const PublishedFocus* focusSource = nullptr;
  FocusFields focus;  // as read for the key in hand

  // Counts the times the pipeline stopped following the screen (the word abandoned, or a key
  // let through while nothing is composed): tests take a new baseline there.
  uint64_t letGo = 0;
  // How long each key waited for the hook, from its own time stamp; and how long it may wait
  // before Windows hands it to the application without us.
  LatencyRecord hookLatency;
  uint32_t hookTimeoutMs = os::kDefaultHookTimeoutMs;
  std::vector<OutputEvent> batch;  // reused from key to key
  std::u16string nextText;         // the word's next output, reused from key to key
};

// The hook procedures: pass or swallow; any output has been sent through the OS seam.
HookAction KeyboardHookProc(Pipeline& pipeline, const KeyEvent& event);
void MouseHookProc(Pipeline& pipeline, const MouseEvent& event);

// Opens the log when asked, resyncs the chord and installs both hooks for this pipeline.
// True when a keyboard hook is in place.
bool InstallHooks(Pipeline& pipeline);
void RemoveHooks();

// Gives up the word and forgets what was shown for it; the screen is left alone.
void AbandonWord(Pipeline& pipeline);
// Sends what turns old into new on screen. Returns how many leading units they share, or
// nothing when the output failed: the word is then abandoned and output blocked.
std::optional<size_t> SendReplacement(Pipeline& pipeline, std::u16string_view oldText,
                                      std::u16string_view newText);
// Replaces old by new on screen. Returns what the screen now shows in place of old (the
// characters that are never typed are missing from it), or nothing when the output failed:
// the word is then abandoned and output blocked.
std::optional<std::u16string> ReplaceOnScreen(Pipeline& pipeline, std::u16string_view oldText,
                                              std::u16string_view newText);

// These take the pipeline's guard: any thread may call them.
void SetMainWindow(Pipeline& pipeline, WindowId window);
// Another Vietnamese input method runs in this session: every character is synthesised.
void SetConflictingIme(Pipeline& pipeline, bool running);
bool GetConflictingIme(const Pipeline& pipeline);
uint32_t GetLastPhysicalInputTime(const Pipeline& pipeline);

void SetVietnameseOn(Pipeline& pipeline, bool on);
bool GetVietnameseOn(const Pipeline& pipeline);
void RequestSuspension(Pipeline& pipeline, bool on);
bool IsSuspended(const Pipeline& pipeline);
void SetHotkeyMode(Pipeline& pipeline, int32_t mode);
// The chord's toggle: refused while suspended (false), else switches and tells the main window.
bool ToggleVietnamese(Pipeline& pipeline);

// Options reach the running pipeline: Vietnamese on or off, the hotkey mode, and the main
// window is told (it re-registers the hotkey and redraws the tray).
void ApplyPipelineOptions(Pipeline& pipeline, bool vietnameseOn, int32_t hotkeyMode);

}  // namespace tonvira
