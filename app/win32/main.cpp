// tonvira.exe: start-up, the message-only main window, the message loop and shutdown.
#include <windows.h>

#include <string>
#include <vector>

#include "app/apply_settings.h"
#include "app/command_line.h"
#include "app/shell.h"
#include "app/win32/tray.h"
#include "config/abbrev_table.h"
#include "config/autostart.h"
#include "config/data_folder.h"
#include "config/settings.h"
#include "config/win32/handle.h"
#include "context/focus_tracking.h"
#include "decide/builtin_words.h"
#include "decide/lexicon.h"
#include "engine/engine.h"
#include "input/log.h"
#include "input/pipeline.h"

namespace tonvira {
namespace {

constexpr wchar_t kMainClass[] = L"TonviraWnd";
constexpr wchar_t kMutexName[] = L"Local\\TonviraSingleton";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 3000;
// Posted by the focus-tracking thread after each classification.
constexpr UINT kMessageFocusClassified = WM_APP + 20;
const UINT kShowSettingsMessage = RegisterWindowMessageW(L"Tonvira.ShowSettings");
// Broadcast by Explorer when the taskbar comes back: the icon must be added again.
const UINT kTaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
// The tray icon's mouse and balloon events, the event in lParam.
constexpr UINT kMessageTray = WM_APP + 1;
constexpr LPARAM kBalloonUserClick = 0x405;

// The process-wide objects, created once and alive until exit.
struct App {
  Lexicon lexicon;
  Settings settings;
  AbbrevTable abbrevs;
  AbbrevTable shippedAbbrevs;  // the library as shipped, to tell its keys from the user's
  SettingsState settingsState;
  Engine engine;
  Pipeline pipeline{engine};
  FocusTracker focusTracker;
  HWND mainWindow = nullptr;
  Tray tray;
  ShellState shell;
};
App* g_app = nullptr;

std::wstring Wide(std::u16string_view s) {
  return std::wstring(s.begin(), s.end());
}

void ShowError(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"Tonvira", MB_ICONERROR);
}

DWORD WINAPI PlayBeep(void* frequency) {
  Beep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(frequency)), 70);
  return 0;
}
// On a thread-pool thread: the main thread never waits for the sound.
void QueueBeep(DWORD frequency) {
  QueueUserWorkItem(PlayBeep, reinterpret_cast<void*>(static_cast<uintptr_t>(frequency)), WT_EXECUTEDEFAULT);
}

// Every change of preferences: into the engine and the hook, then saved.
void ApplySettings(App& app) {
  ApplySettingsToEngine(app.engine, app.settings, &app.abbrevs);
  ApplySettingsToPipeline(app.pipeline, app.settings);
  SaveSettings(app.settings, app.settingsState);
}

constexpr int kHotkeyId = 1;

TrayView ViewOf(App& app) {
  FocusFields focus = app.focusTracker.published.Load();
  TrayView view;
  view.vietnameseOn = GetVietnameseOn(app.pipeline);
  view.suspended = IsSuspended(app.pipeline);
  view.contextOn = app.settings.context != 0;
  view.field = {focus.password, focus.fieldClass, GetFocusDescription(app.focusTracker)};
  return view;
}

void RefreshTray(App& app) {
  bool visible = IconVisible(app.shell);
  if (!app.tray.Refresh(ViewOf(app), visible) && visible)
    app.shell.iconShown = false;  // the timer adds it again
}

MenuFacts MenuFactsOf(App& app) {
  MenuFacts f;
  TrayView view = ViewOf(app);
  f.vietnameseOn = view.vietnameseOn;
  f.suspended = view.suspended;
  f.hotkeyMode = app.settings.hotkey_mode;
  f.contextOn = view.contextOn;
  f.smartOn = app.settings.smart != 0;
  f.field = view.field;
  return f;
}

// The system side of the shell's timer and notices.
class AppShell final : public ShellSystem {
 public:
  explicit AppShell(App& app) : app_(app) {}
  void InstallHooks() override {
    SetMainWindow(app_.pipeline, reinterpret_cast<WindowId>(app_.mainWindow));
    tonvira::InstallHooks(app_.pipeline);
  }
  void CheckOtherInputMethods() override {}  // the coexistence check comes with its own work
  bool AddTrayIcon() override { return app_.tray.Add(); }
  bool PromoteTrayIcon() override { return false; }  // the shell's NotifyIconSettings walk comes later
  void RefreshTray() override { tonvira::RefreshTray(app_); }
  bool ShowBalloon(const Notice& notice) override { return app_.tray.ShowBalloon(notice); }
  void UpdateNotices(ShellState&) override {}  // the updater's notices come with the updater

 private:
  App& app_;
};

// Ctrl+Shift+key in hotkey mode 2; mode 1 needs none (the hook's chord detector toggles).
// A combination another program holds fails silently: the menu still toggles.
void RegisterToggleHotkey(const App& app) {
  UnregisterHotKey(app.mainWindow, kHotkeyId);
  if (app.settings.hotkey_mode != 2) return;
  RegisterHotKey(app.mainWindow, kHotkeyId, MOD_CONTROL | MOD_SHIFT,
                 static_cast<UINT>(app.settings.hotkey_char));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  App& app = *g_app;
  switch (message) {
    case WM_DESTROY:
      app.tray.Remove();
      PostQuitMessage(0);
      return 0;
    case kMessageTray:
      if (lParam == WM_LBUTTONUP) ToggleFromChord(app.pipeline, app.settings);
      if (lParam == WM_RBUTTONUP) app.tray.ShowMenu(MenuFactsOf(app));
      // Double click and balloon click open the settings and update windows, which come later.
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kCommandExit:
          DestroyWindow(window);
          break;
        case kCommandToggle:
          ToggleFromChord(app.pipeline, app.settings);
          break;
        case kCommandContext:
        case kCommandSmart:
          if (FlipMenuSetting(app.settings, LOWORD(wParam))) ApplySettings(app);
          break;
        default:
          break;
      }
      return 0;
    case WM_HOTKEY:
      if (wParam == kHotkeyId) ToggleFromChord(app.pipeline, app.settings);
      return 0;
    case WM_TIMER:
      // Windows drops a low-level hook that was too slow once; putting it back is cheap.
      if (wParam == kTimerId) {
        AppShell shell(app);
        TimerTick(app.shell, shell);
      }
      return 0;
    case kMessageFocusClassified: {
      // The hook already reads the published fields at every key; this is the trace of it.
      FocusFields f = app.focusTracker.published.Load();
      LogLine("truong #%llu: lop %u, mat khau %d, dia chi %d, bang tinh %d\n",
              static_cast<unsigned long long>(wParam), static_cast<unsigned>(f.fieldClass),
              f.password ? 1 : 0, f.inlineCompletion ? 1 : 0, f.spreadsheet ? 1 : 0);
      return 0;
    }
    case kMessageToggled:
      QueueBeep(GetVietnameseOn(app.pipeline) ? 988 : 659);
      RefreshTray(app);
      return 0;
    case kMessageToggleRefused:
      QueueBeep(659);
      return 0;
    case kMessageSettingsChanged:
      RegisterToggleHotkey(app);
      RefreshTray(app);
      return 0;
    case kMessageSuspended:
      RefreshTray(app);
      return 0;
    default:
      if (message == kShowSettingsMessage) return 0;  // the settings window comes with its own work
      if (message == kTaskbarCreatedMessage) {
        AppShell shell(app);
        OnTaskbarCreated(app.shell, shell);
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
  }
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

int Run() {
  std::vector<std::u16string> arguments = Arguments();
  StartRequest request = ParseCommandLine(arguments);

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
        PostMessageW(first, kShowSettingsMessage, static_cast<WPARAM>(request.pageForRunningInstance), 0);
      }
    }
    if (mutex) CloseHandle(mutex);
    return 0;
  }

  static App app;
  g_app = &app;
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
  app.mainWindow =
      CreateWindowExW(0, kMainClass, L"Tonvira", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!app.mainWindow) {
    ShowError(L"Không khởi động được Tonvira (không tạo được cửa sổ chính).");
    return 1;
  }
  app.pipeline.mainWindow = reinterpret_cast<WindowId>(app.mainWindow);
  // The tray's callbacks and the taskbar's return pass the integrity filter.
  ChangeWindowMessageFilterEx(app.mainWindow, kMessageTray, MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(app.mainWindow, kTaskbarCreatedMessage, MSGFLT_ALLOW, nullptr);
  CreateTaskbarListener(app.mainWindow, kTaskbarCreatedMessage);
  app.tray.Init(app.mainWindow, kMessageTray);
  app.shell.iconShown = app.tray.Add();
  app.pipeline.focusSource = &app.focusTracker.published;
  ApplySettings(app);
  // Started once the main window exists, so that its classifications have somewhere to go.
  if (!StartFocusTracker(app.focusTracker, DataFilePath(u"context.txt"),
                         reinterpret_cast<uintptr_t>(app.mainWindow), kMessageFocusClassified)) {
    return 1;
  }

  if (!InstallHooks(app.pipeline)) {
    ShowError(L"Không cài được móc bàn phím. Vui lòng khởi động lại máy rồi mở lại Tonvira.");
    app.tray.Remove();  // no dead icon left in the notification area
    // The tracker uses the process-wide objects: it stops before they are torn down.
    if (!StopFocusTracker()) ExitProcess(1);
    return 1;
  }
  SetToggleCallback(app.pipeline, [] { ToggleFromChord(g_app->pipeline, g_app->settings); });
  RegisterToggleHotkey(app);
  RefreshTray(app);
  SetTimer(app.mainWindow, kTimerId, kTimerMs, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  KillTimer(app.mainWindow, kTimerId);
  UnregisterHotKey(app.mainWindow, kHotkeyId);
  RemoveHooks();
  bool trackerStopped = StopFocusTracker();
  // Saved once more on the way out, unless the file was there but could not be read.
  SaveSettings(app.settings, app.settingsState);
  CloseHandle(mutex);
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
