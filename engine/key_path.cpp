#include "engine/key_path.h"

#include "decide/live_verdict.h"
#include "engine/word_output.h"

namespace tonvira {

AddCharResult AddChar(Engine& e, char16_t) {
  bool newWord = EngineIdle(e);
  e.justCommitted = 0;
  return newWord ? AddCharResult::NewWord : AddCharResult::None;
}

void AfterChar(Engine& e, char16_t c) {
  // The split of "vaf/" before a letter comes with backspace editing.
  e.keys.push_back(c);
  UpdateLiveVerdict(e);
  if (!e.expectedOutput.empty() && (e.mode != 0 || !WordOutput(e).starts_with(e.expectedOutput))) {
    e.expectedOutput.clear();
  }
}

}  // namespace tonvira
