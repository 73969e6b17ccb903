#include "program/win32/message_timing.h"

#include <algorithm>
#include <mutex>

#include "app/shell.h"
#include "input/latency_record.h"
#include "input/log.h"
#include "program/win32/windows_app.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/update_window.h"

namespace tonvira {
namespace {

// How long the main thread's messages took, apart from those that ran a modal loop (a menu, a
// dialog: their time is the user's). The hooks have a thread of their own; these say how long
// the windows, the tray and the notices kept the user waiting.
struct MessageTimes {
  LatencyRecord plain;
  LatencyRecord modal;
};
MessageTimes g_messageTimes;

}  // namespace

// One line of figures for the traces and the end-to-end tests: each key's wait for the hook
// (from its own time stamp) and the time of the messages dispatched meanwhile.
void LogTimings() {
  LatencyRecord hook;
  {
    std::lock_guard lock(g_app->app.pipeline.guard);
    hook = g_app->app.pipeline.hookLatency;
  }
  const MessageTimes& m = g_messageTimes;
  LogLine(
      "thoi gian: moc %llu phim, toi da %lu ms, p99 %lu ms; tin nhan %llu, toi da %lu ms, p99 %lu ms; "
      "modal %llu, toi da %lu ms\n",
      static_cast<unsigned long long>(hook.Count()), static_cast<unsigned long>(hook.Max()),
      static_cast<unsigned long>(hook.Percentile(99)), static_cast<unsigned long long>(m.plain.Count()),
      static_cast<unsigned long>(m.plain.Max()), static_cast<unsigned long>(m.plain.Percentile(99)),
      static_cast<unsigned long long>(m.modal.Count()), static_cast<unsigned long>(m.modal.Max()));
}

constexpr uint32_t kSlowMessageMs = 50;

// Dispatches one message and records how long it took, in whole milliseconds.
void DispatchTimed(MSG& msg) {
  LARGE_INTEGER start{}, end{}, frequency{};
  QueryPerformanceCounter(&start);
  uint32_t modalBefore = ModalLoopsEntered();
  // The settings window's Tab, arrows and Ctrl+Tab move between its controls and pages.
  if (!ui::HandleSettingsWindowMessage(msg) && !ui::HandleUpdateWindowMessage(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  QueryPerformanceCounter(&end);
  QueryPerformanceFrequency(&frequency);
  auto ms = static_cast<uint32_t>((end.QuadPart - start.QuadPart) * 1000 /
                                  std::max<LONGLONG>(frequency.QuadPart, 1));
  bool modal = ModalLoopsEntered() != modalBefore;
  (modal ? g_messageTimes.modal : g_messageTimes.plain).Add(ms);
  // Which messages kept the windows' thread busy, for the traces.
  if (ms >= kSlowMessageMs) {
    LogLine("tin nhan lau: 0x%04X %llu, %lu ms%s\n", msg.message, static_cast<unsigned long long>(msg.wParam),
            static_cast<unsigned long>(ms), modal ? " (modal)" : "");
  }
}

}  // namespace tonvira
