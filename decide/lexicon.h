// The two shipped word lists, loaded once at start-up and read-only afterwards.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decide/word_pairs.h"

namespace tonvira {

// en_words.txt: lower-case ASCII words with a frequency level (1 most frequent), as one sorted
// index: a word's level is a binary search, and prefix queries narrow ranges of it. The index
// points into `storage`: the text's own parse, or the compact form read from disk (word_lists.h).
struct EnglishWords {
  // Where a word lies in `buffer`, with its level.
  struct Span {
    uint32_t offset = 0;
    uint16_t size = 0;
    uint8_t level = 0;
    uint8_t unused = 0;
  };
  std::string_view buffer;       // every word back to back
  std::span<const Span> sorted;  // sorted by the words (the lengths are kept: no comparison looks for an end)
  // Where the words with each first byte begin in `sorted` (and, at 256, where they end): the
  // first letter of a prefix query is a look-up, not a search of the whole list.
  std::array<uint32_t, 257> firstLetterStart = {};
  // Inside the words of each first letter a-z, where those whose second byte is at least
  // a, b, ... z, and past z, begin: a prefix query's second letter is a look-up too.
  static constexpr size_t kPairColumns = 27;
  std::array<uint32_t, 26 * kPairColumns> secondLetterStart = {};
  uint64_t generation = 0;  // new at every build of the index: prefix queries remember ranges in it
  std::shared_ptr<const void> storage;

  size_t size() const { return sorted.size(); }
  bool empty() const { return sorted.empty(); }
};

// A newly built or read index: prefix queries forget the ranges they remembered.
void NewGeneration(EnglishWords& words);

// vi_syllables.txt, keyed by SyllableKey: one flat table, found through an open-addressing
// hash of the key (the same hash on every machine, so that the compact form can keep it).
struct Syllables {
  static constexpr uint8_t kDFlag = 1;  // the đ form is far more common
  static constexpr uint8_t kRFlag = 2;  // a rare hỏi from English
  std::u16string_view keys;             // every key back to back
  std::span<const uint32_t> ends;       // where key i ends (it begins where key i - 1 ends)
  std::span<const uint8_t> frequency;   // per key
  std::span<const uint8_t> flags;       // per key
  std::span<const uint32_t> slots;      // a power of two of them: key index + 1, or 0 for none
  std::shared_ptr<const void> storage;

  size_t size() const { return ends.size(); }
  bool empty() const { return ends.empty(); }
};

// The hash the syllable table is laid out by.
uint32_t SyllableSlotHash(std::u16string_view key);

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
