#include "context/focus_tracking_loop.h"

namespace tonvira {

void FocusTrackingLoop::OnEvent() {
  if (turnRequested_) return;  // the turn already asked for sees this event's focus too
  turnRequested_ = true;
  system_.RequestTurn();
}

void FocusTrackingLoop::OnTurn() {
  if (!turnRequested_) return;  // a poll already ran the classification it asked for
  turnRequested_ = false;
  turnOverdue_ = false;
  Classify();
}

void FocusTrackingLoop::OnPoll() {
  // A turn still requested a whole poll later was lost (a modal loop may drop a message).
  if (turnRequested_ && turnOverdue_) {
    OnTurn();
    return;
  }
  turnOverdue_ = turnRequested_;
  if (system_.Windows() == last_) return;
  Classify();
}

void FocusTrackingLoop::Classify() {
  uint64_t sequence = ++started_;
  last_ = system_.Windows();
  // Events arriving while the facts are read ask for a turn of their own: the focus they
  // report may have moved after the facts were taken.
  FocusFacts facts = system_.ReadFacts();
  FocusClassification result = ClassifyFocus(facts, CopyContextRules(tracker_));
  // A classification that started later already published what the focus is now.
  if (sequence < published_) return;
  published_ = sequence;
  Publish(tracker_, result, sequence);
  system_.Published(result, sequence);
}

}  // namespace tonvira
