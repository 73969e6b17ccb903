#include "context/focus_tracking_loop.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace tonvira {
namespace {

// The system as a test drives it: the focused element is whatever the test set last, and the
// turns the loop asks for wait in a queue until the test runs the message loop.
class FakeSystem : public FocusSystem {
 public:
  FocusWindows windows{0x100, 0x200};
  FocusFacts facts;
  std::function<void()> duringRead;  // runs inside the next ReadFacts, as a pumping call would
  int pendingTurns = 0;
  int reads = 0;
  std::vector<uint64_t> published;

  FakeSystem() {
    facts.foreground = 0x100;
    facts.processName = u"browser.exe";
    facts.hasElement = true;
    facts.elementName = u"Search";
  }
  FocusWindows Windows() override { return windows; }
  FocusFacts ReadFacts() override {
    ++reads;
    FocusFacts now = facts;  // taken before anything that runs during the call
    if (auto during = std::exchange(duringRead, nullptr)) during();
    return now;
  }
  void RequestTurn() override { ++pendingTurns; }
  void Published(const FocusClassification&, uint64_t sequence) override { published.push_back(sequence); }
};

class FocusTrackingLoopTest : public testing::Test {
 protected:
  FocusTrackingLoopTest() : loop_(tracker_, system_) { loop_.Classify(); }

  // The message loop's turns, until no turn is waiting.
  void RunTurns() {
    while (system_.pendingTurns > 0) {
      --system_.pendingTurns;
      loop_.OnTurn();
    }
  }
  void FocusPasswordBox() {
    system_.facts.elementName = u"Password";
    system_.facts.automationId = u"login-pass";
  }
  bool PasswordPublished() const { return tracker_.published.Load().password; }

  FocusTracker tracker_;
  FakeSystem system_;
  FocusTrackingLoop loop_;
};

TEST_F(FocusTrackingLoopTest, AFocusEventInsideTheSameWindowReclassifies) {
  EXPECT_FALSE(PasswordPublished());
  FocusPasswordBox();  // same foreground and focus window: only the element changed
  loop_.OnPoll();
  EXPECT_FALSE(PasswordPublished()) << "the poll classifies on a window change only";
  loop_.OnEvent();
  RunTurns();
  EXPECT_TRUE(PasswordPublished());

  system_.facts.elementName = u"Search";  // and back to the search box
  system_.facts.automationId.clear();
  loop_.OnEvent();
  RunTurns();
  EXPECT_FALSE(PasswordPublished());
}

TEST_F(FocusTrackingLoopTest, ABurstClassifiesAtLeastOnceAndAtMostAFewTimes) {
  uint64_t before = loop_.Classifications();
  FocusPasswordBox();
  for (int i = 0; i < 100; ++i) loop_.OnEvent();
  RunTurns();
  EXPECT_GE(loop_.Classifications() - before, 1u);
  EXPECT_LE(loop_.Classifications() - before, 3u);
  EXPECT_TRUE(PasswordPublished());

  // Events spread over the loop's turns each get a classification: none is skipped.
  before = loop_.Classifications();
  for (int i = 0; i < 5; ++i) {
    loop_.OnEvent();
    loop_.OnEvent();
    RunTurns();
  }
  EXPECT_EQ(loop_.Classifications() - before, 5u);
}

TEST_F(FocusTrackingLoopTest, AnEventDuringAClassificationGetsOneOfItsOwn) {
  // The focus moves while the facts of the previous element are being read.
  system_.duringRead = [&] {
    FocusPasswordBox();
    loop_.OnEvent();
  };
  loop_.OnEvent();
  RunTurns();
  EXPECT_TRUE(PasswordPublished());
  EXPECT_EQ(system_.reads, 3);  // the start, the first event, the event inside it
}

TEST_F(FocusTrackingLoopTest, AnOlderClassificationNeverOverwritesANewerOne) {
  // A UI Automation call pumps messages: the turn for a newer event runs inside the older
  // classification's read and publishes first; the older result, finishing last, is dropped.
  system_.duringRead = [&] {
    FocusPasswordBox();
    loop_.OnEvent();
    RunTurns();
  };
  loop_.OnEvent();
  RunTurns();
  EXPECT_TRUE(PasswordPublished());
  ASSERT_EQ(system_.published.size(), 2u);  // the start and the newer one
  EXPECT_EQ(tracker_.published.sequence.load(), loop_.LastPublished());
  EXPECT_EQ(loop_.LastPublished(), loop_.Classifications());
}

TEST_F(FocusTrackingLoopTest, ThePollCatchesWindowChangesAndLostTurns) {
  uint64_t before = loop_.Classifications();
  loop_.OnPoll();
  EXPECT_EQ(loop_.Classifications(), before);
  system_.windows.focus = 0x300;  // another control of the window has the focus
  FocusPasswordBox();
  loop_.OnPoll();
  EXPECT_TRUE(PasswordPublished());
  EXPECT_EQ(loop_.Classifications(), before + 1);

  // A turn that never comes (its message lost in a modal loop) is made up a poll later.
  system_.facts.elementName = u"Search";
  system_.facts.automationId.clear();
  loop_.OnEvent();
  system_.pendingTurns = 0;
  loop_.OnPoll();
  EXPECT_TRUE(PasswordPublished()) << "one poll may simply come before the turn";
  loop_.OnPoll();
  EXPECT_FALSE(PasswordPublished());
  loop_.OnEvent();  // and later events still ask for turns
  EXPECT_EQ(system_.pendingTurns, 1);
}

}  // namespace
}  // namespace tonvira
