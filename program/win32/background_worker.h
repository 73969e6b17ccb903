// The update check and banner thread, and the clock it runs by.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "app/app.h"
#include "promo/banner_store.h"
#include "promo/worker.h"
#include "update/updater.h"

namespace tonvira {

// Ticks that count the time the machine slept, as the schedule wants.
class WindowsWorkerClock final : public SystemWorkerClock {
 public:
  uint64_t TickMs() override { return GetTickCount64(); }
};

// The update check and banner thread. Never destroyed: it may still be inside a request
// when the process ends.
struct BackgroundWorker {
  std::atomic<HWND> mainWindow{nullptr};
  Updater updater;
  BannerStore banner;
  WindowsWorkerClock clock;
  WorkerSignals signals;
  Worker worker;

  explicit BackgroundWorker(App& app);
  UpdaterSetup Setup();
};
extern BackgroundWorker* g_worker;

// Creates the worker and starts its thread.
void StartBackgroundWorker(App& app);

}  // namespace tonvira
