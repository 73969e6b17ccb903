// The classification of the focused field, and the tracker that publishes it to the hook.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "context/context_rules.h"
#include "context/published_focus.h"
#include "text/context_class.h"

namespace tonvira {

// UI Automation control types the classification looks at.
inline constexpr int kControlTypeComboBox = 50003;
inline constexpr int kControlTypeEdit = 50004;

// What the system tells about the foreground window and the focused element at one moment.
struct FocusFacts {
  uintptr_t foreground = 0;    // 0: no foreground window
  std::u16string processName;  // file name as the system reports it; empty when unknown
  uint32_t processId = 0;
  uint32_t ownProcessId = 0;
  std::u16string windowClass;  // at most 80 characters
  std::u16string title;
  bool hasElement = false;  // UI Automation gave the focused element
  bool elementIsPassword = false;
  std::u16string elementName;
  std::u16string automationId;
  int controlType = 0;
  int parentControlType = 0;  // of the element's parent in the control view
  // The window with the keyboard focus, found without UI Automation: a standard edit control
  // with the password style is a password field whatever else is known.
  std::u16string focusWindowClass;
  uint32_t focusWindowStyle = 0;
};

struct FocusClassification {
  ContextClass contextClass = ContextClass::Auto;
  bool is_password = false;
  bool is_address_bar = false;
  bool is_sheet_or_combo = false;
  uintptr_t foreground = 0;
  std::u16string description;             // "uia:value", "proc:name" or the lowered process name
  std::optional<std::u16string> lastApp;  // set when this application is remembered
};

FocusClassification ClassifyFocus(const FocusFacts& facts, const ContextRules& rules);
// The flags of a classification as the hook reads them.
FocusFields ToFields(const FocusClassification& result);

// Written by the tracking thread, read by the hook on every key without a lock (published);
// the two texts and the rules are behind the lock.
struct FocusTracker {
  PublishedFocus published;

  std::mutex lock;
  ContextRules rules;
  std::u16string rules_path;
  std::string rules_bytes;        // the file as last read or written: a hand edit since shows as a change
  bool writeFailureTold = false;  // by the settings window; told again after a write succeeds
  std::u16string description;
  std::u16string last_app;
};

// Only the tracking thread publishes; sequence numbers its classifications in the order they
// started (the tracker logic drops a result overtaken by a newer one).
void Publish(FocusTracker& tracker, const FocusClassification& result, uint64_t sequence);
std::u16string GetLastApp(FocusTracker& tracker);
std::u16string GetFocusDescription(FocusTracker& tracker);

// Remembers the path for writing back, and reads the rules (a missing file gives none).
void ReadContextFile(FocusTracker& tracker, std::u16string_view path);
bool WriteContextFile(FocusTracker& tracker, std::u16string_view path);
// Reads the file again when it no longer holds what was last read or written (the user edited
// it in Notepad): true when the rules were replaced by it. A file gone or unreadable changes
// nothing.
bool ReloadContextFileIfChanged(FocusTracker& tracker);
ContextRules CopyContextRules(FocusTracker& tracker);
void ReplaceContextRules(FocusTracker& tracker, ContextRules rules);

}  // namespace tonvira
