#include "program/win32/shell_system.h"

#include <shellapi.h>

#include <mutex>
#include <utility>

#include "app/win32/clipboard.h"
#include "input/log.h"
#include "program/win32/background_worker.h"
#include "program/win32/settings_host.h"
#include "program/win32/update_window_host.h"
#include "text/utf8.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/update_window.h"
#include "update/installation.h"

namespace tonvira {
namespace {

// The tray's clipboard conversion, between its thread and the main window.
struct ClipboardResult {
  std::atomic<bool> converting{false};
  std::mutex mutex;
  std::optional<Notice> notice;
};
ClipboardResult g_clipboardResult;

DWORD WINAPI PlayBeep(void* frequency) {
  Beep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(frequency)), 70);
  return 0;
}

}  // namespace

// Reading, converting and writing back megabytes of text takes a while: on a thread of its own,
// with the main window as the clipboard's owner; the notice comes back through a message.
void WindowsShell::ConvertClipboardInBackground() {
  RunAlone(g_clipboardResult.converting, "bo nho tam: dang bo dau, bo qua lan bam nay",
           [window = w_.mainWindow] {
             WindowsClipboard clipboard(window);
             Notice notice = ConvertClipboard(clipboard);
             {
               std::lock_guard lock(g_clipboardResult.mutex);
               g_clipboardResult.notice = std::move(notice);
             }
             PostMessageW(window, wm::kClipboardConverted, 0, 0);
           });
}

void WindowsShell::Beep(uint32_t hertz) {
  QueueUserWorkItem(PlayBeep, reinterpret_cast<void*>(static_cast<uintptr_t>(hertz)), WT_EXECUTEDEFAULT);
}

std::optional<Notice> WindowsShell::TakeClipboardNotice() {
  std::lock_guard lock(g_clipboardResult.mutex);
  return std::exchange(g_clipboardResult.notice, std::nullopt);
}

std::optional<int> WindowsShell::NotificationState() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(SHQueryUserNotificationState(&state))) return std::nullopt;
  return static_cast<int>(state);
}

void WindowsShell::OpenSettingsWindow(std::optional<int> page) {
  static WindowsSettingsHost host(w_);
  ui::OpenSettingsWindow(host, page);
}

void WindowsShell::RefreshUpdateWindow() {
  LogUpdateState();
  ui::RefreshUpdateWindow();
}

bool WindowsShell::FinishInstallation(uint32_t exitCode, bool installerSeen) {
  LogLine("cai dat xong: ma %lu, trinh cai dat %s\n", static_cast<unsigned long>(exitCode),
          installerSeen ? "da bat dau" : "chua bat dau");
  return tonvira::FinishInstallation(g_worker->updater, exitCode);
}

bool WindowsShell::RegisterHotkey(uint32_t virtualKey) {
  UnregisterHotKey(w_.mainWindow, kHotkeyId);
  if (virtualKey == 0) return true;
  if (RegisterHotKey(w_.mainWindow, kHotkeyId, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, virtualKey))
    return true;
  LogLine("phim tat: RegisterHotKey loi %lu\n", static_cast<unsigned long>(GetLastError()));
  return false;
}

void WindowsShell::RefreshSettingsWindow() {
  ui::RefreshSettingsControls();
}
UpdateStatus WindowsShell::Update() {
  return GetUpdateStatus(g_worker->updater);
}
LastAttempt WindowsShell::TakeUpdateOutcome() {
  return TakeLastAttempt(g_worker->updater);
}
void WindowsShell::MarkUpdateNotified() {
  MarkNotified(g_worker->updater);
}

void WindowsShell::OpenUpdateWindow() {
  OpenTheUpdateWindow();
}

// The trace of the update state as the main window heard it, for the end-to-end tests.
void WindowsShell::LogUpdateState() {
  UpdateStatus s = GetUpdateStatus(g_worker->updater);
  LogLine("cap nhat: kind %d, blocker %d, dang kiem tra %d, dang tai %d, loi %d, tam dung %d\n",
          static_cast<int>(s.kind), static_cast<int>(s.blocker), s.checking ? 1 : 0, s.downloading ? 1 : 0,
          s.lastCheckFailed ? 1 : 0, IsSuspended(w_.app.pipeline) ? 1 : 0);
  if (!s.statusText.empty()) LogLine("cap nhat: trang thai: %s\n", Utf16ToUtf8(s.statusText).c_str());
}

}  // namespace tonvira
