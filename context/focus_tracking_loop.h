// What the focus-tracking thread does with the events it gets, apart from the system calls:
// which events classify, how a burst becomes one classification, and how a classification
// overtaken by a newer one is dropped. The Windows thread drives it from its message loop;
// tests drive it with a fake system.
#pragma once

#include <cstdint>

#include "context/focus_tracker.h"

namespace tonvira {

// The two windows the poll compares from one look to the next.
struct FocusWindows {
  uintptr_t foreground = 0;
  uintptr_t focus = 0;
  bool operator==(const FocusWindows&) const = default;
};

// The system as the tracking thread sees it.
class FocusSystem {
 public:
  virtual ~FocusSystem() = default;
  virtual FocusWindows Windows() = 0;
  // Everything a classification looks at. UI Automation calls pump messages while they wait,
  // so events, turns and polls may run inside this call.
  virtual FocusFacts ReadFacts() = 0;
  // Asks for one OnTurn call from the thread's message loop, as soon as it gets to it.
  virtual void RequestTurn() = 0;
  // A classification was published (the Windows thread tells the main window).
  virtual void Published(const FocusClassification& result, uint64_t sequence) = 0;
};

class FocusTrackingLoop {
 public:
  FocusTrackingLoop(FocusTracker& tracker, FocusSystem& system) : tracker_(tracker), system_(system) {}

  // A focus or foreground event, whatever its arguments: the focus may have moved to another
  // element of the same window, which no window handle shows. A burst of events before the
  // loop's next turn makes one classification there.
  void OnEvent();
  // The turn asked for by OnEvent.
  void OnTurn();
  // The timer, for the events that never come: classifies when the foreground or focus
  // window changed since the last classification, or when a requested turn is overdue.
  void OnPoll();
  // At start and after the rules were edited.
  void Classify();

  uint64_t Classifications() const { return started_; }
  uint64_t LastPublished() const { return published_; }

 private:
  FocusTracker& tracker_;
  FocusSystem& system_;
  bool turnRequested_ = false;
  bool turnOverdue_ = false;  // still requested at the last poll
  uint64_t started_ = 0;
  uint64_t published_ = 0;
  FocusWindows last_;
};

}  // namespace tonvira
