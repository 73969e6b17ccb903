#include "sim/sim_field.h"

#include "decide/word_end.h"
#include "engine/key_path.h"
#include "engine/word_output.h"

namespace tonvira {

void SimField::TakeCommitted(size_t before) {
  text_.append(engine_.committedText, before);
  TrimCommittedText(engine_);
}

void SimField::Commit() {
  size_t before = engine_.committedText.size();
  WordEnd(engine_, 0);
  TakeCommitted(before);
}

void SimField::Type(char16_t c) {
  if (c == u'\r') return;
  if (c == u'\n' || c == u'\t') {
    Commit();
    text_.push_back(c);
    if (c == u'\n') HalveLean(engine_);
    return;
  }
  if (IsWordSeparator(c)) {
    size_t before = engine_.committedText.size();
    WordEnd(engine_, c);
    TakeCommitted(before);
    return;
  }
  AddChar(engine_, c);
  AfterChar(engine_, c);
}

std::u16string SimField::Text() const {
  return text_ + WordOutput(engine_);
}

}  // namespace tonvira
