// The keyboard hook procedure: every key-down is routed, in a fixed order, to the chord, the
// word end, backspace editing, the engine, or straight through to the application.
#include <algorithm>
#include <utility>

#include "engine/backspace.h"
#include "engine/key_path.h"
#include "engine/word_end.h"
#include "engine/word_output.h"
#include "input/log.h"
#include "input/os.h"
#include "input/output.h"
#include "input/pipeline.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

constexpr size_t kLoggedTitleUnits = 128;
constexpr uint32_t kLoggedWaitMs = 50;  // a key that waited this long for the hook is traced

HookAction ResetAndPass(Pipeline& p) {
  AbandonWord(p);
  return HookAction::Pass;
}

// Asked key by key with GetKeyState, before the keyboard state is read for the translation: the
// one array read up front instead was seen stale under Wine after a Ctrl+Shift tap, and every
// key after it passed as a shortcut.
bool ChordModifierDown() {
  return os::KeyStateDown(vk::kControl) || os::KeyStateDown(vk::kMenu) || os::KeyStateDown(vk::kLWin) ||
         os::KeyStateDown(vk::kRWin);
}

// Under these layouts the real key may not type the character we saw: always synthesise.
bool ComposingLayout(LayoutId layout) {
  uint32_t language = static_cast<uint32_t>(layout) & 0x3FF;
  return language == 0x2A || language == 0x04 || language == 0x11 || language == 0x12;
}

bool IsTextKey(uint32_t key) {
  return (key >= 48 && key <= 57) || (key >= 65 && key <= 90) || (key >= 96 && key <= 111) ||
         (key >= 186 && key <= 192) || (key >= 219 && key <= 223) || key == 226;
}

size_t CommonPrefix(std::u16string_view a, std::u16string_view b) {
  return static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

// Whether `text` is exactly `shown` followed by `c`.
bool IsShownPlus(std::u16string_view text, std::u16string_view shown, char16_t c) {
  return text.size() == shown.size() + 1 && text.back() == c && text.starts_with(shown);
}

// A process above ours would refuse our input; one we cannot even open counts as above.
bool ForegroundIntegrityHigher(WindowId foreground) {
  if (!foreground) return false;
  uint32_t pid = os::WindowProcessId(foreground);
  if (pid == 0) return false;
  std::optional<uint32_t> level = os::ProcessIntegrityLevel(pid);
  return !level || *level > os::OwnIntegrityLevel();
}

// Keeps the language memory right while Vietnamese is off, so it is sound when it comes on.
void VietnameseOffSteps(Pipeline& p, const KeyEvent& event) {
  if (!event.down) return;
  Engine& e = p.engine;
  bool chord = ChordModifierDown();
  bool textKey = IsTextKey(event.vk) && !chord;
  bool enter = event.vk == vk::kReturn;
  if (textKey || enter) {
    WindowId foreground = os::ForegroundWindow();
    if (foreground != p.ForegroundSeen) {
      if (p.ForegroundSeen) NewContext(e);
      p.ForegroundSeen = foreground;
    }
  }
  if (enter && !chord) {
    HalveLean(e);
  } else if (textKey) {
    NoteTextKey(e);
  }
}

HookAction BackspaceSteps(Pipeline& p, WindowId foreground) {
  Engine& e = p.engine;
  const FocusFields& f = p.focus;
  if (p.OnScreenWord.empty()) {
    // Right after a word end: take the word back so a tone typed next corrects it in place.
    bool fieldAllows = p.InOwnTestBox ||
                       (!f.password && !f.inlineCompletion && !f.spreadsheet && f.window == p.ForegroundSeen);
    if (foreground == p.ForegroundSeen && fieldAllows && e.committed.justCommitted && e.options.bsEditOn &&
        !e.options.blocked && !EnglishOnlyField(e) && EngineIdle(e)) {
      std::u16string word = ReopenWord(e);
      if (word.empty()) return ResetAndPass(p);
      p.OnScreenWord = WithoutDroppedCharacters(word);  // as it was typed on screen
      LogLine("  lui: mo lai tu vua chot, %zu ky tu\n", p.OnScreenWord.size());
      return HookAction::Pass;  // the backspace itself removes the separator
    }
    return ResetAndPass(p);
  }
  // The application may delete a selection instead of our character: give up the word.
  if (!p.InOwnTestBox && (f.password || f.inlineCompletion)) return ResetAndPass(p);
  // The word was typed in another window: this backspace deletes something else.
  if (foreground != p.ForegroundSeen) return ResetAndPass(p);
  // The application deletes the last unit it shows, and the engine's word becomes exactly what
  // is left; a word the engine forgot is no longer ours to edit.
  std::u16string left = Backspace(e, p.OnScreenWord);
  if (EngineIdle(e)) {
    AbandonWord(p);  // bs_edit off: what is left stays as typed
  } else {
    p.OnScreenWord = std::move(left);  // the screen less its last character
  }
  LogLine("  lui: con %zu ky tu, che do %d\n", p.OnScreenWord.size(), static_cast<int>(e.word.mode));
  return HookAction::Pass;  // the backspace itself deletes one character
}

// Tab, Enter and the first Ctrl or Alt of a chord: the word is decided and corrected on
// screen first, with the key re-sent behind it in the same batch. True when output was sent.
bool CommitBeforeKey(Pipeline& p, const KeyEvent& event, WindowId foreground, bool ours) {
  Engine& e = p.engine;
  if (p.OnScreenWord.empty() || EngineIdle(e)) return false;
  if (!p.InOwnTestBox && (p.focus.password || ours)) return false;
  if (foreground != p.ForegroundSeen) return false;

  size_t before = e.committed.committedText.size();
  WordEnd(e, 0);
  // Both texts stay where they are (what was shown goes to the scratch, whose next use clears
  // it), so a word end allocates nothing; the committed text is trimmed once they are sent.
  std::u16string_view newText = std::u16string_view(e.committed.committedText)
                                    .substr(std::min(before, e.committed.committedText.size()));
  std::swap(p.nextText, p.OnScreenWord);
  p.OnScreenWord.clear();
  const std::u16string& oldText = p.nextText;
  if (newText == oldText) {
    TrimCommittedText(e);
    return false;
  }

  size_t common = CommonPrefix(oldText, newText);
  int backspaces = static_cast<int>(oldText.size() - common);
  std::u16string_view addition = newText.substr(common);
  LogLine("  chot truoc phim %02lX: xoa %d, them %d ky tu\n", static_cast<unsigned long>(event.vk),
          backspaces, static_cast<int>(addition.size()));
  bool completion = !p.InOwnTestBox && p.focus.inlineCompletion;
  OutputEdit edit{backspaces, addition, completion && backspaces >= 1, &event, completion};
  bool sent = SendEdit(p.batch, edit);
  TrimCommittedText(e);
  if (!sent) p.OutputBlocked = true;
  return sent;
}

HookAction SeparatorStep(Pipeline& p, char16_t c) {
  Engine& e = p.engine;
  size_t before = e.committed.committedText.size();
  WordEnd(e, c);
  std::u16string_view newText = std::u16string_view(e.committed.committedText)
                                    .substr(std::min(before, e.committed.committedText.size()));
  // Any separator after an unchanged word is the user's own key: an application that handles
  // injected characters badly (a console drops them) still gets it.
  bool letThrough = IsShownPlus(newText, p.OnScreenWord, c);
  // A failed send has abandoned the word; the separator itself still reaches the application.
  if (!letThrough && !SendReplacement(p, p.OnScreenWord, newText)) letThrough = true;
  p.OnScreenWord.clear();
  TrimCommittedText(e);
  return letThrough ? HookAction::Pass : HookAction::Swallow;
}

HookAction WordCharacterStep(Pipeline& p, char16_t c, bool shownIsOutput) {
  Engine& e = p.engine;
  bool sent = false;
  AddCharResult result = AddChar(e, c);
  if (result == AddCharResult::NewWord) {
    p.OnScreenWord.clear();
  } else if (result == AddCharResult::Redraw) {
    // The reopened word was committed and the keys after it replayed: redraw both.
    std::u16string word = WordOutput(e);
    std::u16string redraw = e.word.displayPrefix + word;
    if (redraw != p.OnScreenWord) {
      std::optional<std::u16string> shown = ReplaceOnScreen(p, p.OnScreenWord, redraw);
      // The word is abandoned: typing over it again would act on text we no longer know.
      if (!shown) return HookAction::Pass;
      sent = true;
      p.OnScreenWord = shown->starts_with(e.word.displayPrefix) ? shown->substr(e.word.displayPrefix.size())
                                                                : WithoutDroppedCharacters(word);
    } else {
      p.OnScreenWord = std::move(word);
    }
  }
  bool appended = AfterChar(e, c);
  bool typesAsIs = !sent && !p.ConflictingImeRunning && !ComposingLayout(p.currentLayout);
  if (typesAsIs && appended && shownIsOutput && result == AddCharResult::None) {
    p.OnScreenWord.push_back(c);  // a long word shown as typed: not read again
    p.shownIsOutput = true;
    return HookAction::Pass;
  }
  WordOutputInto(e, p.nextText);
  if (typesAsIs && IsShownPlus(p.nextText, p.OnScreenWord, c)) {
    std::swap(p.OnScreenWord, p.nextText);  // the real key types exactly this
    p.shownIsOutput = true;
    return HookAction::Pass;
  }
  // What was typed, not what was meant: the next diff starts from the screen. A failure has
  // abandoned the word; the key goes through as typed, so nothing the user typed is lost.
  std::optional<size_t> common = SendReplacement(p, p.OnScreenWord, p.nextText);
  if (!common) return HookAction::Pass;
  p.OnScreenWord.resize(*common);
  p.OnScreenWord += WithoutDroppedCharacters(std::u16string_view(p.nextText).substr(*common));
  return HookAction::Swallow;
}

HookAction CharacterSteps(Pipeline& p, const KeyEvent& event, WindowId foreground, bool ours,
                          bool shownIsOutput) {
  Engine& e = p.engine;
  if (ours && !p.InOwnTestBox) return ResetAndPass(p);  // our own windows, the test box aside

  // Checked at a word start, and whenever the window differs from the one last checked: a
  // word begun elsewhere must not carry our output into a window above us, nor a window above
  // us keep blocking the one we come back to.
  if (EngineIdle(e) || foreground != p.integrityCheckedFor) {
    p.OutputBlocked = ForegroundIntegrityHigher(foreground);
    p.integrityCheckedFor = foreground;
  }
  if (p.OutputBlocked) {
    LogLine("  BO QUA: foreground o muc toan ven cao hon\n");
    AbandonWord(p);  // the key lands after the last word: backspace must not reopen it
    return HookAction::Pass;
  }

  char16_t c = 0;
  KeyboardState state;
  if (os::ReadKeyboardState(state)) {
    p.currentLayout = os::ForegroundLayout(foreground);
    os::Translation t = os::TranslateKey(event.vk, event.scan, state, p.currentLayout);
    if (t.count == 1) c = t.units[0];  // dead keys and several units give nothing usable
  }
  if (LogIsOpen()) {
    LogLine("key vk=%02lX -> U+%04X  ctx=%d blocked=%d  fg=[%s]\n", static_cast<unsigned long>(event.vk),
            static_cast<unsigned>(c), static_cast<int>(p.focus.fieldClass), p.OutputBlocked ? 1 : 0,
            Utf16ToUtf8(os::WindowTitle(foreground, kLoggedTitleUnits)).c_str());
  }
  if (c < 0x20) return ResetAndPass(p);

  ContextClass fieldClass = p.InOwnTestBox ? ContextClass::Vietnamese : p.focus.fieldClass;
  bool blocked = !p.InOwnTestBox && p.focus.password;
  // Another class of field may show the word otherwise.
  shownIsOutput = shownIsOutput && fieldClass == e.options.fieldClass && blocked == e.options.blocked;
  SetField(e, fieldClass, blocked);
  if (e.options.blocked) {
    AbandonWord(p);
    ClearCommittedText(e);  // nothing typed here may be reopened later
    return HookAction::Pass;
  }
  if (foreground != p.ForegroundSeen) {
    if (p.ForegroundSeen) {
      AbandonWord(p);
      NewContext(e);  // the language memory starts again in another window
    }
    p.ForegroundSeen = foreground;
  }
  return IsWordSeparator(c) ? SeparatorStep(p, c) : WordCharacterStep(p, c, shownIsOutput);
}

HookAction HandleKey(Pipeline& p, const KeyEvent& event) {
  Engine& e = p.engine;
  bool injected = event.Injected();
  if (!injected) p.LastPhysicalInputTime = event.time;

  if (event.extraInfo == kOwnInputMarker) {  // our own output coming back
    if (event.down) {
      LogLine("  [tu chen quay lai] vk=%02lX scan=%04lX flags=%lX\n", static_cast<unsigned long>(event.vk),
              static_cast<unsigned long>(event.scan), static_cast<unsigned long>(event.flags));
    }
    return HookAction::Pass;
  }
  if (p.focusSource) p.focus = p.focusSource->Load();
  uint32_t waited = os::TickCount() - event.time;  // both wrap together after 49.7 days
  p.hookLatency.Add(waited);
  if (waited >= kLoggedWaitMs && LogIsOpen()) {
    LogLine("  cho %lu ms: vk=%02lX%s\n", static_cast<unsigned long>(waited),
            static_cast<unsigned long>(event.vk), event.down ? "" : " len");
  }

  if (p.hotkeyMode == 1 &&
      TrackKey(p.chord, event.vk, event.down, (event.scan & kAltGrCtrlScan) != 0, injected)) {
    ToggleVietnamese(p);
  }

  // Past the hook timeout Windows has already handed this key to the application without us:
  // the word on screen is no longer the one we hold. Nothing is rewritten; the next key starts
  // afresh.
  if (event.down && waited > p.hookTimeoutMs) {
    LogLine("  PHIM TRE %lu ms (qua %lu ms): Windows da cho qua, bo tu dang go\n",
            static_cast<unsigned long>(waited), static_cast<unsigned long>(p.hookTimeoutMs));
    AbandonWord(p);
    return HookAction::Pass;
  }

  if (event.down && p.ClickPending) {
    p.ClickPending = false;
    // A key injected right after a click on an on-screen keyboard: the caret has not moved.
    // With two clicks and no key between, the first one may have moved it.
    if (!p.ClickInjected && !p.ClickAfterClick && injected && event.time - p.ClickTime < kClickWindowMs) {
      ForgetWordEnd(e);
    } else {
      AbandonWord(p);
      HalveLean(e);  // the caret moved: a new line and sentence as far as we know
    }
  }

  if (p.SuspendPending && EngineIdle(e) && p.OnScreenWord.empty()) {
    p.SuspendPending = false;
    p.Suspended = true;
    p.VietnameseOn = false;
    if (p.mainWindow) os::PostToWindow(p.mainWindow, kMessageSuspended);
  }

  if (!p.VietnameseOn) {
    VietnameseOffSteps(p, event);
    ++p.letGo;
    return HookAction::Pass;
  }
  if (!event.down) return HookAction::Pass;
  // Only a word character that goes through as typed says the screen is the word's output.
  bool shownIsOutput = std::exchange(p.shownIsOutput, false);

  WindowId foreground = os::ForegroundWindow();
  bool ours = foreground != 0 && os::WindowIsOurs(foreground);
  p.InOwnTestBox = ours && os::FocusHasProperty(kVietBoxProperty);

  switch (event.vk) {
    case vk::kShift:
    case vk::kCapital:
    case vk::kNumLock:
    case vk::kScroll:
    case vk::kLShift:
    case vk::kRShift:
      return HookAction::Pass;
    default:
      break;
  }
  if (ChordModifierDown()) return ResetAndPass(p);  // every shortcut abandons the word

  switch (event.vk) {
    case vk::kBack:
      return BackspaceSteps(p, foreground);
    case vk::kTab:
    case vk::kReturn: {
      bool sent = CommitBeforeKey(p, event, foreground, ours);
      if (event.vk == vk::kReturn) HalveLean(e);
      AbandonWord(p);
      return sent ? HookAction::Swallow : HookAction::Pass;
    }
    case vk::kEscape:
    case vk::kDelete:
      return ResetAndPass(p);
    case vk::kLControl:
    case vk::kRControl:
    case vk::kLMenu:
    case vk::kRMenu:
      if (event.scan & kAltGrCtrlScan) return ResetAndPass(p);  // AltGr: abandon, never commit
      if (CommitBeforeKey(p, event, foreground, ours)) {
        AbandonWord(p);
        return HookAction::Swallow;
      }
      return ResetAndPass(p);
    default:
      if (event.vk >= vk::kPrior && event.vk <= vk::kDown) return ResetAndPass(p);
      return CharacterSteps(p, event, foreground, ours, shownIsOutput);
  }
}

}  // namespace

std::optional<size_t> SendReplacement(Pipeline& p, std::u16string_view oldText, std::u16string_view newText) {
  size_t common = CommonPrefix(oldText, newText);
  int backspaces = static_cast<int>(oldText.size() - common);
  std::u16string_view addition = newText.substr(common);
  if (backspaces == 0 && addition.empty()) return common;
  // A selected completion after the caret would swallow the first backspace.
  bool deleteFirst = backspaces >= 1 && !p.InOwnTestBox && p.focus.inlineCompletion;
  LogLine("  diff: xoa %d, them %d ky tu%s\n", backspaces, static_cast<int>(addition.size()),
          deleteFirst ? "  (bo phan boi den truoc)" : "");
  if (!SendEdit(p.batch, OutputEdit{backspaces, addition, deleteFirst})) {
    AbandonWord(p);
    p.OutputBlocked = true;
    return std::nullopt;
  }
  return common;
}

std::optional<std::u16string> ReplaceOnScreen(Pipeline& p, std::u16string_view oldText,
                                              std::u16string_view newText) {
  std::u16string shown(oldText);  // a failed send abandons the word, and oldText may be its screen
  std::optional<size_t> common = SendReplacement(p, oldText, newText);
  if (!common) return std::nullopt;
  shown.resize(*common);
  shown += WithoutDroppedCharacters(newText.substr(*common));
  return shown;
}

HookAction KeyboardHookProc(Pipeline& p, const KeyEvent& event) {
  try {
    return HandleKey(p, event);
  } catch (...) {
    // Nothing throws across the hook: the key goes through and the word is given up.
    LogLine("  LOI: phim %02lX cho qua\n", static_cast<unsigned long>(event.vk));
    AbandonWord(p);
    return HookAction::Pass;
  }
}

}  // namespace tonvira
