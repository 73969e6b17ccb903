#include "app/main_window.h"

#include "app/apply_settings.h"
#include "app/update_notices.h"
#include "input/log.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

constexpr uint32_t kHighBeep = 988;  // switched on
constexpr uint32_t kLowBeep = 659;   // switched off, or refused

MenuFacts MenuFactsOf(App& app, ShellSystem& system) {
  MenuFacts f;
  f.vietnameseOn = GetVietnameseOn(app.pipeline);
  f.suspended = IsSuspended(app.pipeline);
  f.hotkeyMode = app.settings.hotkey_mode;
  f.contextOn = app.settings.context != 0;
  f.smartOn = app.settings.smart != 0;
  f.field = system.FocusedField();
  UpdateStatus update = system.Update();
  f.updateKind = static_cast<int>(update.kind);
  f.updateItemText = UpdateMenuText(update);
  return f;
}

void OnCommand(App& app, ShellSystem& system, uint32_t command) {
  switch (command) {
    case kCommandToggle:
      ToggleVietnamese(app, system);
      break;
    case kCommandExit:
      system.CloseMainWindow();
      break;
    case kCommandSettings:
      system.OpenSettingsWindow(std::nullopt);
      break;
    case kCommandContext:
    case kCommandSmart:
      FlipMenuSetting(app.settings, command);
      ApplySettings(app);
      system.SaveSettingsSoon();
      system.RefreshSettingsWindow();
      RefreshTray(app, system);
      break;
    case kCommandUpdate:
      system.OpenUpdateWindow();
      break;
    case kCommandClipboard:
      system.ConvertClipboardInBackground();
      break;
    default:  // the field line and anything unknown
      break;
  }
}

void OnTrayEvent(App& app, ShellSystem& system, int64_t event) {
  switch (event) {
    case wm::kLeftButtonUp:
      ToggleVietnamese(app, system);
      break;
    case wm::kLeftButtonDoubleClick:
      system.OpenSettingsWindow(std::nullopt);
      break;
    case wm::kRightButtonUp:
      system.ShowTrayMenu(TrayMenuItems(MenuFactsOf(app, system)));
      break;
    case wm::kBalloonUserClick: {
      int kind = static_cast<int>(system.Update().kind);
      if (app.shell.lastNoticeOpensUpdate || (kind >= 1 && kind <= kUpdateRequired))
        system.OpenUpdateWindow();
      break;
    }
    default:
      break;
  }
}

void AddIconAgain(App& app, ShellSystem& system) {
  app.shell.iconShown = system.AddTrayIcon();
}

}  // namespace

void ToggleVietnamese(App& app, ShellSystem& system) {
  if (IsSuspended(app.pipeline)) {
    system.Beep(kLowBeep);
    system.OpenUpdateWindow();
    RefreshTray(app, system);
    return;
  }
  bool on = false;
  {
    std::lock_guard lock(app.pipeline.guard);  // a chord toggle on the hooks' thread waits
    on = !GetVietnameseOn(app.pipeline);
    SetVietnameseOn(app.pipeline, on);
  }
  app.settings.enabled = on;
  system.SaveSettingsSoon();  // a session ended by log-off or a crash keeps it too
  system.Beep(on ? kHighBeep : kLowBeep);
  system.RefreshSettingsWindow();
  RefreshTray(app, system);
}

void RefreshTray(App& app, ShellSystem& system) {
  bool on = GetVietnameseOn(app.pipeline);
  UpdateStatus update = system.Update();
  std::u16string tooltip =
      CutToUnits(TooltipUpdateLine(TrayTooltip(on, system.FocusedField(), app.settings.context != 0), update),
                 kTooltipUnits);
  int state = TrayIconState(IsSuspended(app.pipeline), on, static_cast<int>(update.kind));
  bool visible = IconVisible(app.shell);
  if (!system.ShowTray(tooltip, state, visible) && visible)
    app.shell.iconShown = false;  // the timer adds it again
}

void RegisterToggleHotkey(App& app, ShellSystem& system) {
  ShellState& shell = app.shell;
  if (app.settings.hotkey_mode != 2) {
    system.RegisterHotkey(0);
    shell.hotkeyProblem = HotkeyProblem::None;
    return;
  }
  char16_t c = app.settings.hotkey_char;
  std::optional<uint32_t> key = HotkeyVirtualKey(c);
  HotkeyProblem problem = HotkeyProblem::None;
  if (!key) {
    system.RegisterHotkey(0);
    problem = HotkeyProblem::NotAKey;
  } else if (!system.RegisterHotkey(*key)) {
    problem = HotkeyProblem::HeldElsewhere;
  }
  SetHotkeyMode(app.pipeline, problem == HotkeyProblem::None ? 2 : 1);
  bool told = problem == shell.hotkeyProblem && c == shell.hotkeyProblemKey;
  shell.hotkeyProblem = problem;
  shell.hotkeyProblemKey = c;
  if (problem == HotkeyProblem::None || told) return;
  std::u16string combination = u"Ctrl+Shift+" + std::u16string(1, key ? static_cast<char16_t>(*key) : c);
  std::u16string why =
      problem == HotkeyProblem::NotAKey
          ? u"Phím tắt " + combination + u" không dùng được: chỉ chữ A–Z hoặc số 0–9."
          : u"Không đăng ký được phím tắt " + combination + u": một chương trình khác đang dùng tổ hợp này.";
  LogLine("phim tat: %s\n",
          problem == HotkeyProblem::NotAKey ? "khong phai phim" : "chuong trinh khac dang dung");
  ShowNotice(app, system,
             Notice{u"Tonvira", why + u"\nTrong lúc này, Ctrl+Shift vẫn bật/tắt tiếng Việt.", true, false});
}

void ShowNotice(App& app, ShellSystem& system, const Notice& notice) {
  if (IconVisible(app.shell) && system.ShowBalloon(notice)) {
    app.shell.lastNoticeOpensUpdate = notice.opensUpdate;
    return;
  }
  app.shell.pendingNotice = notice;  // replaces any earlier one
  LogLine("thong bao cho bieu tuong: %s: %s\n", Utf16ToUtf8(notice.title).c_str(),
          Utf16ToUtf8(notice.text).c_str());
}

bool OkToNotify(App& app, ShellSystem& system) {
  return OkToNotify(system.TickCount(), GetLastPhysicalInputTime(app.pipeline), system.NotificationState());
}

void TimerTick(App& app, ShellSystem& system) {
  ShellState& shell = app.shell;
  // Windows drops a low-level hook that was too slow once; putting it back is cheap.
  SetMainWindow(app.pipeline, app.mainWindow);
  InstallHooks(app.pipeline);
  CheckOtherInputMethods(app.pipeline, system.Processes());
  // The program that held the combination may have let it go.
  if (shell.hotkeyProblem == HotkeyProblem::HeldElsewhere) RegisterToggleHotkey(app, system);
  if (!shell.iconShown && !shell.iconHiddenForInstall) AddIconAgain(app, system);
  if (shell.iconShown && !shell.iconPromoted && shell.promoteAttempts < kMaxPromoteAttempts) {
    ++shell.promoteAttempts;
    shell.iconPromoted = system.PromoteTrayIcon();
  }
  RefreshTray(app, system);
  if (shell.pendingNotice && IconVisible(shell)) {
    Notice notice = std::move(*shell.pendingNotice);
    shell.pendingNotice.reset();
    ShowNotice(app, system, notice);
  }
  TimerUpdateNotices(app, system);
}

bool HandleMainWindowMessage(App& app, ShellSystem& system, const RegisteredMessages& registered,
                             const WindowMessage& m) {
  switch (m.message) {
    case wm::kDestroy:
      system.RemoveTrayIcon();
      app.shell.iconShown = false;
      system.EndMessageLoop();
      return true;
    case wm::kCommand:
      OnCommand(app, system, static_cast<uint32_t>(m.wParam & 0xFFFF));
      return true;
    case wm::kTimer:
      if (m.wParam == kMainTimerId) TimerTick(app, system);
      return true;
    case wm::kHotkey:
      ToggleVietnamese(app, system);
      return true;
    case wm::kTray:
      OnTrayEvent(app, system, m.lParam);
      return true;
    case kMessageToggled: {  // by the chord, inside the hook; the setting follows it here
      bool on = GetVietnameseOn(app.pipeline);
      app.settings.enabled = on;
      system.SaveSettingsSoon();
      system.Beep(on ? kHighBeep : kLowBeep);
      system.RefreshSettingsWindow();
      RefreshTray(app, system);
      return true;
    }
    case kMessageSettingsChanged:
      RegisterToggleHotkey(app, system);
      RefreshTray(app, system);
      return true;
    case wm::kUpdateStateChanged:
      RefreshUpdateState(app, system);
      return true;
    case kMessageToggleRefused:
      system.Beep(kLowBeep);
      system.OpenUpdateWindow();
      return true;
    case wm::kInstallerExited:
      app.shell.iconHiddenForInstall = false;
      if (system.FinishInstallation(static_cast<uint32_t>(m.wParam), m.lParam != 0)) {
        system.CloseMainWindow();
        return true;
      }
      AddIconAgain(app, system);
      RefreshTray(app, system);
      system.RefreshUpdateWindow();
      return true;
    case wm::kHideIconForInstall:
      system.RemoveTrayIcon();
      app.shell.iconShown = false;
      app.shell.iconHiddenForInstall = true;
      return true;
    case kMessageSuspended:
      RefreshTray(app, system);
      return true;
    case wm::kClipboardConverted:
      if (std::optional<Notice> notice = system.TakeClipboardNotice()) ShowNotice(app, system, *notice);
      return true;
    default:
      break;
  }
  if (registered.taskbarCreated != 0 && m.message == registered.taskbarCreated) {
    LogLine("khay: thanh tac vu tro lai\n");
    if (!app.shell.iconHiddenForInstall) AddIconAgain(app, system);
    RefreshTray(app, system);
    return true;
  }
  if (registered.showSettings != 0 && m.message == registered.showSettings) {
    if (IsSuspended(app.pipeline)) {
      system.OpenUpdateWindow();
    } else {
      std::optional<int> page;
      if (m.wParam < kSettingsPages) page = static_cast<int>(m.wParam);
      system.OpenSettingsWindow(page);
    }
    return true;
  }
  return false;
}

}  // namespace tonvira
