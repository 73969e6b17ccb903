// The shipped word lists as the program and tonvira-sim load them at start: from the compact
// form when it was made from the same text, else from the text, after which the compact form
// is written again for the next start.
#pragma once

#include <string>

#include "decide/decision_input.h"
#include "decide/lexicon.h"

namespace tonvira {

// Paths as the file seam takes them (config/file_system.h).
struct WordListFiles {
  std::u16string english;    // en_words.txt: needed
  std::u16string syllables;  // vi_syllables.txt and word_pairs.txt: they help
  std::u16string pairs;
  std::u16string compact;  // where the compact form is kept; empty: the text only
};

struct WordListsLoaded {
  bool english = false;
  bool syllables = false;
  bool pairs = false;
  bool fromCompact = false;     // the compact form matched the text and was used
  bool compactWritten = false;  // it did not, and was written again
};

WordListsLoaded LoadWordLists(Lexicon& lexicon, const WordListFiles& files);

// The decisions read the lists that are there; an empty one is no list.
void UseWordLists(EngineOptions& options, const Lexicon& lexicon);

}  // namespace tonvira
