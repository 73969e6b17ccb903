// word_pairs.txt: how often a word follows another in Vietnamese text and in English text,
// for the words whose Telex keys are English and also spell a Vietnamese syllable. Loaded
// once at start-up, read once per word end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tonvira {

enum class PairLanguage : char16_t { Vietnamese = u'v', English = u'e' };

// One sorted table: every entry is "language previous-key word-key" (keys normalised as
// syllable keys, so hoà and hòa meet) followed by NUL, in one buffer.
struct WordPairs {
  std::u16string_view buffer;  // ends with NUL
  std::span<const uint32_t> sortedOffsets;
  std::span<const uint8_t> scores;      // by position in sortedOffsets
  std::shared_ptr<const void> storage;  // what the views point into
};

// Lines "L TAB previous TAB word TAB score" (L is v or e; further columns are ignored);
// comment lines start with #. Unreadable lines are skipped. True when a pair was stored.
bool ParseWordPairs(WordPairs& pairs, std::string_view bytes);
bool LoadWordPairs(WordPairs& pairs, const std::filesystem::path& path);

// The pair's score: 1 + 10 log10 of its occurrences per million pairs of that language's
// text; 0 when the pair was not seen. Does not allocate.
uint8_t PairScore(const WordPairs& pairs, PairLanguage language, std::u16string_view previous,
                  std::u16string_view word);

// The word right before the end of the committed text, when only spaces part it from the
// word being decided: "là" in "sau đó là ". Empty at the start of a line, after punctuation,
// or after a token that is no word (a number, a file name).
std::u16string_view PreviousWord(std::u16string_view committedText);

}  // namespace tonvira
