// tonvira.exe: start-up, the message-only main window, the message loop and shutdown. The
// adapters the portable logic calls are in files named for what they adapt: shell_system (the
// main window's), settings_host and update_window_host (the windows'), background_worker (the
// updater's and the banner's thread), message_timing (the loop's figures).
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/apply_settings.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/shell.h"
#include "app/version.h"
#include "config/abbrev_table.h"
#include "config/autostart.h"
#include "config/data_folder.h"
#include "config/file_system.h"
#include "config/settings.h"
#include "context/focus_tracking.h"
#include "decide/builtin_words.h"
#include "decide/lexicon.h"
#include "decide/word_lists.h"
#include "input/log.h"
#include "input/pipeline.h"
#include "program/win32/background_worker.h"
#include "program/win32/message_timing.h"
#include "program/win32/shell_system.h"
#include "program/win32/windows_app.h"
#include "text/utf8.h"
#include "text/win32/handle.h"
#include "text/win32/wide.h"
#include "update/installation.h"

namespace tonvira {

WindowsApp* g_app = nullptr;

namespace {

constexpr wchar_t kMainClass[] = L"TonviraWnd";
constexpr wchar_t kMutexName[] = L"Local\\TonviraSingleton";
constexpr UINT kSaveDelayMs = 1000;
// Registered once, during static initialisation: a second start and the shell post them.
const RegisteredMessages kRegistered{RegisterWindowMessageW(L"Tonvira.ShowSettings"),
                                     RegisterWindowMessageW(L"TaskbarCreated")};

// The portable main window speaks Windows' own numbers.
static_assert(wm::kDestroy == WM_DESTROY && wm::kCommand == WM_COMMAND && wm::kTimer == WM_TIMER &&
              wm::kHotkey == WM_HOTKEY && wm::kTray == WM_APP + 1);
static_assert(wm::kLeftButtonUp == WM_LBUTTONUP && wm::kLeftButtonDoubleClick == WM_LBUTTONDBLCLK &&
              wm::kRightButtonUp == WM_RBUTTONUP && wm::kBalloonUserClick == NIN_BALLOONUSERCLICK);
static_assert(wm::kClipboardConverted == WM_APP + 18 && wm::kUpdateStateChanged == WM_APP + 11 &&
              wm::kInstallerExited == WM_APP + 13 && wm::kHideIconForInstall == WM_APP + 14 &&
              kMessageToggled == WM_APP + 9 && kMessageSettingsChanged == WM_APP + 10 &&
              kMessageToggleRefused == WM_APP + 12 && kMessageSuspended == WM_APP + 15);

// One writer of settings.txt at a time: a background save and the one at exit or log-off.
std::mutex g_settingsFile;

}  // namespace

bool SaveSettingsNow() {
  std::lock_guard lock(g_settingsFile);
  return SaveSettings(g_app->app.settings, g_app->app.settingsState);
}

// A copy of the settings on a thread of its own, so that the flush to disk never holds up the
// windows; the main window hears how it went.
void SaveSettingsInBackground() {
  std::thread([settings = g_app->app.settings, state = g_app->app.settingsState, window = g_app->mainWindow] {
    bool saved = false;
    {
      std::lock_guard lock(g_settingsFile);
      saved = SaveSettings(settings, state);
    }
    PostMessageW(window, kMessageSettingsSaved, saved ? 1 : 0, 0);
  }).detach();
}

void SaveSettingsSoon(HWND mainWindow) {
  SetTimer(mainWindow, kSaveTimerId, kSaveDelayMs, nullptr);
}

void RunAlone(std::atomic<bool>& busy, const char* ignoredTrace, std::function<void()> work) {
  if (busy.exchange(true)) {
    LogLine("%s\n", ignoredTrace);
    return;
  }
  std::thread([&busy, work = std::move(work)] {
    work();
    busy = false;
  }).detach();
}

namespace {

void ShowError(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"Tonvira", MB_ICONERROR);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kCommandLogTimings) {
    LogTimings();
    return 0;
  }
  if (message == WM_TIMER && wParam == kSaveTimerId) {
    KillTimer(window, kSaveTimerId);
    SaveSettingsInBackground();
    return 0;
  }
  if (message == kMessageSettingsSaved) {
    static bool told = false;  // once: the next toggle would only say it again
    if (wParam == 0) LogLine("luu thiet lap: khong ghi duoc\n");
    if (wParam == 0 && !told) {
      told = true;
      WindowsShell shell(*g_app);
      ShowNotice(g_app->app, shell,
                 Notice{u"Tonvira", u"Không lưu được thiết lập vào file:\n" + DataFilePath(u"settings.txt"),
                        true, false});
    }
    return 0;
  }
  if (message == kMessageEndSession) {
    // Windows may end the process as soon as WM_ENDSESSION returns: the settings are written
    // now, and the program leaves on its own.
    LogLine("ket thuc phien%s: luu thiet lap %s\n", (lParam & ENDSESSION_CLOSEAPP) ? " (dong ung dung)" : "",
            SaveSettingsNow() ? "xong" : "khong duoc");
    DestroyWindow(window);
    return 0;
  }
  if (message == kMessageFocusClassified) {
    // The hook already reads the published fields at every key; this is the trace of it.
    FocusFields f = g_app->focusTracker.published.Load();
    LogLine("truong #%llu: lop %u, mat khau %d, dia chi %d, bang tinh %d\n",
            static_cast<unsigned long long>(wParam), static_cast<unsigned>(f.fieldClass), f.password ? 1 : 0,
            f.inlineCompletion ? 1 : 0, f.spreadsheet ? 1 : 0);
    return 0;
  }
  WindowsShell shell(*g_app);
  if (HandleMainWindowMessage(g_app->app, shell, kRegistered, {message, wParam, lParam})) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<std::u16string> Arguments() {
  std::vector<std::u16string> out;
  int argc = 0;
  LocalMemory<LPWSTR*> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  for (int i = 1; argv && i < argc; ++i) {
    std::wstring arg = argv.get()[i];
    out.emplace_back(arg.begin(), arg.end());
  }
  return out;
}

// Opens the settings window at start when asked on the command line, or on a first run that
// the user started (a logon start never opens it).
void SettingsWindowAtStart(WindowsApp& w, const StartRequest& request) {
  WindowsShell shell(w);
  if (request.openSettings) {
    shell.OpenSettingsWindow(request.page);
  } else if (!request.startedAtLogon && w.app.settingsState.FirstRun) {
    shell.OpenSettingsWindow(std::nullopt);
  }
}

// This start ends here when another instance runs: it asks that one for its settings window
// (a start by the user) and gives back 0. Otherwise the lock is this instance's.
std::optional<int> TakeSingleInstanceLock(const StartRequest& request, HANDLE& mutex) {
  // Closed by hand rather than by an owner: after a start-up error it stays held until the
  // process is gone, and on the way out it is closed before a possible ExitProcess.
  mutex = CreateMutexW(nullptr, TRUE, kMutexName);
  if (!mutex) {
    ShowError(L"Không khởi động được Tonvira (không tạo được khóa một phiên chạy).");
    return 1;
  }
  if (GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  if (!request.startedAtLogon) {
    if (HWND first = FindWindowExW(HWND_MESSAGE, nullptr, kMainClass, nullptr)) {
      // This start came from the user, so it may hand the foreground on: the window the first
      // instance opens then comes up in front, not behind.
      DWORD firstProcess = 0;
      GetWindowThreadProcessId(first, &firstProcess);
      AllowSetForegroundWindow(firstProcess);
      PostMessageW(first, kRegistered.showSettings, static_cast<WPARAM>(request.pageForRunningInstance), 0);
    }
  }
  CloseHandle(mutex);
  return 0;
}

// The shipped lists: the English words are needed, the syllables and word pairs help. Their
// compact form is kept in the data folder (per user when installed), made at the first start
// and again whenever the text changed.
std::optional<WordListsLoaded> LoadShippedWordLists(App& app) {
  WordListFiles files{ShippedFilePath(u"en_words.txt"), ShippedFilePath(u"vi_syllables.txt"),
                      ShippedFilePath(u"word_pairs.txt"), JoinPath(DataFolder(), u"word_lists.bin")};
  WordListsLoaded loaded = LoadWordLists(app.lexicon, files);
  if (!loaded.english) {
    ShowError(L"Khong doc duoc tu dien:\n" + Wide(files.english));
    return std::nullopt;
  }
  UseWordLists(app.engine.options, app.lexicon);
  WarmBuiltinWords();
  return loaded;
}

// Milliseconds from the creation of this process (as Windows counts it) to now.
double MillisecondsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;  // 100 ns units
}

void LoadUserFiles(App& app) {
  app.settingsState = LoadSettings(app.settings, app.abbrevs);
  ReadAbbrevFile(app.shippedAbbrevs, ShippedFilePath(u"abbrev.txt"));
  app.engine.options.shippedAbbrevs = &app.shippedAbbrevs;
}

// The message-only main window, the focus tracker that posts to it, the taskbar listener and
// the tray icon. False (the error told) when the program cannot run without what failed.
bool CreateWindows(WindowsApp& w) {
  App& app = w.app;
  WNDCLASSW wc{};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.lpszClassName = kMainClass;
  // Without its window an instance holding the lock would make every later start exit silently.
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ShowError(L"Không khởi động được Tonvira (không đăng ký được lớp cửa sổ).");
    return false;
  }
  w.mainWindow =
      CreateWindowExW(0, kMainClass, L"Tonvira", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!w.mainWindow) {
    ShowError(L"Không khởi động được Tonvira (không tạo được cửa sổ chính).");
    return false;
  }
  app.mainWindow = reinterpret_cast<WindowId>(w.mainWindow);
  // Started once the main window exists, so that its classifications have somewhere to go.
  if (!StartFocusTracker(w.focusTracker, DataFilePath(u"context.txt"), app.mainWindow,
                         kMessageFocusClassified)) {
    DestroyWindow(w.mainWindow);
    return false;
  }
  // The tray's callbacks and the taskbar's return pass the integrity filter.
  ChangeWindowMessageFilterEx(w.mainWindow, wm::kTray, MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(w.mainWindow, kRegistered.taskbarCreated, MSGFLT_ALLOW, nullptr);
  HWND listener = CreateTaskbarListener(w.mainWindow, kRegistered.taskbarCreated, kMessageEndSession);
  w.tray.Init(w.mainWindow, wm::kTray);
  w.tray.SetMenuOwner(listener);
  app.shell.iconShown = w.tray.Add();
  g_worker->mainWindow.store(w.mainWindow);
  PostMessageW(w.mainWindow, wm::kUpdateStateChanged, 0, 0);  // the update state, on the loop's first turn
  return true;
}

// The keyboard and mouse hooks; false (told, the icon and the tracker gone) when they cannot be had.
bool InstallTheHooks(WindowsApp& w, WindowsShell& shell) {
  SetMainWindow(w.app.pipeline, w.app.mainWindow);
  CheckOtherInputMethods(w.app.pipeline, shell.Processes());
  if (InstallHooks(w.app.pipeline)) return true;
  ShowError(L"Không cài được móc bàn phím. Vui lòng khởi động lại máy rồi mở lại Tonvira.");
  w.tray.Remove();  // no dead icon left in the notification area
  // The tracker uses the process-wide objects: it stops before they are torn down.
  if (!StopFocusTracker()) ExitProcess(1);
  return false;
}

void MessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchTimed(msg);
  LogTimings();
}

// Hooks off, settings written, the lock freed, and the new version started after an
// installation. False when the focus tracker did not stop.
bool ShutDown(WindowsApp& w, HANDLE mutex) {
  KillTimer(w.mainWindow, kMainTimerId);
  UnregisterHotKey(w.mainWindow, kHotkeyId);
  RemoveHooks();
  bool trackerStopped = StopFocusTracker();
  // Saved once more on the way out, unless the file was there but could not be read.
  KillTimer(w.mainWindow, kSaveTimerId);
  SaveSettingsNow();
  CloseHandle(mutex);
  // After a successful installation the new version starts; the lock above is already free.
  if (RestartRequested(g_worker->updater)) {
    std::u16string self = ExecutablePath();
    LogLine("khoi dong lai: %s\n", Utf16ToUtf8(self).c_str());
    ShellExecuteW(nullptr, L"open", Wide(self).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  return trackerStopped;
}

int Run() {
  StartRequest request = ParseCommandLine(Arguments());
  static WindowsApp w;
  App& app = w.app;
  app.startedAtLogon = request.startedAtLogon;
  app.startTick = GetTickCount64();

  HANDLE mutex = nullptr;
  if (std::optional<int> code = TakeSingleInstanceLock(request, mutex)) return *code;
  g_app = &w;
  std::optional<WordListsLoaded> lists = LoadShippedWordLists(app);
  if (!lists) return 1;
  LoadUserFiles(app);
  if (request.startedAtLogon && !app.settings.startup) {
    CloseHandle(mutex);
    return 0;
  }
  RemoveLegacyAutostart();
  app.pipeline.focusSource = &w.focusTracker.published;
  ApplySettings(app);
  SaveSettingsNow();  // in this version's form, before anything can change them
  StartBackgroundWorker(app);
  if (!CreateWindows(w)) return 1;
  WindowsShell shell(w);
  if (!InstallTheHooks(w, shell)) return 1;
  // The log opens with the hooks: which version runs, for the traces of an update,
  // and how long the start took, the word lists read from their compact form or from the text.
  LogLine("tonvira %s: bat dau (pid %lu), san sang sau %.0f ms, tu dien %s\n",
          Utf16ToUtf8(kRunningVersion).c_str(), static_cast<unsigned long>(GetCurrentProcessId()),
          MillisecondsSinceProcessStart(),
          lists->fromCompact      ? "dang gon"
          : lists->compactWritten ? "van ban (da luu dang gon)"
                                  : "van ban");
  RegisterToggleHotkey(app, shell);
  SettingsWindowAtStart(w, request);
  SetTimer(w.mainWindow, kMainTimerId, kMainTimerMs, nullptr);
  RefreshTray(app, shell);

  MessageLoop();
  // A tracker still inside a hung application's call would wake up to a destroyed tracker:
  // end the process without running the destructors.
  if (!ShutDown(w, mutex)) ExitProcess(0);
  return 0;
}

}  // namespace
}  // namespace tonvira

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return tonvira::Run();
}
