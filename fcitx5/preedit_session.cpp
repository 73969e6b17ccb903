#include "fcitx5/preedit_session.h"

#include "engine/backspace.h"
#include "engine/key_path.h"
#include "engine/word_end.h"
#include "engine/word_output.h"

namespace tonvira {
namespace {

size_t CodePoints(std::u16string_view text) {
  size_t count = 0;
  for (char16_t c : text) count += !(c >= 0xDC00 && c <= 0xDFFF);  // a low surrogate ends a pair
  return count;
}

}  // namespace

void PreeditSession::SetField(std::u16string_view program, ContextClass fieldClass, bool blocked,
                              bool mayReopen) {
  if (program != program_) {
    NewContext(engine_);  // the language memory starts again in another program
    program_ = program;
  }
  tonvira::SetField(engine_, fieldClass, blocked);
  mayReopen_ = mayReopen;
}

const FieldEdit& PreeditSession::Fresh() {
  edit_.deleteBefore = 0;
  edit_.commit.clear();
  edit_.preedit.clear();
  edit_.keyHandled = false;
  return edit_;
}

const FieldEdit& PreeditSession::CommittedSince(size_t before, bool keyHandled) {
  Fresh();
  const std::u16string& committed = engine_.committed.committedText;
  if (before < committed.size()) edit_.commit.assign(committed, before);
  TrimCommittedText(engine_);
  ShowWord();
  edit_.keyHandled = keyHandled;
  return edit_;
}

void PreeditSession::ShowWord() {
  if (!engine_.options.blocked) WordOutputInto(engine_, edit_.preedit);
}

const FieldEdit& PreeditSession::TypeCharacter(char16_t c) {
  Engine& e = engine_;
  if (e.options.blocked) {  // a password field: its keys are not ours, nothing of it is kept
    AbandonWord(e);
    ClearCommittedText(e);
    return Fresh();
  }
  size_t before = e.committed.committedText.size();
  if (IsWordSeparator(c)) {
    bool idle = EngineIdle(e);
    WordEnd(e, c);
    CommittedSince(before, true);
    // A separator after no word is the user's own key: the application handles it as it likes.
    if (idle && edit_.commit.size() == 1 && edit_.commit[0] == c) {
      edit_.commit.clear();
      edit_.keyHandled = false;
    }
    return edit_;
  }
  AddChar(e, c);  // a reopened word may be committed here, as it was or as edited
  AfterChar(e, c);
  return CommittedSince(before, true);
}

const FieldEdit& PreeditSession::Backspace(const std::u16string* beforeCaret) {
  Engine& e = engine_;
  Fresh();
  if (e.options.blocked) return edit_;
  if (!EngineIdle(e)) {
    WordOutputInto(e, edit_.commit);  // what is shown before the backspace
    tonvira::Backspace(e, edit_.commit);
    edit_.keyHandled = true;
    if (EngineIdle(e)) {
      // The word is gone (its last character) or forgotten (backspace editing off): what is left
      // of it stays as it was shown.
      if (!edit_.commit.empty()) edit_.commit.pop_back();
    } else {
      edit_.commit.clear();
      ShowWord();
    }
    return edit_;
  }
  // Right after a word and its space: the word comes back into the preedit, so that a tone
  // typed next corrects it in place. Only when the application shows that it is still there.
  const std::u16string& word = e.committed.lastWordText;
  bool stillThere =
      beforeCaret && !word.empty() && beforeCaret->size() > word.size() && beforeCaret->back() == u' ' &&
      std::u16string_view(*beforeCaret).substr(beforeCaret->size() - word.size() - 1, word.size()) == word;
  if (mayReopen_ && stillThere) {
    std::u16string reopened = ReopenWord(e);
    if (!reopened.empty()) {
      edit_.deleteBefore = CodePoints(reopened) + 1;
      ShowWord();
      edit_.keyHandled = true;
      return edit_;
    }
  }
  AbandonWord(e);  // the application deletes a character; nothing is reopened after it
  return edit_;
}

const FieldEdit& PreeditSession::CommitWord(bool lineEnd) {
  Engine& e = engine_;
  Fresh();
  if (!e.options.blocked && !EngineIdle(e)) {
    size_t before = e.committed.committedText.size();
    WordEnd(e, 0);
    CommittedSince(before, false);
  }
  if (lineEnd) HalveLean(e);
  return edit_;
}

const FieldEdit& PreeditSession::KeepWordAsShown() {
  Fresh();
  ShowWord();
  std::swap(edit_.commit, edit_.preedit);  // the word shown is committed, nothing is left shown
  AbandonWord(engine_);
  return edit_;
}

}  // namespace tonvira
