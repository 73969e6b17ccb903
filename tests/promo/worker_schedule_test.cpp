// The worker's schedule, driven through a clock that only moves when the worker waits.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "promo/worker.h"

namespace tonvira {
namespace {

// Each wait advances both clocks by what was asked, unless an event for that wait says
// otherwise: it may move the wall clock, or wake the worker after a part of the wait.
class ScriptedClock : public WorkerClock {
 public:
  uint64_t wall = 1'700'000'000'000;
  uint64_t tick = 50'000;
  std::vector<uint64_t> slices;
  std::function<void(ScriptedClock&, WorkerSignals&, uint64_t)> onWait;

  uint64_t WallMs() override { return wall; }
  uint64_t TickMs() override { return tick; }
  void WaitForWake(WorkerSignals& signals, uint64_t ms) override {
    slices.push_back(ms);
    if (onWait) {
      onWait(*this, signals, ms);
    } else {
      Advance(ms);
    }
  }
  void Advance(uint64_t ms) {
    wall += ms;
    tick += ms;
  }
};

TEST(WorkerSchedule, WaitsAfterSuccessAndFailure) {
  WorkerSchedule s;
  struct Step {
    bool ok;
    uint64_t wait;
  };
  const Step steps[] = {{false, 300000},  {false, 600000},  {false, 1200000}, {false, 2400000},
                        {false, 3600000}, {false, 3600000}, {true, 3600000},  {false, 300000},
                        {true, 3600000},  {true, 3600000},  {false, 300000}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(NextWait(s, steps[i].ok), steps[i].wait);
  }
}

TEST(WorkerSchedule, BannerDue) {
  WorkerSchedule s;
  EXPECT_FALSE(BannerDue(s, false, 1000));
  EXPECT_TRUE(BannerDue(s, true, 1000));
  s.lastBannerWallMs = 1'000'000;
  EXPECT_FALSE(BannerDue(s, true, 1'000'000 + kBannerPeriodMs - 1));
  EXPECT_TRUE(BannerDue(s, true, 1'000'000 + kBannerPeriodMs));
  EXPECT_FALSE(BannerDue(s, false, 1'000'000 + kBannerPeriodMs));
  EXPECT_TRUE(BannerDue(s, true, 999'999));  // the clock was set back
}

TEST(WorkerWait, SlicesOfAtMostHalfAnHour) {
  ScriptedClock clock;
  WorkerSignals signals;
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 3600000), WaitEnd::Elapsed);
  EXPECT_EQ(clock.slices, (std::vector<uint64_t>{1800000, 1800000}));
  clock.slices.clear();
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 300000), WaitEnd::Elapsed);
  EXPECT_EQ(clock.slices, std::vector<uint64_t>{300000});
}

TEST(WorkerWait, TheWallClockJumpingForwardEndsTheWait) {
  ScriptedClock clock;
  WorkerSignals signals;
  clock.onWait = [](ScriptedClock& c, WorkerSignals&, uint64_t ms) {
    c.tick += ms;
    c.wall += ms + 2 * 3600000;  // the machine slept, or the clock was set forward
  };
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 3600000), WaitEnd::Elapsed);
  EXPECT_EQ(clock.slices.size(), 1u);
}

TEST(WorkerWait, TheWallClockJumpingBackwardDoesNotStretchTheWait) {
  ScriptedClock clock;
  WorkerSignals signals;
  clock.onWait = [](ScriptedClock& c, WorkerSignals&, uint64_t ms) {
    c.tick += ms;
    c.wall = c.wall + ms - 24 * 3600000;
  };
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 3600000), WaitEnd::Elapsed);
  EXPECT_EQ(clock.slices, (std::vector<uint64_t>{1800000, 1800000}));
}

TEST(WorkerWait, TheWakeUpEventEndsASliceEarly) {
  ScriptedClock clock;
  WorkerSignals signals;
  int waits = 0;
  clock.onWait = [&waits](ScriptedClock& c, WorkerSignals&, uint64_t ms) {
    // The first slice is cut short after ten minutes (the settings changed).
    c.Advance(++waits == 1 ? 600000 : ms);
  };
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 3600000), WaitEnd::Elapsed);
  EXPECT_EQ(clock.slices, (std::vector<uint64_t>{1800000, 1800000, 1200000}));
}

TEST(WorkerWait, CheckNowEndsTheWaitAndStopEndsTheWorker) {
  ScriptedClock clock;
  WorkerSignals signals;
  clock.onWait = [](ScriptedClock& c, WorkerSignals& s, uint64_t) {
    c.Advance(1000);
    s.Wake(true);
  };
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 3600000), WaitEnd::CheckRequested);
  EXPECT_EQ(clock.slices.size(), 1u);
  // The request was taken: the next wait runs its course.
  clock.onWait = nullptr;
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 300000), WaitEnd::Elapsed);
  signals.Stop();
  EXPECT_EQ(WaitBeforeNextCycle(clock, signals, 300000), WaitEnd::Stopping);
}

TEST(WorkerWait, TheSystemClockWakesAtOnce) {
  SystemWorkerClock clock;
  WorkerSignals signals;
  signals.Wake(false);
  uint64_t before = clock.TickMs();
  clock.WaitForWake(signals, 60000);  // woken already: returns without waiting a minute
  EXPECT_LT(clock.TickMs() - before, 30000u);
  EXPECT_FALSE(signals.woken);
}

}  // namespace
}  // namespace tonvira
