#include "decide/word_lists.h"

#include <optional>
#include <string>

#include "config/file_system.h"
#include "decide/data_lines.h"
#include "decide/word_list_image.h"
#include "decide/word_pairs.h"

namespace tonvira {
namespace {

// Written beside and then moved over the old one: a reader never sees half a form (and would
// refuse it).
bool WriteImageFile(std::u16string_view path, std::string_view bytes) {
  std::u16string partial = std::u16string(path) + u".partial";
  if (WriteFileBytes(partial, bytes) && MoveFileOver(partial, path)) return true;
  RemoveFile(partial);
  return false;
}

}  // namespace

WordListsLoaded LoadWordLists(Lexicon& lexicon, const WordListFiles& files) {
  WordListsLoaded loaded;
  std::optional<std::string> english = ReadWholeFile(files.english);
  std::optional<std::string> syllables = ReadWholeFile(files.syllables);
  std::optional<std::string> pairs = ReadWholeFile(files.pairs);
  WordListStamps stamps{StampOf(english), StampOf(syllables), StampOf(pairs), kDefaultSyllableFrequency};

  if (english && !files.compact.empty()) {
    if (std::optional<std::string> image = ReadWholeFile(files.compact);
        image && ReadWordListImage(ImageBytesOf(*image), stamps, lexicon)) {
      loaded.fromCompact = true;
      loaded.english = !lexicon.english.empty();
      loaded.syllables = !lexicon.syllables.empty();
      loaded.pairs = !lexicon.pairs.scores.empty();
      return loaded;
    }
  }
  loaded.english = english && ParseEnglishWords(lexicon.english, *english);
  loaded.syllables = syllables && ParseSyllables(lexicon.syllables, *syllables, kDefaultSyllableFrequency);
  loaded.pairs = pairs && ParseWordPairs(lexicon.pairs, *pairs);
  if (loaded.english && !files.compact.empty()) {
    loaded.compactWritten = WriteImageFile(files.compact, WordListImage(lexicon, stamps));
  }
  return loaded;
}

void UseWordLists(EngineOptions& options, const Lexicon& lexicon) {
  options.englishWords = lexicon.english.empty() ? nullptr : &lexicon.english;
  options.vietSyllables = lexicon.syllables.empty() ? nullptr : &lexicon.syllables;
  options.wordPairs = lexicon.pairs.scores.empty() ? nullptr : &lexicon.pairs;
}

}  // namespace tonvira
