// tonvira.exe: start-up, the message-only main window, the message loop and shutdown.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/apply_settings.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/shell.h"
#include "app/update_notices.h"
#include "app/version.h"
#include "app/win32/clipboard.h"
#include "app/win32/installer.h"
#include "app/win32/processes.h"
#include "app/win32/tray.h"
#include "config/abbrev_table.h"
#include "config/autostart.h"
#include "config/data_folder.h"
#include "config/file_system.h"
#include "config/settings.h"
#include "context/focus_tracking.h"
#include "decide/builtin_words.h"
#include "decide/lexicon.h"
#include "engine/engine.h"
#include "input/latency_record.h"
#include "input/log.h"
#include "input/pipeline.h"
#include "promo/machine_facts.h"
#include "promo/worker.h"
#include "text/utf8.h"
#include "text/win32/handle.h"
#include "text/win32/wide.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/update_window.h"
#include "update/evaluation.h"
#include "update/installation.h"
#include "update/signature.h"
#include "update/updater.h"

namespace tonvira {
namespace {

constexpr wchar_t kMainClass[] = L"TonviraWnd";
constexpr wchar_t kMutexName[] = L"Local\\TonviraSingleton";
// Posted by the focus-tracking thread after each classification.
constexpr UINT kMessageFocusClassified = WM_APP + 20;
// Sent by the taskbar listener when the session ends (log-off, shut-down, or an installer's
// restart manager closing us): lParam carries WM_ENDSESSION's flags.
constexpr UINT kMessageEndSession = WM_APP + 16;
// Posted by a background save of settings.txt: wParam 1 when it was written.
constexpr UINT kMessageSettingsSaved = WM_APP + 17;
constexpr UINT_PTR kSaveTimerId = 2;
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

// The portable objects, and what only the Windows program has.
struct WindowsApp {
  App app;
  FocusTracker focusTracker;
  HWND mainWindow = nullptr;
  Tray tray;
};
WindowsApp* g_app = nullptr;
// One writer of settings.txt at a time: a background save and the one at exit or log-off.
std::mutex g_settingsFile;

bool SaveSettingsNow() {
  std::lock_guard lock(g_settingsFile);
  return SaveSettings(g_app->app.settings, g_app->app.settingsState);
}

// Writes a copy of the settings on a thread of its own, so that the flush to disk never holds
// up the windows; the main window hears how it went.
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

// A burst of changes is written once, a second after the last of them.
void SaveSettingsSoon(HWND mainWindow) {
  SetTimer(mainWindow, kSaveTimerId, kSaveDelayMs, nullptr);
}

void ShowError(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"Tonvira", MB_ICONERROR);
}

DWORD WINAPI PlayBeep(void* frequency) {
  Beep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(frequency)), 70);
  return 0;
}

// Whether this process may type into elevated windows (a signed build with UI access).
bool HasUiAccess() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  KernelHandle owner(token);
  DWORD access = 0;
  DWORD size = 0;
  return GetTokenInformation(token, TokenUIAccess, &access, sizeof(access), &size) && access != 0;
}

// A split token (UAC on) can be elevated; a full one only by a member of Administrators.
bool CanElevate() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  KernelHandle owner(token);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size)) return false;
  if (type != TokenElevationTypeDefault) return true;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  bool able = CheckTokenMembership(nullptr, administrators, &member) && member;
  FreeSid(administrators);
  return able;
}

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

  explicit BackgroundWorker(App& app)
      : updater(Setup()), worker{updater,
                                 banner,
                                 DataFilePath(u"banner.txt"),
                                 BannerInputs,
                                 [&app] { return CloudOn(app); },
                                 clock,
                                 signals,
                                 {}} {}

  UpdaterSetup Setup() {
    UpdaterSetup s;
    s.manifestUrl = BuiltInManifestUrl();
    s.runningVersion = Utf16ToUtf8(kRunningVersion);
    s.dataFolder = DataFolder();
    s.keys = BuiltInKeys();
    s.packageSigners = BuiltInPackageSigners();
    s.installed = IsInstalledFolder(ProgramFolder(), ProgramFilesFolder(), ProgramFilesX86Folder());
    s.ableToElevate = CanElevate;
    s.readPolicy = ReadUpdatePolicy;
    s.nowUnixSeconds = [] { return static_cast<uint64_t>(std::time(nullptr)); };
    s.statusChanged = [this] {
      if (HWND window = mainWindow.load()) PostMessageW(window, wm::kUpdateStateChanged, 0, 0);
    };
    return s;
  }
  static bool CloudOn(App& app) {
    // Written on the main thread; a byte read here is at worst one cycle late.
    return std::atomic_ref<uint8_t>(app.settings.cloud).load(std::memory_order_relaxed) != 0;
  }
  static BannerRequestInputs BannerInputs() {
    BannerRequestInputs in;
    in.serverVariable = EnvironmentValue(u"TONVIRA_SERVER");
    in.versionVariable = EnvironmentValue(u"TONVIRA_VERSION");
    in.builtInHost = BuiltInBannerHost();
    in.runningVersion = std::u16string(kRunningVersion);
    in.machineGuid = ReadMachineGuid();
    in.computerName = ComputerName();
    return in;
  }
};
BackgroundWorker* g_worker = nullptr;

void StartBackgroundWorker(App& app) {
  g_worker = new BackgroundWorker(app);
  std::thread([] { RunWorker(g_worker->worker); }).detach();
}

// Runs work on a thread of its own unless its last run is still going, when the press is traced
// and ignored: for work that takes seconds and must not hold up the windows.
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

// The tray's clipboard conversion, between its thread and the main window.
struct ClipboardResult {
  std::atomic<bool> converting{false};
  std::mutex mutex;
  std::optional<Notice> notice;
};
ClipboardResult g_clipboardResult;

// What the settings window needs from the program.
class WindowsSettingsHost final : public ui::SettingsHost {
 public:
  explicit WindowsSettingsHost(WindowsApp& w) : w_(w) {}
  App& TheApp() override { return w_.app; }
  FocusTracker& Tracker() override { return w_.focusTracker; }
  ui::WindowFacts Facts() override {
    ui::WindowFacts facts;
    facts.suspended = IsSuspended(w_.app.pipeline);
    FocusFields focus = w_.focusTracker.published.Load();
    facts.field = {focus.password, focus.fieldClass, GetFocusDescription(w_.focusTracker)};
    facts.englishWords = w_.app.lexicon.english.size();
    facts.uiAccess = uiAccess_;
    facts.version = std::u16string(kRunningVersion);
    UpdateStatus update = GetUpdateStatus(g_worker->updater);
    facts.updateStatus = UpdateStatusLine(update);
    facts.updateStatusCode = static_cast<int>(update.kind);
    facts.updateBusy = update.checking || update.downloading || update.kind == UpdateKind::Installing;
    return facts;
  }
  Banner CurrentBanner() override { return tonvira::CurrentBanner(g_worker->banner); }
  void OpenUpdateWindow() override;
  void StartUpdateCheck() override { g_worker->signals.Wake(true); }
  void ClassifyAgain() override { RequestClassification(); }
  void OptionsChanged() override {
    SaveSettingsSoon(w_.mainWindow);
    g_worker->signals.Wake(false);
  }

 private:
  WindowsApp& w_;
  bool uiAccess_ = HasUiAccess();
};

// What the main window asks of Windows.
class WindowsShell final : public ShellSystem {
 public:
  explicit WindowsShell(WindowsApp& w) : w_(w) {}

  bool AddTrayIcon() override { return w_.tray.Add(); }
  void RemoveTrayIcon() override { w_.tray.Remove(); }
  bool PromoteTrayIcon() override { return tonvira::PromoteTrayIcon(); }
  bool ShowTray(const std::u16string& tooltip, int state, bool shown) override {
    return w_.tray.Show(tooltip, state, shown);
  }
  bool ShowBalloon(const Notice& notice) override { return w_.tray.ShowBalloon(notice); }
  void ShowTrayMenu(const std::vector<MenuItem>& items) override { w_.tray.ShowMenu(items); }
  FieldFacts FocusedField() override {
    FocusFields focus = w_.focusTracker.published.Load();
    return {focus.password, focus.fieldClass, GetFocusDescription(w_.focusTracker)};
  }
  // On a thread-pool thread: the main thread never waits for the sound. A failed queue only
  // loses the beep.
  void Beep(uint32_t hertz) override {
    QueueUserWorkItem(PlayBeep, reinterpret_cast<void*>(static_cast<uintptr_t>(hertz)), WT_EXECUTEDEFAULT);
  }
  bool RegisterHotkey(uint32_t virtualKey) override {
    UnregisterHotKey(w_.mainWindow, kHotkeyId);
    if (virtualKey == 0) return true;
    if (RegisterHotKey(w_.mainWindow, kHotkeyId, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, virtualKey))
      return true;
    LogLine("phim tat: RegisterHotKey loi %lu\n", static_cast<unsigned long>(GetLastError()));
    return false;
  }
  ProcessList& Processes() override { return processes_; }
  void ConvertClipboardInBackground() override;
  std::optional<Notice> TakeClipboardNotice() override {
    std::lock_guard lock(g_clipboardResult.mutex);
    return std::exchange(g_clipboardResult.notice, std::nullopt);
  }
  uint32_t TickCount() override { return GetTickCount(); }
  std::optional<int> NotificationState() override {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state))) return std::nullopt;
    return static_cast<int>(state);
  }
  void CloseMainWindow() override { DestroyWindow(w_.mainWindow); }
  void SaveSettingsSoon() override { tonvira::SaveSettingsSoon(w_.mainWindow); }
  void EndMessageLoop() override { PostQuitMessage(0); }

  // The updater fills these.
  void OpenSettingsWindow(std::optional<int> page) override {
    static WindowsSettingsHost host(w_);
    ui::OpenSettingsWindow(host, page);
  }
  void RefreshSettingsWindow() override { ui::RefreshSettingsControls(); }
  UpdateStatus Update() override { return GetUpdateStatus(g_worker->updater); }
  LastAttempt TakeUpdateOutcome() override { return TakeLastAttempt(g_worker->updater); }
  void MarkUpdateNotified() override { MarkNotified(g_worker->updater); }
  void OpenUpdateWindow() override;
  void RefreshUpdateWindow() override {
    LogUpdateState();
    ui::RefreshUpdateWindow();
  }
  bool FinishInstallation(uint32_t exitCode, bool installerSeen) override {
    LogLine("cai dat xong: ma %lu, trinh cai dat %s\n", static_cast<unsigned long>(exitCode),
            installerSeen ? "da bat dau" : "chua bat dau");
    return tonvira::FinishInstallation(g_worker->updater, exitCode);
  }

 private:
  void LogUpdateState();
  WindowsApp& w_;
  WindowsProcessList processes_;
};

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

// The update window's button runs the installer; the status it publishes refreshes the window.
class WindowsUpdateWindowHost final : public ui::UpdateWindowHost {
 public:
  UpdateStatus Status() override { return GetUpdateStatus(g_worker->updater); }
  // Reading and hashing a package of up to 50 MiB and checking its signature take seconds: they
  // run on a thread of their own, which reports through the status it publishes (WM_APP+11),
  // and the windows stay responsive meanwhile.
  void InstallNow() override {
    // A damaged package is fetched again by a cycle that starts at once.
    static WindowsInstaller installer(g_app->mainWindow, [] { g_worker->signals.Wake(true); });
    static std::atomic<bool> checking{false};
    RunAlone(checking, "cai dat: dang kiem tra goi, bo qua lan bam nay", [] {
      bool started = StartInstallation(g_worker->updater, installer);
      LogLine("cai dat: %s\n", started ? "msiexec da chay" : "khong chay");
    });
  }
};

void OpenTheUpdateWindow() {
  static WindowsUpdateWindowHost host;
  LogLine("cua so cap nhat\n");
  ui::OpenUpdateWindow(host);
}

void WindowsSettingsHost::OpenUpdateWindow() {
  OpenTheUpdateWindow();
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

// How long the main thread's messages took, apart from those that ran a modal loop (a menu, a
// dialog: their time is the user's). The hooks have a thread of their own; these say how long
// the windows, the tray and the notices kept the user waiting.
struct MessageTimes {
  LatencyRecord plain;
  LatencyRecord modal;
};
MessageTimes g_messageTimes;

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

int Run() {
  std::vector<std::u16string> arguments = Arguments();
  StartRequest request = ParseCommandLine(arguments);
  static WindowsApp w;
  App& app = w.app;
  app.startedAtLogon = request.startedAtLogon;
  app.startTick = GetTickCount64();

  // Closed by hand rather than by an owner: after a start-up error it stays held until the
  // process is gone, and on the way out it is closed before a possible ExitProcess.
  HANDLE mutex = CreateMutexW(nullptr, TRUE, kMutexName);
  if (!mutex) {
    ShowError(L"Không khởi động được Tonvira (không tạo được khóa một phiên chạy).");
    return 1;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
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

  g_app = &w;
  std::u16string englishPath = ShippedFilePath(u"en_words.txt");
  if (!LoadEnglishWords(app.lexicon, std::filesystem::path(Wide(englishPath)))) {
    ShowError(L"Khong doc duoc tu dien:\n" + Wide(englishPath));
    return 1;
  }
  app.engine.options.englishWords = &app.lexicon.english;
  if (LoadSyllables(app.lexicon, std::filesystem::path(Wide(ShippedFilePath(u"vi_syllables.txt"))),
                    kDefaultSyllableFrequency)) {
    app.engine.options.vietSyllables = &app.lexicon.syllables;
  }
  // Optional: without it the word before a word is no evidence.
  if (LoadWordPairs(app.lexicon.pairs, std::filesystem::path(Wide(ShippedFilePath(u"word_pairs.txt"))))) {
    app.engine.options.wordPairs = &app.lexicon.pairs;
  }
  WarmBuiltinWords();

  app.settingsState = LoadSettings(app.settings, app.abbrevs);
  ReadAbbrevFile(app.shippedAbbrevs, ShippedFilePath(u"abbrev.txt"));
  app.engine.options.shippedAbbrevs = &app.shippedAbbrevs;
  if (request.startedAtLogon && !app.settings.startup) {
    CloseHandle(mutex);
    return 0;
  }
  RemoveLegacyAutostart();
  app.pipeline.focusSource = &w.focusTracker.published;
  ApplySettings(app);
  SaveSettingsNow();  // in this version's form, before anything can change them
  StartBackgroundWorker(app);

  WNDCLASSW wc{};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.lpszClassName = kMainClass;
  // Without its window an instance holding the lock would make every later start exit silently.
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ShowError(L"Không khởi động được Tonvira (không đăng ký được lớp cửa sổ).");
    return 1;
  }
  w.mainWindow =
      CreateWindowExW(0, kMainClass, L"Tonvira", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!w.mainWindow) {
    ShowError(L"Không khởi động được Tonvira (không tạo được cửa sổ chính).");
    return 1;
  }
  app.mainWindow = reinterpret_cast<WindowId>(w.mainWindow);
  // Started once the main window exists, so that its classifications have somewhere to go.
  if (!StartFocusTracker(w.focusTracker, DataFilePath(u"context.txt"), app.mainWindow,
                         kMessageFocusClassified)) {
    DestroyWindow(w.mainWindow);
    return 1;
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

  SetMainWindow(app.pipeline, app.mainWindow);
  WindowsShell shell(w);
  CheckOtherInputMethods(app.pipeline, shell.Processes());
  if (!InstallHooks(app.pipeline)) {
    ShowError(L"Không cài được móc bàn phím. Vui lòng khởi động lại máy rồi mở lại Tonvira.");
    w.tray.Remove();  // no dead icon left in the notification area
    // The tracker uses the process-wide objects: it stops before they are torn down.
    if (!StopFocusTracker()) ExitProcess(1);
    return 1;
  }
  // The log opens with the hooks: which version runs, for the traces of an update.
  LogLine("tonvira %s: bat dau (pid %lu)\n", Utf16ToUtf8(kRunningVersion).c_str(),
          static_cast<unsigned long>(GetCurrentProcessId()));
  RegisterToggleHotkey(app, shell);
  SettingsWindowAtStart(w, request);
  SetTimer(w.mainWindow, kMainTimerId, kMainTimerMs, nullptr);
  RefreshTray(app, shell);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchTimed(msg);
  LogTimings();

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
  // A tracker still inside a hung application's call would wake up to a destroyed tracker:
  // end the process without running the destructors.
  if (!trackerStopped) ExitProcess(0);
  return 0;
}

}  // namespace
}  // namespace tonvira

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return tonvira::Run();
}
