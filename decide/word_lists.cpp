#include "decide/word_lists.h"

#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "decide/data_lines.h"
#include "decide/word_list_image.h"
#include "decide/word_pairs.h"

namespace tonvira {
namespace {

std::optional<ImageBytes> ReadImageFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  std::streamoff size = in.tellg();
  if (size <= 0) return std::nullopt;
  ImageBytes image{std::shared_ptr<std::byte[]>(new std::byte[static_cast<size_t>(size)]),
                   static_cast<size_t>(size)};
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(image.data.get()), size)) return std::nullopt;
  return image;
}

// Written beside and then put in place: a reader never sees half a form (and would refuse it).
bool WriteImageFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path partial = path;
  partial += ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) {  // a system whose rename does not replace
    std::filesystem::remove(path, error);
    std::filesystem::rename(partial, path, error);
  }
  if (!error) return true;
  std::error_code ignored;  // the failed move is the answer, whatever the clean-up does
  std::filesystem::remove(partial, ignored);
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
    if (std::optional<ImageBytes> image = ReadImageFile(files.compact);
        image && ReadWordListImage(*image, stamps, lexicon)) {
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
