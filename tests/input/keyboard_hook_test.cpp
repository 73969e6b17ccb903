// Keys through the hook into the simulated field: what is let through, what is synthesised,
// and how each key kind treats the word in progress.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/apply_settings.h"
#include "config/settings.h"
#include "input/log.h"
#include "input/output.h"
#include "tests/input/pipeline_fixture.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

using sim::Extended;
using sim::Injected;
using sim::WithScan;

class HookTest : public PipelineTest {
 protected:
  size_t Batches() const { return desktop().Batches().size(); }
  // A fresh document: a click, then the text is gone.
  void ClearField() {
    desktop().Click(0);
    desktop().Advance(kClickWindowMs);
    desktop().Window(desktop().Foreground()).text.clear();
  }
  // The field shows what the pipeline believes it shows.
  void ExpectWordShown(std::u16string_view before = u"") {
    EXPECT_EQ(Field(), std::u16string(before) + pipeline_.OnScreenWord);
  }
};

struct LayoutRow {
  const char* name;
  LayoutId layout;
  bool conflictingIme;
  bool synthesised;
};

class LetThroughTest : public HookTest, public testing::WithParamInterface<LayoutRow> {};

TEST_P(LetThroughTest, UnchangedKeysPassOnlyUnderPlainLayouts) {
  sim::WindowSpec spec = Spec("notepad.exe", u"Notepad");
  spec.layout = GetParam().layout;
  WindowId w = desktop().AddWindow(spec);
  desktop().Focus(w);
  pipeline_.ConflictingImeRunning = GetParam().conflictingIme;
  Type(u"ban");
  EXPECT_EQ(Field(), u"ban");
  EXPECT_EQ(pipeline_.OnScreenWord, u"ban");
  EXPECT_EQ(Batches(), GetParam().synthesised ? 3u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LetThroughTest,
                         testing::Values(LayoutRow{"UnitedStates", sim::kLayoutUs, false, false},
                                         LayoutRow{"Vietnamese", sim::kLayoutVietnamese, false, true},
                                         LayoutRow{"Japanese", sim::kLayoutJapanese, false, true},
                                         LayoutRow{"Korean", 0x04120412, false, true},
                                         LayoutRow{"ChineseSimplified", 0x08040804, false, true},
                                         LayoutRow{"OtherVietnameseImeRunning", sim::kLayoutUs, true, true},
                                         LayoutRow{"French", 0x040C040C, false, false}),
                         [](const testing::TestParamInfo<LayoutRow>& info) { return info.param.name; });

// A separator after a word it leaves unchanged is the real key; after a word it changes, the
// word and the separator are replaced together.
TEST_F(HookTest, ASeparatorIsLetThroughAfterAnUnchangedWordAndReplacedAfterAChangedOne) {
  struct Row {
    std::u16string_view keys;
    std::u16string_view shown;
    bool letThrough;
  } rows[] = {
      {u"tieengs ", u"tiếng ", true},
      {u"(tieengs)", u"(tiếng)", true},
      {u"a1b>", u"a1b>", true},
      {u"test ", u"test ", false},  // shown "tét": English restored
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.keys));
    ClearField();
    Type(row.keys.substr(0, row.keys.size() - 1));
    desktop().ClearBatches();
    Type(row.keys.substr(row.keys.size() - 1));
    EXPECT_EQ(desktop().lastKeyDownAction, row.letThrough ? HookAction::Pass : HookAction::Swallow);
    EXPECT_EQ(Batches(), row.letThrough ? 0u : 1u);
    EXPECT_EQ(Field(), row.shown);
    EXPECT_TRUE(pipeline_.OnScreenWord.empty());
  }
}

// A key the hook sees later than Windows waits for it was already handed to the application
// as typed: the word is given up, nothing on screen is rewritten, and the next word is fresh.
TEST_F(HookTest, AKeyPastTheHookTimeoutGivesTheWordUpWithoutRewriting) {
  struct Row {
    uint32_t delayMs;
    std::u16string_view shown;
  } rows[] = {
      {250, u"việt việt"},   // in time: composed as usual
      {301, u"viêtj việt"},  // late: the j reached the field as typed, and stays
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.delayMs);
    ClearField();
    Type(u"vieet");
    desktop().ClearBatches();
    desktop().Key(0x4A, true, sim::KeyOptions{.hookDelayMs = row.delayMs});  // j
    desktop().Key(0x4A, false);
    if (row.delayMs > desktop().hookTimeoutMs) {
      EXPECT_EQ(desktop().lastKeyDownAction, HookAction::Pass);
      EXPECT_EQ(Batches(), 0u);
      EXPECT_TRUE(pipeline_.OnScreenWord.empty());
    }
    Type(u" vieetj");
    EXPECT_EQ(Field(), row.shown);
    EXPECT_EQ(pipeline_.hookLatency.Max(), row.delayMs);
    pipeline_.hookLatency.Clear();
  }
}

TEST(LatencyRecord, PercentilesAndTheMaximum) {
  LatencyRecord r;
  EXPECT_EQ(r.Percentile(99), 0u);
  for (uint32_t ms = 1; ms <= 100; ++ms) r.Add(ms);
  r.Add(5000);  // past the last bucket: counted there, the maximum kept exactly
  EXPECT_EQ(r.Count(), 101u);
  EXPECT_EQ(r.Max(), 5000u);
  EXPECT_EQ(r.Percentile(50), 51u);
  EXPECT_EQ(r.Percentile(99), 100u);
  EXPECT_EQ(r.Percentile(100), 1000u);
}

// Tab, Enter and a first Ctrl: a changed word is corrected on screen with the key re-sent behind
// it in the same batch (the physical key-down is swallowed); after an unchanged word the key goes
// through with no output.
TEST_F(HookTest, TabEnterAndCtrlCommitAChangedWordFirstInTheSameBatch) {
  const struct {
    uint32_t key;
    uint16_t scan;
    std::u16string_view word;
    size_t batches;
    std::u16string_view field;
  } rows[] = {
      {vk::kTab, 0x0F, u"test", 1, u"test\t"},
      {vk::kReturn, 0x1C, u"test", 1, u"test\n"},
      {vk::kLControl, 0x1D, u"test", 1, u"test"},
      {vk::kTab, 0x0F, u"ban", 0, u"ban\t"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.word) + " then key " + std::to_string(row.key));
    ClearField();
    Type(row.word);
    desktop().ClearBatches();
    desktop().Press(row.key, WithScan(row.scan));
    ASSERT_EQ(Batches(), row.batches);
    if (row.batches) {
      EXPECT_EQ(desktop().Batches()[0].back(), (OutputEvent{static_cast<uint16_t>(row.key), row.scan, 0}));
    }
    EXPECT_EQ(Field(), row.field);
    EXPECT_TRUE(pipeline_.OnScreenWord.empty());
    EXPECT_TRUE(EngineIdle(engine_));
  }
}

TEST_F(HookTest, EnterStartsANewLineAndSentence) {
  Type(u"ban\t");
  engine_.memory.EnglishLean = 2.0f;
  engine_.memory.SentenceStart = 0;
  Type(u"\n");
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, 1.0f);
  EXPECT_EQ(engine_.memory.SentenceStart, 1);
  EXPECT_EQ(engine_.memory.LineStart, 1);
}

TEST_F(HookTest, AltGrAbandonsWithoutCommitting) {
  Type(u"tie");
  desktop().Key(vk::kLControl, true, WithScan(0x21D));
  desktop().Key(vk::kRMenu, true, Extended());
  desktop().Key(vk::kRMenu, false, Extended());
  desktop().Key(vk::kLControl, false, WithScan(0x21D));
  EXPECT_TRUE(pipeline_.OnScreenWord.empty());
  EXPECT_TRUE(EngineIdle(engine_));
  EXPECT_EQ(engine_.committed.committedText, u"");
  Type(u"es");
  EXPECT_EQ(Field(), u"tieé");  // a new word: nothing joins "tie"
}

TEST_F(HookTest, ShiftAndLockKeysNeverAbandon) {
  Type(u"tie");
  for (uint32_t key : {vk::kLShift, vk::kRShift, vk::kCapital, vk::kCapital, vk::kNumLock, vk::kScroll}) {
    desktop().Press(key);
  }
  Type(u"es");
  EXPECT_EQ(Field(), u"tiế");
  ExpectWordShown();
}

TEST_F(HookTest, ShortcutChordsAlwaysAbandon) {
  for (uint32_t modifier : {vk::kLControl, vk::kLMenu, vk::kLWin}) {
    SCOPED_TRACE(modifier);
    ClearField();
    Type(u"tie");
    desktop().Key(modifier, true);
    desktop().Press('C');
    desktop().Key(modifier, false);
    EXPECT_TRUE(pipeline_.OnScreenWord.empty());
    EXPECT_TRUE(EngineIdle(engine_));
    Type(u"es");
    EXPECT_EQ(Field(), u"tieé");
  }
}

struct ClickRow {
  const char* name;
  bool clickFirst;  // a click into the text before: the caret may have moved
  bool clickInjected;
  bool keyInjected;
  uint32_t delay;
  const char16_t* field;
};

class ClickTest : public HookTest, public testing::WithParamInterface<ClickRow> {};

TEST_P(ClickTest, AClickMovesTheCaretUnlessAnInjectedKeyFollowsAtOnce) {
  Type(u"tie");
  if (GetParam().clickFirst) desktop().Click(0);
  desktop().ClickElsewhere(GetParam().clickInjected);
  desktop().Advance(GetParam().delay);
  sim::KeyOptions options;
  options.injected = GetParam().keyInjected;
  desktop().Press('E', options);
  EXPECT_EQ(Field(), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Clicks, ClickTest,
                         testing::Values(ClickRow{"InjectedKeySoonAfter", false, false, true, 0, u"tiê"},
                                         ClickRow{"InjectedKeyJustInside", false, false, true, 1400, u"tiê"},
                                         ClickRow{"InjectedKeyTooLate", false, false, true, 1500, u"tiee"},
                                         ClickRow{"PhysicalKey", false, false, false, 0, u"tiee"},
                                         ClickRow{"InjectedClick", false, true, true, 0, u"tiee"},
                                         ClickRow{"TwoClicks", true, false, true, 0, u"etie"}),
                         [](const testing::TestParamInfo<ClickRow>& info) { return info.param.name; });

struct WindowRow {
  const char* name;
  bool ours;
  bool vietBox;
  bool password;
  const char16_t* field;
};

class OwnWindowTest : public HookTest, public testing::WithParamInterface<WindowRow> {};

TEST_P(OwnWindowTest, OnlyTheTestBoxIsComposedInto) {
  sim::WindowSpec spec = Spec(GetParam().ours ? "tonvira.exe" : "notepad.exe", u"Tonvira");
  spec.ours = GetParam().ours;
  spec.vietBox = GetParam().vietBox;
  spec.fields.password = GetParam().password;
  spec.fields.fieldClass = ContextClass::English;
  WindowId w = desktop().AddWindow(spec);
  desktop().Focus(w);
  Type(u"tieengs");
  EXPECT_EQ(Field(), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Windows, OwnWindowTest,
                         testing::Values(WindowRow{"SettingsWindow", true, false, false, u"tieengs"},
                                         WindowRow{"TestBoxAlwaysVietnamese", true, true, false, u"tiếng"},
                                         WindowRow{"TestBoxIgnoresPassword", true, true, true, u"tiếng"},
                                         WindowRow{"PropertyOnAnotherProcessWindow", false, true, false,
                                                   u"tieengs"},
                                         WindowRow{"PasswordField", false, false, true, u"tieengs"}),
                         [](const testing::TestParamInfo<WindowRow>& info) { return info.param.name; });

TEST_F(HookTest, PasswordFieldForgetsCommittedText) {
  Type(u"ban ");
  sim::WindowSpec spec = Spec("chrome.exe", u"Login");
  spec.fields.password = true;
  desktop().Focus(desktop().AddWindow(spec));
  Type(u"a");
  EXPECT_TRUE(engine_.committed.committedText.empty());
  EXPECT_TRUE(engine_.word.keys.empty());
  EXPECT_FALSE(engine_.decision.snapshotsValid);  // nothing typed before may be reopened
}

class LoggedHookTest : public HookTest {
 protected:
  void SetUp() override {
    path_ =
        std::filesystem::temp_directory_path() / ("tonvira_hook_log_" + std::to_string(getpid()) + ".txt");
    CloseLog();
    setenv("TONVIRA_LOG", path_.c_str(), 1);
    InstallHooks(pipeline_);
    unsetenv("TONVIRA_LOG");
    ASSERT_TRUE(LogIsOpen());
  }
  void TearDown() override {
    CloseLog();
    std::filesystem::remove(path_);
  }
  std::vector<std::string> Lines() const {
    std::ifstream in(path_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::filesystem::path path_;
};

TEST_F(LoggedHookTest, AChangedKeyLogsKeyDiffAndSendInputALetThroughKeyOnlyKey) {
  Type(u"ti");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "key vk=54 -> U+0074  ctx=0 blocked=0  fg=[Untitled - Notepad]");
  Type(u"ee");
  lines = Lines();
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[3], "key vk=45 -> U+0065  ctx=0 blocked=0  fg=[Untitled - Notepad]");
  EXPECT_EQ(lines[4], "  diff: xoa 1, them 1 ky tu");
  EXPECT_EQ(lines[5], "    SendInput: gui 4/4  err=0");
  EXPECT_EQ(lines[6], "  [tu chen quay lai] vk=08 scan=0000 flags=10");
}

TEST_F(LoggedHookTest, HigherIntegrityPassesEveryKeyAndSaysSo) {
  sim::WindowSpec spec = Spec("regedit.exe", u"Registry Editor");
  spec.integrity = sim::kIntegrityHigh;
  desktop().Focus(desktop().AddWindow(spec));
  Type(u"tieengs");
  EXPECT_EQ(Field(), u"tieengs");
  EXPECT_EQ(Batches(), 0u);
  std::vector<std::string> lines = Lines();
  EXPECT_EQ(lines.size(), 7u);
  for (const std::string& line : lines) EXPECT_EQ(line, "  BO QUA: foreground o muc toan ven cao hon");
}

TEST_F(HookTest, AProcessThatCannotBeOpenedCountsAsHigher) {
  sim::WindowSpec spec = Spec("service.exe", u"Service");
  spec.openable = false;
  desktop().Focus(desktop().AddWindow(spec));
  Type(u"tieengs");
  EXPECT_EQ(Field(), u"tieengs");
  EXPECT_TRUE(pipeline_.OutputBlocked);
}

TEST_F(HookTest, AWordBegunElsewhereIsNotCarriedIntoAWindowAboveUs) {
  Type(u"tie");
  sim::WindowSpec spec = Spec("regedit.exe", u"Registry Editor");
  spec.integrity = sim::kIntegrityHigh;
  desktop().Focus(desktop().AddWindow(spec));
  Type(u"es");
  EXPECT_EQ(Field(), u"es");
  EXPECT_EQ(Batches(), 0u);
}

TEST_F(HookTest, AKeyPassedWhileBlockedStopsBackspaceFromReopening) {
  Type(u"ban ");
  desktop().Window(notepad_).spec.integrity = sim::kIntegrityHigh;  // now elevated
  Type(u"v\b");
  EXPECT_TRUE(pipeline_.OnScreenWord.empty());
  EXPECT_TRUE(EngineIdle(engine_));
  EXPECT_EQ(Field(), u"ban ");
}

TEST_F(HookTest, BackspaceInAnotherWindowLeavesTheWordAlone) {
  Type(u"tie");
  WindowId other = desktop().AddWindow(Spec("wordpad.exe", u"WordPad"));
  desktop().Focus(other);
  Type(u"\b");
  desktop().Focus(notepad_);
  Type(u"es");  // a new word: "tie" still stands in Notepad as it was
  EXPECT_EQ(Field(), u"tieé");
}

TEST_F(HookTest, CommittedTextIsEmptiedPastTheLimit) {
  bool dropped = false;
  for (int i = 0; i < 1500; ++i) {
    size_t before = engine_.committed.committedText.size();
    Type(u"ab ");
    ASSERT_LE(engine_.committed.committedText.size(), kCommittedTextLimit);
    dropped = dropped || engine_.committed.committedText.size() < before;
    if (Field().size() > 3000) ClearField();
  }
  EXPECT_TRUE(dropped);
}

TEST_F(HookTest, AddressBarCompletionIsDeletedBeforeTheBackspaces) {
  sim::WindowSpec spec = Spec("chrome.exe", u"New Tab");
  spec.fields.inlineCompletion = true;
  spec.completion = u"vnexpress.net";
  desktop().Focus(desktop().AddWindow(spec));
  Type(u"tiee");
  EXPECT_EQ(Field(), u"tiê");
  ASSERT_EQ(Batches(), 1u);
  std::vector<OutputEvent> batch = desktop().Batches()[0];
  EXPECT_EQ(batch[0], (OutputEvent{vk::kDelete, 0, 0}));
  EXPECT_EQ(batch[1], (OutputEvent{vk::kDelete, 0, kEventKeyUp}));
  EXPECT_EQ(batch[2].vk, vk::kBack);
  // Backspace there may remove the completion rather than our letter: the word is given up.
  Type(u"\b");
  EXPECT_TRUE(pipeline_.OnScreenWord.empty());
}

TEST_F(HookTest, FailedOutputAbandonsAndBlocksUntilTheNextWord) {
  Type(u"tie");
  desktop().SetSendShortfall(100, 1);  // nothing of the batch arrives
  Type(u"e");
  EXPECT_TRUE(pipeline_.OutputBlocked);
  EXPECT_TRUE(pipeline_.OnScreenWord.empty());
  EXPECT_TRUE(EngineIdle(engine_));
  // The physical key was not swallowed: what the user typed reaches the field.
  EXPECT_EQ(desktop().lastKeyDownAction, HookAction::Pass);
  EXPECT_EQ(Field(), u"tiee");
  Type(u" tieengs");  // the next word start checks again and composes
  EXPECT_FALSE(pipeline_.OutputBlocked);
  EXPECT_EQ(pipeline_.OnScreenWord, u"tiếng");
}

TEST_F(HookTest, AFailedSendAtAWordEndLetsTheSeparatorThrough) {
  Type(u"test");  // shown as tét while typed, English at its end: the space rewrites it
  ASSERT_EQ(Field(), u"tét");
  size_t before = Batches();
  desktop().SetSendShortfall(100, 1);
  Type(u" ");
  EXPECT_EQ(Batches(), before + 1);
  EXPECT_EQ(desktop().lastKeyDownAction, HookAction::Pass);
  EXPECT_EQ(Field(), u"tét ");
  EXPECT_TRUE(pipeline_.OutputBlocked);
}

TEST_F(HookTest, DroppedCharactersAreNotRememberedAsShown) {
  sim::WindowSpec spec = Spec("winword.exe", u"Word");
  spec.layout = sim::kLayoutVietnamese;  // everything is synthesised
  desktop().Focus(desktop().AddWindow(spec));
  desktop().MapKey(226, u"\u200E");
  Type(u"a");
  desktop().Press(226);
  Type(u"as");
  ExpectWordShown();
  EXPECT_EQ(pipeline_.OnScreenWord, WithoutDroppedCharacters(pipeline_.OnScreenWord));
  Type(u"\b");
  ExpectWordShown();
  Type(u"f");
  ExpectWordShown();
}

TEST_F(HookTest, FailedRedrawPassesTheKeyWithoutSendingAgain) {
  Type(u"ban \bs");  // "ban" reopened, then given a tone
  ASSERT_EQ(Field(), u"bán");
  size_t before = Batches();
  desktop().SetSendShortfall(1, 1);
  Type(u"i");  // "ban" goes back as it was and "s" starts a new word: the redraw fails
  EXPECT_EQ(Batches(), before + 1);
  EXPECT_TRUE(pipeline_.OutputBlocked);
  EXPECT_TRUE(pipeline_.OnScreenWord.empty());
  EXPECT_EQ(desktop().lastKeyDownAction, HookAction::Pass);
}

struct ReopenRow {
  const char* name;
  bool password, inlineCompletion, spreadsheet, bsEdit;
};

class NoReopenTest : public HookTest, public testing::WithParamInterface<ReopenRow> {};

TEST_P(NoReopenTest, BackspaceOnlyAbandons) {
  sim::WindowSpec spec = Spec("excel.exe", u"Book1");
  spec.fields.inlineCompletion = GetParam().inlineCompletion;
  spec.fields.spreadsheet = GetParam().spreadsheet;
  WindowId window = desktop().AddWindow(spec);
  desktop().Focus(window);
  engine_.options.bsEditOn = GetParam().bsEdit;
  Type(u"tieengs ");
  spec.fields.password = GetParam().password;  // the focus moved to a password box
  desktop().MoveFocusWithin(window, spec.fields);
  Type(u"\b");
  EXPECT_TRUE(pipeline_.OnScreenWord.empty());
  EXPECT_TRUE(EngineIdle(engine_));
}

INSTANTIATE_TEST_SUITE_P(Fields, NoReopenTest,
                         testing::Values(ReopenRow{"Password", true, false, false, true},
                                         ReopenRow{"InlineCompletion", false, true, false, true},
                                         ReopenRow{"Spreadsheet", false, false, true, true},
                                         ReopenRow{"BackspaceEditingOff", false, false, false, false}),
                         [](const testing::TestParamInfo<ReopenRow>& info) { return info.param.name; });

TEST_F(HookTest, APasswordBoxInTheSameWindowTakesTheVeryNextKeyAsTyped) {
  sim::WindowSpec page = Spec("browser.exe", u"Sign in - Browser");
  WindowId window = desktop().AddWindow(page);
  desktop().Focus(window);
  Type(u"Vieetj ");
  FocusFields passwordBox = page.fields;
  passwordBox.password = true;
  desktop().MoveFocusWithin(window, passwordBox);  // no window changed: only the element
  Type(u"Vieetj ");
  desktop().MoveFocusWithin(window, page.fields);
  Type(u"Vieetj");
  EXPECT_EQ(Field(), u"Việt Vieetj Việt");
}

TEST_F(HookTest, ANewWindowStartsTheLanguageMemoryAgain) {
  Type(u"ban ");
  engine_.memory.EnglishLean = 3.0f;
  engine_.memory.LastLanguage = 2;
  desktop().Focus(desktop().AddWindow(Spec("wordpad.exe", u"WordPad")));
  Type(u"a");
  EXPECT_EQ(engine_.memory.LastLanguage, 0u);
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, 0.0f);
  EXPECT_EQ(pipeline_.ForegroundSeen, desktop().Foreground());
}

TEST_F(HookTest, SuspensionWaitsForTheWordBoundary) {
  pipeline_.mainWindow = 0x99;
  Type(u"tieeng");
  RequestSuspension(pipeline_, true);
  EXPECT_TRUE(IsSuspended(pipeline_));
  Type(u"s");
  EXPECT_TRUE(pipeline_.VietnameseOn);  // the word goes on
  Type(u" tieengs");                    // from the space's key-up on, Vietnamese is off
  EXPECT_FALSE(pipeline_.VietnameseOn);
  EXPECT_EQ(Field(), u"tiếng tieengs");
  ASSERT_FALSE(desktop().Posted().empty());
  EXPECT_EQ(desktop().Posted()[0], (std::pair<WindowId, uint32_t>{0x99, kMessageSuspended}));
  SetVietnameseOn(pipeline_, true);  // held off while suspended
  EXPECT_FALSE(pipeline_.VietnameseOn);
  RequestSuspension(pipeline_, false);
  EXPECT_FALSE(IsSuspended(pipeline_));
  SetVietnameseOn(pipeline_, true);
  EXPECT_TRUE(pipeline_.VietnameseOn);
}

TEST_F(HookTest, SettingsReachThePipeline) {
  pipeline_.mainWindow = 0x99;
  Settings settings;
  settings.enabled = 0;
  settings.hotkey_mode = 2;
  Type(u"tie");
  ApplySettingsToPipeline(pipeline_, settings);
  EXPECT_FALSE(pipeline_.VietnameseOn);
  EXPECT_TRUE(pipeline_.OnScreenWord.empty());
  desktop().Key(vk::kLControl, true);
  desktop().Key(vk::kLShift, true);
  desktop().Key(vk::kLShift, false);
  desktop().Key(vk::kLControl, false);
  EXPECT_FALSE(pipeline_.VietnameseOn);  // the chord is off in hotkey mode 2: no toggle posted
  ASSERT_EQ(desktop().Posted().size(), 1u);
  EXPECT_EQ(desktop().Posted()[0].second, kMessageSettingsChanged);
}

TEST_F(HookTest, VietnameseOffPassesEverythingButKeepsTheLineState) {
  SetVietnameseOn(pipeline_, false);
  engine_.memory.EnglishLean = 2.0f;
  Type(u"tieengs\n");
  EXPECT_EQ(Field(), u"tieengs\n");
  EXPECT_EQ(Batches(), 0u);
  EXPECT_FLOAT_EQ(engine_.memory.EnglishLean, 1.0f);
  Type(u"a");
  EXPECT_EQ(engine_.memory.LineStart, 0);
}

TEST_F(HookTest, UnusableTranslationAbandons) {
  desktop().MapKey(226, u"", true);  // a dead key
  Type(u"tie");
  desktop().Press(226);
  EXPECT_TRUE(EngineIdle(engine_));
  desktop().keyboardStateFails = true;
  Type(u"e");
  EXPECT_EQ(Field(), u"tiee");
}

TEST_F(HookTest, OnlyPhysicalInputCountsAsTheUsersLastInput) {
  desktop().Advance(1000);
  Type(u"a");
  uint32_t typed = GetLastPhysicalInputTime(pipeline_);
  EXPECT_GE(typed, 1000u);
  desktop().Advance(1000);
  desktop().Press('B', Injected());
  EXPECT_EQ(GetLastPhysicalInputTime(pipeline_), typed);
  desktop().Advance(1000);
  desktop().ClickElsewhere(false);
  EXPECT_GE(GetLastPhysicalInputTime(pipeline_), typed + 2000);
}

}  // namespace
}  // namespace tonvira
