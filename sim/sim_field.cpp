#include "sim/sim_field.h"

#include "engine/backspace.h"
#include "engine/key_path.h"
#include "engine/word_end.h"
#include "engine/word_output.h"

namespace tonvira {

void SimField::TakeCommitted(size_t before) {
  if (before <= engine_.committed.committedText.size()) text_.append(engine_.committed.committedText, before);
  TrimCommittedText(engine_);
}

void SimField::Commit() {
  size_t before = engine_.committed.committedText.size();
  WordEnd(engine_, 0);
  TakeCommitted(before);
}

void SimField::Abandon() {
  text_ += WordOutput(engine_);  // what was shown stays in the application
  size_t before = engine_.committed.committedText.size();
  AbandonWord(engine_);
  // An untouched reopened word goes back into the committed text: it is on screen already.
  if (engine_.committed.committedText.size() > before) engine_.committed.committedText.resize(before);
}

void SimField::Backspace() {
  if (!EngineIdle(engine_)) {
    std::u16string shown = WordOutput(engine_);
    tonvira::Backspace(engine_, shown);
    // A word the engine let go of (its last character, or backspace editing off) stays on
    // screen as it was, less the deleted character.
    if (EngineIdle(engine_)) text_.append(shown, 0, shown.size() - 1);
    return;
  }
  if (text_.empty()) return;
  text_.pop_back();  // the application deletes the separator (or a character)
  std::u16string reopened = ReopenWord(engine_);
  if (!reopened.empty() && reopened.size() <= text_.size()) {
    text_.resize(text_.size() - reopened.size());  // the word is being typed again
  } else {
    engine_.committed.justCommitted = 0;
  }
}

void SimField::Type(char16_t c) {
  if (c == u'\r') return;
  if (c == u'\n' || c == u'\t') {
    Commit();
    text_.push_back(c);
    if (c == u'\n') HalveLean(engine_);
    return;
  }
  size_t before = engine_.committed.committedText.size();
  if (IsWordSeparator(c)) {
    WordEnd(engine_, c);
    TakeCommitted(before);
    return;
  }
  AddChar(engine_, c);
  TakeCommitted(before);  // a reopened word committed by this key
  AfterChar(engine_, c);
}

void SimField::TypeKeys(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != u'{') {
      Type(text[i++]);
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == u'{') {
      Type(u'{');
      i += 2;
      continue;
    }
    size_t close = text.find(u'}', i);
    std::u16string_view name = close == std::u16string_view::npos ? u"" : text.substr(i + 1, close - i - 1);
    if (name == u"BS") {
      Backspace();
    } else if (name == u"ENTER") {
      Type(u'\n');
    } else if (name == u"TAB") {
      Type(u'\t');
    } else if (name == u"ESC" || name == u"LEFT" || name == u"RIGHT" || name == u"UP" || name == u"DOWN" ||
               name == u"HOME" || name == u"END" || name == u"DEL" || name == u"CLICK") {
      Abandon();
    } else {
      Type(text[i++]);  // not a key name: the brace is typed
      continue;
    }
    i = close + 1;
  }
}

std::u16string SimField::Text() const {
  return text_ + WordOutput(engine_);
}

}  // namespace tonvira
