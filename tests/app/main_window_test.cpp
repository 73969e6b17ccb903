#include "app/main_window.h"

#include <gtest/gtest.h>

#include <functional>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/apply_settings.h"
#include "input/key_event.h"
#include "sim/sim_desktop.h"
#include "tests/app/fakes.h"
#include "tests/engine/engine_fixture.h"

namespace tonvira {
namespace {

// Writes down every request to the system, in order, as a short line.
class RecordingShell : public ShellSystem {
 public:
  std::vector<std::string> calls;
  bool addWorks = true;
  bool trayWorks = true;
  bool balloonWorks = true;
  bool installerSucceeds = false;
  UpdateStatus update;
  LastAttempt outcome = LastAttempt::None;
  FieldFacts field;
  std::u16string tooltip;
  std::vector<MenuItem> menu;
  std::vector<std::u16string> balloons;
  int promotes = 0;
  uint32_t tick = 0;
  std::optional<int> notificationState = kAcceptsNotifications;
  FakeProcesses processes;
  FakeClipboard clipboard;
  uint32_t heldElsewhere = 0;  // the virtual key another program has registered
  std::optional<Notice> clipboardNotice;

  bool AddTrayIcon() override {
    calls.push_back("add icon");
    return addWorks;
  }
  void RemoveTrayIcon() override { calls.push_back("remove icon"); }
  bool PromoteTrayIcon() override {
    ++promotes;
    return false;  // a shell that never lists the icon
  }
  bool ShowTray(const std::u16string& tip, int state, bool shown) override {
    tooltip = tip;
    calls.push_back("tray " + std::to_string(state) + (shown ? "" : " hidden"));
    return shown && trayWorks;
  }
  bool ShowBalloon(const Notice& notice) override {
    if (balloonWorks) balloons.push_back(notice.title);
    return balloonWorks;
  }
  void ShowTrayMenu(const std::vector<MenuItem>& items) override {
    menu = items;
    calls.push_back("menu");
  }
  FieldFacts FocusedField() override { return field; }
  void Beep(uint32_t hertz) override { calls.push_back("beep " + std::to_string(hertz)); }
  bool RegisterHotkey(uint32_t key) override {
    calls.push_back(key ? std::string("hotkey ") + static_cast<char>(key) : "hotkey released");
    return key == 0 || key != heldElsewhere;
  }
  ProcessList& Processes() override { return processes; }
  // At once, as if the background conversion had ended before the next message.
  void ConvertClipboardInBackground() override { clipboardNotice = ConvertClipboard(clipboard); }
  std::optional<Notice> TakeClipboardNotice() override {
    return std::exchange(clipboardNotice, std::nullopt);
  }
  uint32_t TickCount() override { return tick; }
  std::optional<int> NotificationState() override { return notificationState; }
  void CloseMainWindow() override { calls.push_back("close"); }
  void SaveSettingsSoon() override { calls.push_back("save soon"); }
  void EndMessageLoop() override { calls.push_back("quit"); }
  void OpenSettingsWindow(std::optional<int> page) override {
    calls.push_back("settings window " + (page ? std::to_string(*page) : "as it was"));
  }
  void RefreshSettingsWindow() override { calls.push_back("refresh settings window"); }
  UpdateStatus Update() override { return update; }
  LastAttempt TakeUpdateOutcome() override { return std::exchange(outcome, LastAttempt::None); }
  void MarkUpdateNotified() override {
    calls.push_back("notified");
    update.notified = true;
  }
  void OpenUpdateWindow() override { calls.push_back("update window"); }
  void RefreshUpdateWindow() override { calls.push_back("refresh update window"); }
  bool FinishInstallation(uint32_t code, bool seen) override {
    calls.push_back("installer exited " + std::to_string(code) + (seen ? " seen" : ""));
    return installerSucceeds;
  }
};

constexpr WindowId kMainWindow = 0x77;
constexpr RegisteredMessages kRegistered{0xC001, 0xC002};

// The program's objects on a fresh simulated desktop, one Notepad window in front, the hook
// in place and the icon shown; the main window's messages are pumped from what was posted.
class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    ParseEnglishWords(app_.lexicon.english, kTestEnglish);
    ParseSyllables(app_.lexicon.syllables, kTestSyllables, kDefaultSyllableFrequency);
    app_.engine.options.englishWords = &app_.lexicon.english;
    app_.engine.options.vietSyllables = &app_.lexicon.syllables;
    desktop().Reset();
    app_.mainWindow = kMainWindow;
    SetMainWindow(app_.pipeline, kMainWindow);
    ApplySettings(app_);  // nothing is saved: no settings file was read
    InstallHooks(app_.pipeline);
    desktop().Focus(desktop().AddWindow({}));
    app_.shell.iconShown = true;
    Pump();
    shell_.calls.clear();
  }
  ~MainWindowTest() override {
    RemoveHooks();
    desktop().Reset();
  }
  static sim::Desktop& desktop() { return sim::TheDesktop(); }

  bool Handle(uint32_t message, uint64_t wParam = 0, int64_t lParam = 0) {
    return HandleMainWindowMessage(app_, shell_, kRegistered, {message, wParam, lParam});
  }
  // Delivers what the hook and the settings code posted to the main window since last time.
  void Pump() {
    const auto& posted = desktop().Posted();
    for (; pumped_ < posted.size(); ++pumped_) {
      if (posted[pumped_].first == kMainWindow) Handle(posted[pumped_].second);
    }
  }
  void Type(std::u16string_view text) {
    for (char16_t c : text) ASSERT_TRUE(desktop().TypeChar(c));
  }
  void TapCtrlShift() {
    desktop().Key(vk::kLControl, true);
    desktop().Key(vk::kLShift, true);
    desktop().Key(vk::kLShift, false);
    desktop().Key(vk::kLControl, false);
  }
  std::u16string Field() const { return desktop().Focused().text; }
  std::vector<std::string> Taken() { return std::exchange(shell_.calls, {}); }

  App app_;
  RecordingShell shell_;
  size_t pumped_ = 0;
};

using Calls = std::vector<std::string>;

TEST_F(MainWindowTest, EveryMessageOfTheWindow) {
  struct Row {
    const char* what;
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
    Calls expected;
  } rows[] = {
      {"double click", wm::kTray, 0, wm::kLeftButtonDoubleClick, {"settings window as it was"}},
      {"right click", wm::kTray, 0, wm::kRightButtonUp, {"menu"}},
      {"mouse move over the icon", wm::kTray, 0, 0x0200, {}},
      {"exit", wm::kCommand, kCommandExit, 0, {"close"}},
      {"the field line", wm::kCommand, kCommandFieldLine, 0, {}},
      {"settings", wm::kCommand, kCommandSettings, 0, {"settings window as it was"}},
      {"update", wm::kCommand, kCommandUpdate, 0, {"update window"}},
      {"an accelerator's high word", wm::kCommand, 0x10000 | kCommandExit, 0, {"close"}},
      {"unknown command", wm::kCommand, 999, 0, {}},
      {"another timer", wm::kTimer, 2, 0, {}},
      {"settings changed", kMessageSettingsChanged, 0, 0, {"hotkey released", "tray 1"}},
      {"update state changed", wm::kUpdateStateChanged, 0, 0, {"tray 1", "refresh update window"}},
      {"toggle refused", kMessageToggleRefused, 0, 0, {"beep 659", "update window"}},
      {"suspension took effect", kMessageSuspended, 0, 0, {"tray 1"}},
      {"taskbar created", kRegistered.taskbarCreated, 0, 0, {"add icon", "tray 1"}},
      {"second start, page 2", kRegistered.showSettings, 2, 0, {"settings window 2"}},
      {"second start, page 9", kRegistered.showSettings, 9, 0, {"settings window as it was"}},
      {"destroy", wm::kDestroy, 0, 0, {"remove icon", "quit"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    app_.shell.iconShown = true;
    EXPECT_TRUE(Handle(row.message, row.wParam, row.lParam));
    EXPECT_EQ(Taken(), row.expected);
  }
  EXPECT_FALSE(Handle(0x1234));  // to the default procedure
  EXPECT_FALSE(Handle(0));
  EXPECT_TRUE(Taken().empty());
}

TEST_F(MainWindowTest, EveryToggleRouteSwitchesWithItsBeepAndIcon) {
  struct Route {
    const char* what;
    std::function<void()> toggle;
  } routes[] = {
      {"left click on the icon", [&] { Handle(wm::kTray, 0, wm::kLeftButtonUp); }},
      {"menu item", [&] { Handle(wm::kCommand, kCommandToggle); }},
      {"hotkey", [&] { Handle(wm::kHotkey, kHotkeyId); }},
      {"Ctrl+Shift, heard through its message", [&] { TapCtrlShift(), Pump(); }},
  };
  for (const Route& route : routes) {
    SCOPED_TRACE(route.what);
    Type(u"vieetj ");
    route.toggle();
    EXPECT_EQ(Taken(), (Calls{"save soon", "beep 659", "refresh settings window", "tray 0"}));
    EXPECT_EQ(app_.settings.enabled, 0);
    EXPECT_EQ(shell_.tooltip, u"Tonvira — đang tắt\nNgữ cảnh: Tự quyết định");
    Type(u"vieetj ");
    route.toggle();
    EXPECT_EQ(Taken(), (Calls{"save soon", "beep 988", "refresh settings window", "tray 1"}));
    EXPECT_EQ(app_.settings.enabled, 1);
    Type(u"vieetj ");
    EXPECT_EQ(Field(), u"việt vieetj việt ");
    desktop().Focus(desktop().AddWindow({}));
  }
}

TEST_F(MainWindowTest, WhileSuspendedEveryRouteOpensTheUpdateWindowInstead) {
  RequestSuspension(app_.pipeline, true);
  for (uint32_t message : {wm::kTray, wm::kCommand, wm::kHotkey}) {
    SCOPED_TRACE(message);
    Handle(message, message == wm::kCommand ? uint64_t{kCommandToggle} : 0,
           message == wm::kTray ? wm::kLeftButtonUp : 0);
    EXPECT_EQ(Taken(), (Calls{"beep 659", "update window", "tray 2"}));
  }
  TapCtrlShift();  // the suspension takes effect at this key, and the chord is refused
  Pump();
  EXPECT_EQ(Taken(), (Calls{"tray 2", "beep 659", "update window"}));
  Handle(kRegistered.showSettings, 1);  // a second start
  EXPECT_EQ(Taken(), (Calls{"update window"}));
  EXPECT_EQ(app_.settings.enabled, 1);  // the user's choice stays for after the update
}

TEST_F(MainWindowTest, MenuSettingItemsApplyAndTheHotkeyFollowsTheSettings) {
  Handle(wm::kCommand, kCommandSmart);
  EXPECT_FALSE(app_.engine.options.smartOn);
  EXPECT_EQ(app_.settings.smart, 0);
  EXPECT_EQ(Taken(), (Calls{"save soon", "refresh settings window", "tray 1"}));
  Pump();  // applying the settings told the main window
  EXPECT_EQ(Taken(), (Calls{"hotkey released", "tray 1"}));
  Handle(wm::kCommand, kCommandContext);
  EXPECT_FALSE(app_.engine.options.contextOn);
  EXPECT_EQ(shell_.tooltip, u"Tonvira — đang bật\nNgữ cảnh: Đang tắt");
  Pump();

  app_.settings.hotkey_mode = 2;
  app_.settings.hotkey_char = u'Z';
  ApplySettings(app_);
  Taken();
  Pump();
  EXPECT_EQ(Taken(), (Calls{"hotkey Z", "tray 1"}));
  Handle(wm::kTray, 0, wm::kRightButtonUp);
  ASSERT_GE(shell_.menu.size(), 5u);
  EXPECT_EQ(shell_.menu[2].text, u"Bật bộ gõ");  // no chord to name in hotkey mode 2
  EXPECT_FALSE(shell_.menu[3].checked);          // context
  EXPECT_FALSE(shell_.menu[4].checked);          // smart
}

// Hotkey mode 2 with a key Windows cannot take: the user is told once, and the Ctrl+Shift chord
// toggles meanwhile, so there is always a keyboard toggle.
TEST_F(MainWindowTest, AHotkeyThatCannotBeRegisteredIsToldOnceAndTheChordStandsIn) {
  app_.settings.hotkey_mode = 2;
  struct Row {
    char16_t key;
    uint32_t heldElsewhere;
    const char* registered;
    HotkeyProblem problem;
  } rows[] = {
      {u'z', 0, "hotkey Z", HotkeyProblem::None},            // a hand-edited lower-case letter is its key
      {u'.', 0, "hotkey released", HotkeyProblem::NotAKey},  // not VK_DELETE
      {u'Z', 'Z', "hotkey Z", HotkeyProblem::HeldElsewhere},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.registered);
    shell_.heldElsewhere = row.heldElsewhere;
    shell_.balloons.clear();
    app_.settings.hotkey_char = row.key;
    for (int time = 0; time < 2; ++time) {  // told once
      ApplySettings(app_);
      Pump();
      EXPECT_EQ(Taken()[0], row.registered);
    }
    EXPECT_EQ(app_.shell.hotkeyProblem, row.problem);
    EXPECT_EQ(shell_.balloons.size(), row.problem == HotkeyProblem::None ? 0u : 1u);
    bool chordToggles = row.problem != HotkeyProblem::None;
    TapCtrlShift();
    EXPECT_EQ(GetVietnameseOn(app_.pipeline), !chordToggles);
    TapCtrlShift();
    EXPECT_TRUE(GetVietnameseOn(app_.pipeline));
    Pump();
    Taken();
  }
  shell_.heldElsewhere = 0;  // the other program let it go: the next tick takes it
  Taken();
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_EQ(Taken()[0], "hotkey Z");
  EXPECT_EQ(app_.shell.hotkeyProblem, HotkeyProblem::None);
  TapCtrlShift();
  EXPECT_TRUE(GetVietnameseOn(app_.pipeline));
}

TEST_F(MainWindowTest, BalloonClickOpensTheUpdateWindowOnlyForAnUpdateNotice) {
  struct Row {
    bool lastOpensUpdate;
    int kind;
    bool opens;
  } rows[] = {{false, 0, false}, {true, 0, true},  {false, 1, true},
              {false, 2, true},  {false, 3, true}, {false, 4, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.lastOpensUpdate << " kind " << row.kind);
    app_.shell.lastNoticeOpensUpdate = row.lastOpensUpdate;
    shell_.update.kind = static_cast<UpdateKind>(row.kind);
    Handle(wm::kTray, 0, wm::kBalloonUserClick);
    EXPECT_EQ(Taken(), row.opens ? Calls{"update window"} : Calls{});
  }
}

TEST_F(MainWindowTest, AnInstallationHidesTheIconAndBringsItBackWhenItDoesNotStart) {
  Handle(wm::kHideIconForInstall);
  EXPECT_EQ(Taken(), (Calls{"remove icon"}));
  EXPECT_FALSE(app_.shell.iconShown);
  EXPECT_TRUE(app_.shell.iconHiddenForInstall);
  Handle(kRegistered.taskbarCreated);  // not while an installation has it away
  EXPECT_EQ(Taken(), (Calls{"tray 1 hidden"}));
  Handle(wm::kTimer, kMainTimerId);  // nor does the timer add it
  EXPECT_FALSE(app_.shell.iconShown);
  EXPECT_EQ(Taken(), (Calls{"tray 1 hidden"}));

  Handle(wm::kInstallerExited, 1602, 1);  // the user said no
  EXPECT_EQ(Taken(), (Calls{"installer exited 1602 seen", "add icon", "tray 1", "refresh update window"}));
  EXPECT_TRUE(app_.shell.iconShown);
  EXPECT_FALSE(app_.shell.iconHiddenForInstall);

  shell_.installerSucceeds = true;
  Handle(wm::kInstallerExited, 3010, 1);
  EXPECT_EQ(Taken(), (Calls{"installer exited 3010 seen", "close"}));
}

TEST_F(MainWindowTest, TheTimerPutsTheHookBackAndTheIconWhenTheShellLostIt) {
  RemoveHooks();  // Windows dropped a slow hook
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_NE(desktop().keyboardHook, nullptr);
  Type(u"vieetj");
  EXPECT_EQ(Field(), u"việt");
  Taken();

  shell_.trayWorks = false;  // Explorer restarted: the modify fails
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_FALSE(app_.shell.iconShown);
  shell_.trayWorks = true;
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_TRUE(app_.shell.iconShown);
  EXPECT_EQ(Taken(), (Calls{"tray 1", "add icon", "tray 1"}));

  shell_.processes.processes = std::vector<RunningProcess>{{u"UniKey.exe", 42}};  // in our session
  shell_.processes.sessions[42] = 1;
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_TRUE(app_.pipeline.ConflictingImeRunning);  // every word character is typed by us
}

TEST_F(MainWindowTest, PromotionStopsAfterFortyTries) {
  for (int tick = 0; tick < 100; ++tick) Handle(wm::kTimer, kMainTimerId);
  EXPECT_EQ(shell_.promotes, kMaxPromoteAttempts);
}

TEST_F(MainWindowTest, ANoticeWaitsForTheIconAndShowsOnTheFirstTickItIsBack) {
  app_.shell.iconShown = false;
  shell_.addWorks = false;
  ShowNotice(app_, shell_, {u"first", u"", false, false});
  ShowNotice(app_, shell_, {u"second", u"", false, true});  // replaces the first
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_TRUE(shell_.balloons.empty());  // still no icon
  shell_.addWorks = true;
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_EQ(shell_.balloons, (std::vector<std::u16string>{u"second"}));
  EXPECT_FALSE(app_.shell.pendingNotice);
  EXPECT_TRUE(app_.shell.lastNoticeOpensUpdate);

  Handle(wm::kHideIconForInstall);  // away for an installation: kept, not shown
  ShowNotice(app_, shell_, {u"third", u"", true, false});
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_EQ(shell_.balloons.size(), 1u);
  EXPECT_TRUE(app_.shell.pendingNotice);
  Handle(wm::kInstallerExited, 1603, 0);
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_EQ(shell_.balloons.back(), u"third");
  EXPECT_FALSE(app_.shell.lastNoticeOpensUpdate);

  shell_.balloonWorks = false;  // the shell refused the balloon: kept for the next tick
  ShowNotice(app_, shell_, {u"fourth", u"", false, false});
  EXPECT_TRUE(app_.shell.pendingNotice);
}

TEST_F(MainWindowTest, TheTrayShowsTheFocusedFieldAndTheUpdateBadge) {
  shell_.field = {true, ContextClass::English, u"proc:cmd.exe"};
  shell_.update.kind = static_cast<UpdateKind>(kUpdateAvailable);
  shell_.update.offeredVersion = u"1.4.13";
  Handle(kMessageSuspended);
  EXPECT_EQ(Taken(), (Calls{"tray 4"}));
  EXPECT_EQ(
      shell_.tooltip,
      u"Tonvira — đang bật\nĐã có phiên bản 1.4.13 — chuột phải để cập nhật\nNgữ cảnh: Mật khẩu (gõ thẳng) "
      u"(proc:cmd.exe)");
  Handle(wm::kTray, 0, wm::kRightButtonUp);
  ASSERT_FALSE(shell_.menu.empty());
  EXPECT_EQ(shell_.menu[0].id, kCommandUpdate);
  EXPECT_EQ(shell_.menu[2].text, u"Ô nhập này: Mật khẩu (gõ thẳng)");
}

TEST_F(MainWindowTest, TheClipboardItemConvertsAndTellsTheUserInABalloon) {
  shell_.clipboard.text = u"Tiếng Việt có dấu — ĐƯỜNG";
  Handle(wm::kCommand, kCommandClipboard);
  EXPECT_TRUE(shell_.balloons.empty());  // told once the conversion has ended
  Handle(wm::kClipboardConverted);
  Handle(wm::kClipboardConverted);  // told once
  EXPECT_EQ(shell_.clipboard.text, u"Tieng Viet co dau — DUONG");
  EXPECT_EQ(shell_.balloons, (std::vector<std::u16string>{u"Tonvira"}));
  EXPECT_FALSE(shell_.clipboard.open);

  app_.shell.iconShown = false;  // the icon is away: the notice waits for it
  Handle(wm::kCommand, kCommandClipboard);
  Handle(wm::kClipboardConverted);
  EXPECT_TRUE(app_.shell.pendingNotice);
}

}  // namespace
}  // namespace tonvira

namespace tonvira {
namespace {

class UpdateStateTest : public MainWindowTest {
 protected:
  UpdateStateTest() {
    shell_.update.runningVersion = u"1.4.12";
    shell_.update.offeredVersion = u"1.4.13";
    shell_.tick = 1000;
  }
  // Time since start, with the user present (or not) to be told.
  void At(uint32_t sinceStart, bool okToNotify) {
    desktop().Advance(1000);
    desktop().Key(vk::kLShift, true);  // the user is there
    desktop().Key(vk::kLShift, false);
    shell_.tick = GetLastPhysicalInputTime(app_.pipeline) + 10;
    app_.startTick = shell_.tick - sinceStart;
    shell_.notificationState = okToNotify ? std::optional<int>(kAcceptsNotifications) : std::optional<int>(3);
  }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(shell_.calls.begin(), shell_.calls.end(), call));
  }
};

TEST_F(UpdateStateTest, RefreshFollowsTheKind) {
  struct Row {
    int kind;
    bool suspendedBefore, autostart;
    uint32_t sinceStart;
    bool ok;
    bool suspendedAfter, requiredNotice, outcomeNotice, window;
  } rows[] = {
      // kind, suspended, autostart, since start, ok → suspended, required, outcome, window
      {0, false, false, 1000, true, false, false, true, false},
      {0, true, false, 1000, true, false, false, true, false},
      {1, true, false, 1000, true, false, false, true, false},
      {2, true, false, 1000, true, false, false, true, false},
      {3, false, false, 1000, true, true, true, false, true},
      {3, false, false, 1000, false, true, false, true, true},
      {3, true, true, 1000, true, true, true, false, false},
      {3, false, false, 119999, true, true, true, false, true},
      {3, false, false, 120000, true, true, true, false, false},
      {4, true, false, 1000, true, true, false, true, false},
      {4, false, false, 1000, true, false, false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "kind " << row.kind << " suspended " << row.suspendedBefore
                                    << " autostart " << row.autostart << " after " << row.sinceStart << " ok "
                                    << row.ok);
    app_.shell = {};
    app_.shell.iconShown = true;
    app_.startedAtLogon = row.autostart;
    app_.settings.enabled = 1;
    RequestSuspension(app_.pipeline, row.suspendedBefore);
    shell_.update.kind = static_cast<UpdateKind>(row.kind);
    shell_.outcome = LastAttempt::Updated;
    shell_.balloons.clear();
    At(row.sinceStart, row.ok);
    Taken();
    Handle(wm::kUpdateStateChanged);
    EXPECT_EQ(IsSuspended(app_.pipeline), row.suspendedAfter);
    if (row.suspendedBefore && !row.suspendedAfter) {
      EXPECT_TRUE(GetVietnameseOn(app_.pipeline));  // as the user had it
    }
    std::vector<std::u16string> balloons;
    if (row.requiredNotice) balloons.push_back(u"Tonvira cần được cập nhật");
    if (row.outcomeNotice) balloons.push_back(u"Tonvira đã được cập nhật");
    EXPECT_EQ(shell_.balloons, balloons);
    EXPECT_EQ(Count("update window"), row.window ? 1 : 0);
    EXPECT_EQ(shell_.calls.back(), "refresh update window");
    RequestSuspension(app_.pipeline, false);
  }
}

TEST_F(UpdateStateTest, EachNoticeAndTheWindowComeOnce) {
  shell_.update.kind = UpdateKind::InstallNow;
  At(1000, true);
  for (int i = 0; i < 3; ++i) Handle(wm::kUpdateStateChanged);
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_EQ(shell_.balloons, (std::vector<std::u16string>{u"Tonvira cần được cập nhật"}));
  EXPECT_EQ(Count("update window"), 1);
}

TEST_F(UpdateStateTest, AMandatoryUpdateSuspendsTypingUntilItIsGone) {
  app_.settings.enabled = 0;  // the user had Vietnamese off
  SetVietnameseOn(app_.pipeline, false);
  shell_.update.kind = UpdateKind::InstallNow;
  Handle(wm::kUpdateStateChanged);
  SetVietnameseOn(app_.pipeline, true);  // refused while suspended
  EXPECT_TRUE(IsSuspended(app_.pipeline));
  shell_.update.kind = UpdateKind::Ready;  // given up: typing is back as the user had it
  Handle(wm::kUpdateStateChanged);
  EXPECT_FALSE(IsSuspended(app_.pipeline));
  EXPECT_FALSE(GetVietnameseOn(app_.pipeline));
}

TEST_F(UpdateStateTest, TheTimerAnnouncesAnUpdateOncePerVersionAfterTenMinutes) {
  struct Row {
    const char* what;
    uint32_t sinceStart;
    bool ok, notified, suspended;
    bool shown;
  } rows[] = {
      {"due", 600000, true, false, false, true},         {"too early", 599999, true, false, false, false},
      {"user away", 600000, false, false, false, false}, {"already told", 600000, true, true, false, false},
      {"suspended", 600000, true, false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    shell_.update.kind = UpdateKind::Ready;
    shell_.update.notified = row.notified;
    shell_.balloons.clear();
    RequestSuspension(app_.pipeline, row.suspended);
    At(row.sinceStart, row.ok);
    Taken();
    Handle(wm::kTimer, kMainTimerId);
    EXPECT_EQ(shell_.balloons.size(), row.shown ? 1u : 0u);
    EXPECT_EQ(Count("notified"), row.shown ? 1 : 0);
    Handle(wm::kTimer, kMainTimerId);  // never twice
    EXPECT_EQ(shell_.balloons.size(), row.shown ? 1u : 0u);
    RequestSuspension(app_.pipeline, false);
  }
}

TEST_F(UpdateStateTest, TheRequiredNoticeWaitsForTheUserAtLogon) {
  app_.startedAtLogon = true;
  shell_.update.kind = UpdateKind::InstallNow;
  At(1000, false);  // nobody there yet
  Handle(wm::kUpdateStateChanged);
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_TRUE(shell_.balloons.empty());
  EXPECT_EQ(Count("update window"), 0);
  At(200000, true);
  Handle(wm::kTimer, kMainTimerId);
  EXPECT_EQ(shell_.balloons, (std::vector<std::u16string>{u"Tonvira cần được cập nhật"}));
}

}  // namespace
}  // namespace tonvira
