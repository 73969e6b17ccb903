// The two shipped word lists, loaded once at start-up and read-only afterwards.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "decide/word_pairs.h"
#include "text/string_hash.h"

namespace tonvira {

// en_words.txt: lower-case ASCII words with a frequency level (1 most frequent), as one sorted
// index: a word's level is a binary search, and prefix queries narrow ranges of it.
struct EnglishWords {
  // Every word back to back, and where each one lies in it with its level, sorted by the words
  // (the lengths are kept so that no comparison looks for an end).
  struct Span {
    uint32_t offset = 0;
    uint32_t size = 0;
    uint8_t level = 0;
  };
  std::string buffer;
  std::vector<Span> sorted;
  // Where the words with each first byte begin in `sorted` (and, at 256, where they end): the
  // first letter of a prefix query is a look-up, not a search of the whole list.
  std::array<uint32_t, 257> firstLetterStart = {};
  // Inside the words of each first letter a-z, where those whose second byte is at least
  // a, b, ... z, and past z, begin: a prefix query's second letter is a look-up too.
  static constexpr size_t kPairColumns = 27;
  std::array<uint32_t, 26 * kPairColumns> secondLetterStart = {};
  uint64_t generation = 0;  // new at every build of the index: prefix queries remember ranges in it

  size_t size() const { return sorted.size(); }
  bool empty() const { return sorted.empty(); }
};

// vi_syllables.txt, keyed by SyllableKey.
struct Syllables {
  std::unordered_map<std::u16string, uint8_t, U16StringHash, std::equal_to<>> frequency;
  std::unordered_set<std::u16string, U16StringHash, std::equal_to<>> dFlagged;  // đ form far more common
  std::unordered_set<std::u16string, U16StringHash, std::equal_to<>> rFlagged;  // rare hỏi from English
};

struct Lexicon {
  EnglishWords english;
  Syllables syllables;
  WordPairs pairs;  // optional: without it the word before is no evidence
};

// Syllable lines without a frequency column get this.
inline constexpr uint8_t kDefaultSyllableFrequency = 1;

// Pairs of word and level until the first pair that cannot be read; true when a word was stored.
bool ParseEnglishWords(EnglishWords& words, std::string_view bytes);
bool LoadEnglishWords(Lexicon& lexicon, const std::filesystem::path& path);
// One syllable a line: word[/note][TAB frequency[TAB flag]]; true when the map is not empty.
bool ParseSyllables(Syllables& syllables, std::string_view bytes, uint8_t defaultFrequency);
bool LoadSyllables(Lexicon& lexicon, const std::filesystem::path& path, uint8_t defaultFrequency);

// 0 when the list is not loaded (null), the word is empty, has a character above U+007F,
// or is not listed; A-Z are lowered first.
uint8_t EnglishLevel(const EnglishWords* words, std::u16string_view word);
// Whether some English word begins with the word (A-Z lowered). Asked again as the word grows,
// it narrows the range it found for the word before (kept per thread), so a key costs a
// search among the words that share the prefix, not a search of the whole list.
bool IsEnglishPrefix(const EnglishWords& words, std::u16string_view word);

uint8_t SyllableFrequency(const Syllables& syllables, std::u16string_view word);
bool IsDFlagged(const Syllables& syllables, std::u16string_view word);
bool IsRFlagged(const Syllables& syllables, std::u16string_view word);
// A d-flagged syllable this rare is doubtful: the đ form is what the typist meant.
bool IsDoubtfulSyllable(const Syllables& syllables, std::u16string_view word);

}  // namespace tonvira
