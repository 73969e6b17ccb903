#include "promo/worker.h"

#include <algorithm>
#include <chrono>

namespace tonvira {

bool BannerDue(const WorkerSchedule& schedule, bool cloud, uint64_t wallNowMs) {
  if (!cloud) return false;
  if (!schedule.lastBannerWallMs) return true;
  uint64_t last = *schedule.lastBannerWallMs;
  return wallNowMs < last || wallNowMs - last >= kBannerPeriodMs;
}

uint64_t NextWait(WorkerSchedule& schedule, bool cycleSucceeded) {
  if (cycleSucceeded) {
    schedule.failureWaitMs = kFirstFailureWaitMs;
    return kWaitAfterSuccessMs;
  }
  uint64_t wait = schedule.failureWaitMs;
  schedule.failureWaitMs = std::min(wait * 2, kLongestFailureWaitMs);
  return wait;
}

void WorkerSignals::Wake(bool checkRequested) {
  {
    std::lock_guard lock(mutex);
    woken = true;
    checkNow = checkNow || checkRequested;
  }
  changed.notify_all();
}

void WorkerSignals::Stop() {
  {
    std::lock_guard lock(mutex);
    stop = true;
    woken = true;
  }
  changed.notify_all();
}

uint64_t SystemWorkerClock::WallMs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

uint64_t SystemWorkerClock::TickMs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemWorkerClock::WaitForWake(WorkerSignals& signals, uint64_t ms) {
  std::unique_lock lock(signals.mutex);
  signals.changed.wait_for(lock, std::chrono::milliseconds(ms), [&signals] { return signals.woken; });
  signals.woken = false;
}

WaitEnd WaitBeforeNextCycle(WorkerClock& clock, WorkerSignals& signals, uint64_t ms) {
  uint64_t wallStart = clock.WallMs();
  uint64_t tickStart = clock.TickMs();
  for (;;) {
    {
      std::lock_guard lock(signals.mutex);
      if (signals.stop) return WaitEnd::Stopping;
      if (signals.checkNow) {
        signals.checkNow = false;
        return WaitEnd::CheckRequested;
      }
    }
    uint64_t wall = clock.WallMs();
    // A clock set back measures nothing; the tick count still does.
    uint64_t wallElapsed = wall >= wallStart ? wall - wallStart : 0;
    uint64_t elapsed = std::max(wallElapsed, clock.TickMs() - tickStart);
    if (elapsed >= ms) return WaitEnd::Elapsed;
    clock.WaitForWake(signals, std::min(ms - elapsed, kWaitSliceMs));
  }
}

void StartWorker(Worker& w) {
  LoadBannerCache(w.banner, w.bannerCachePath);
  LoadCachedManifest(w.updater);
}

bool RunWorkerCycle(Worker& w) {
  bool succeeded = CheckForUpdate(w.updater);
  uint64_t now = w.clock.WallMs();
  if (BannerDue(w.schedule, w.cloudOn && w.cloudOn(), now)) {
    bool fetched =
        FetchBanner(w.banner, w.bannerCachePath, w.bannerInputs ? w.bannerInputs() : BannerRequestInputs{});
    if (fetched) w.schedule.lastBannerWallMs = now;
    succeeded = succeeded && fetched;
  }
  return succeeded;
}

void RunWorker(Worker& w) {
  StartWorker(w);
  for (;;) {
    uint64_t wait = NextWait(w.schedule, RunWorkerCycle(w));
    if (WaitBeforeNextCycle(w.clock, w.signals, wait) == WaitEnd::Stopping) return;
  }
}

}  // namespace tonvira
