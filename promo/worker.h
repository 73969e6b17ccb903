// The background worker: the update check and the banner fetch on one thread, on a schedule
// of an hour after success and a doubling back-off after failures. Time and waiting go
// through WorkerClock, so the schedule can be driven without sleeping.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "promo/banner_request.h"
#include "promo/banner_store.h"
#include "update/updater.h"

namespace tonvira {

inline constexpr uint64_t kWaitAfterSuccessMs = 3600000;  // one hour
inline constexpr uint64_t kFirstFailureWaitMs = 300000;   // five minutes, doubling
inline constexpr uint64_t kLongestFailureWaitMs = 3600000;
inline constexpr uint64_t kWaitSliceMs = 1800000;      // the clocks are read again at least this often
inline constexpr uint64_t kBannerPeriodMs = 21600000;  // six hours between banner fetches

struct WorkerSchedule {
  uint64_t failureWaitMs = kFirstFailureWaitMs;
  std::optional<uint64_t> lastBannerWallMs;  // the wall clock at the last successful fetch
};

// Only with cloud on, and not within six hours of the last success (a clock set back counts
// as due, so a wrong clock never silences the banner for good).
bool BannerDue(const WorkerSchedule& schedule, bool cloud, uint64_t wallNowMs);
// The wait before the next cycle: an hour after success (the back-off starts again at five
// minutes), else the back-off, which then doubles up to an hour.
uint64_t NextWait(WorkerSchedule& schedule, bool cycleSucceeded);

// The wake-up event: set when settings change (the schedule is measured again) or when the
// user asks to check now (the wait ends); stop ends the worker (tests).
struct WorkerSignals {
  std::mutex mutex;
  std::condition_variable changed;
  bool woken = false;
  bool checkNow = false;
  bool stop = false;

  void Wake(bool checkRequested);
  void Stop();
};

class WorkerClock {
 public:
  virtual ~WorkerClock() = default;
  virtual uint64_t WallMs() = 0;  // Unix milliseconds; may jump either way
  virtual uint64_t TickMs() = 0;  // milliseconds since boot; never goes back
  // Returns after ms or as soon as the signals are woken (woken is then cleared).
  virtual void WaitForWake(WorkerSignals& signals, uint64_t ms) = 0;
};

// The system clocks and a condition variable.
class SystemWorkerClock : public WorkerClock {
 public:
  uint64_t WallMs() override;
  uint64_t TickMs() override;
  void WaitForWake(WorkerSignals& signals, uint64_t ms) override;
};

enum class WaitEnd { Elapsed, CheckRequested, Stopping };
// Waits ms, measured as the larger of the elapsed wall and tick time, in slices of at most
// thirty minutes.
WaitEnd WaitBeforeNextCycle(WorkerClock& clock, WorkerSignals& signals, uint64_t ms);

struct Worker {
  Updater& updater;
  BannerStore& banner;
  std::u16string bannerCachePath;
  std::function<BannerRequestInputs()> bannerInputs;
  std::function<bool()> cloudOn;
  WorkerClock& clock;
  WorkerSignals& signals;
  WorkerSchedule schedule;
};

// At start: the banner cache, then the update state and the cached manifest.
void StartWorker(Worker& worker);
// One cycle: the update check, then the banner when due. True when the cycle succeeded.
bool RunWorkerCycle(Worker& worker);
// StartWorker, then cycles and waits until stopped.
void RunWorker(Worker& worker);

}  // namespace tonvira
