#include "decide/lexicon.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <optional>

#include "decide/ascii_word.h"
#include "decide/data_lines.h"
#include "decide/syllable_key.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

constexpr size_t kEnglishReserve = 120000;
constexpr size_t kSyllableBuckets = 8192;
constexpr size_t kMaxSyllableKey = 32;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLowerLetter(char c) {
  return c >= 'a' && c <= 'z';
}

// Reads leading digits as an unsigned number and keeps its low 8 bits.
uint8_t LowByteOfNumber(std::string_view s, size_t& pos) {
  uint8_t value = 0;
  while (pos < s.size() && IsDigit(s[pos])) value = static_cast<uint8_t>(value * 10 + (s[pos++] - '0'));
  return value;
}

std::string_view WordAt(const EnglishWords& words, EnglishWords::Span span) {
  return std::string_view(words.buffer).substr(span.offset, span.size);
}

// en_words.txt lists its words by level, each level's block in alphabetical order: merging its
// ascending runs (a few passes over the list) sorts it much faster than sorting it afresh, and
// any other order still comes out sorted.
template <typename Less>
void MergeAscendingRuns(std::vector<EnglishWords::Span>& spans, Less less) {
  std::vector<size_t> bounds = {0};
  for (size_t i = 1; i < spans.size(); ++i) {
    if (less(spans[i], spans[i - 1])) bounds.push_back(i);
  }
  bounds.push_back(spans.size());
  while (bounds.size() > 2) {
    std::vector<size_t> merged = {0};
    for (size_t k = 0; k + 2 < bounds.size(); k += 2) {
      std::inplace_merge(spans.begin() + static_cast<ptrdiff_t>(bounds[k]),
                         spans.begin() + static_cast<ptrdiff_t>(bounds[k + 1]),
                         spans.begin() + static_cast<ptrdiff_t>(bounds[k + 2]), less);
      merged.push_back(bounds[k + 2]);
    }
    if (merged.back() != bounds.back()) merged.push_back(bounds.back());  // an odd run waits
    bounds = std::move(merged);
  }
}

// The words in file order are sorted once; of a word listed twice the first stays (its level
// is the one the list gives first).
void SortIndex(EnglishWords& words) {
  auto less = [&words](EnglishWords::Span a, EnglishWords::Span b) {
    std::string_view x = WordAt(words, a);
    std::string_view y = WordAt(words, b);
    return x < y || (x == y && a.offset < b.offset);
  };
  MergeAscendingRuns(words.sorted, less);
  auto same = [&words](EnglishWords::Span a, EnglishWords::Span b) {
    return WordAt(words, a) == WordAt(words, b);
  };
  words.sorted.erase(std::unique(words.sorted.begin(), words.sorted.end(), same), words.sorted.end());
  words.firstLetterStart.fill(0);
  for (EnglishWords::Span span : words.sorted)
    ++words.firstLetterStart[static_cast<unsigned char>(words.buffer[span.offset]) + 1];
  for (size_t c = 1; c < words.firstLetterStart.size(); ++c)
    words.firstLetterStart[c] += words.firstLetterStart[c - 1];
  for (size_t f = 0; f < 26; ++f) {
    auto first = words.sorted.begin() + words.firstLetterStart['a' + f];
    auto last = words.sorted.begin() + words.firstLetterStart['a' + f + 1];
    for (size_t k = 0; k < EnglishWords::kPairColumns; ++k) {
      // A one-letter word sorts before every second byte.
      auto at = std::partition_point(first, last, [&](EnglishWords::Span span) {
        return span.size < 2 || static_cast<unsigned char>(words.buffer[span.offset + 1]) < 'a' + k;
      });
      words.secondLetterStart[f * EnglishWords::kPairColumns + k] =
          static_cast<uint32_t>(at - words.sorted.begin());
    }
  }
  static std::atomic<uint64_t> builds{0};
  words.generation = ++builds;
}

// The sorted words that begin with the first `depth` letters of `text`, for every depth: the
// range for a longer word is found inside the range of its prefix.
struct PrefixCursor {
  struct Range {
    uint32_t begin = 0;
    uint32_t end = 0;
  };
  const EnglishWords* words = nullptr;
  uint64_t generation = 0;
  size_t depth = 0;
  char text[kMaxAsciiWord] = {};
  Range ranges[kMaxAsciiWord + 1];
};

// Inside a range of words sharing their first `depth` letters, those whose next letter is `c`
// (a word that ends there sorts first).
PrefixCursor::Range Narrow(const EnglishWords& words, PrefixCursor::Range r, size_t depth, char c) {
  auto letterAt = [&](EnglishWords::Span span) {
    return span.size > depth ? static_cast<int>(static_cast<unsigned char>(words.buffer[span.offset + depth]))
                             : -1;
  };
  int wanted = static_cast<unsigned char>(c);
  auto first = words.sorted.begin() + r.begin;
  auto last = words.sorted.begin() + r.end;
  auto lo = std::partition_point(first, last, [&](EnglishWords::Span s) { return letterAt(s) < wanted; });
  auto hi = std::partition_point(lo, last, [&](EnglishWords::Span s) { return letterAt(s) == wanted; });
  return {static_cast<uint32_t>(lo - words.sorted.begin()), static_cast<uint32_t>(hi - words.sorted.begin())};
}

PrefixCursor::Range PrefixRange(const EnglishWords& words, std::string_view word) {
  static thread_local PrefixCursor cursor;
  if (cursor.words != &words || cursor.generation != words.generation) {
    cursor.words = &words;
    cursor.generation = words.generation;
    cursor.depth = 0;
    cursor.ranges[0] = {0, static_cast<uint32_t>(words.sorted.size())};
  }
  size_t common = 0;
  while (common < cursor.depth && common < word.size() && cursor.text[common] == word[common]) ++common;
  cursor.depth = common;
  while (cursor.depth < word.size()) {
    size_t d = cursor.depth;
    cursor.text[d] = word[d];
    if (d == 0) {  // every listed word has a first letter
      unsigned char first = static_cast<unsigned char>(word[0]);
      cursor.ranges[1] = {words.firstLetterStart[first], words.firstLetterStart[first + 1u]};
    } else if (d == 1 && IsLowerLetter(word[0]) && IsLowerLetter(word[1])) {
      const uint32_t* row =
          &words.secondLetterStart[static_cast<size_t>(word[0] - 'a') * EnglishWords::kPairColumns];
      size_t second = static_cast<size_t>(word[1] - 'a');
      cursor.ranges[2] = {row[second], row[second + 1]};
    } else {
      cursor.ranges[d + 1] = Narrow(words, cursor.ranges[d], d, word[d]);
    }
    cursor.depth = d + 1;
  }
  return cursor.ranges[word.size()];
}

void AddSyllable(Syllables& syllables, std::u16string_view word, uint8_t frequency, char flag) {
  char16_t buffer[kMaxSyllableKey];
  std::u16string_view key = SyllableKeyInto(word, buffer, std::size(buffer));
  if (key.empty()) return;  // no syllable is that long
  auto [it, inserted] = syllables.frequency.emplace(key, frequency);
  if (!inserted) it->second = std::max(it->second, frequency);  // hòa and hoà share one entry
  if (flag == 'd') syllables.dFlagged.emplace(key);
  if (flag == 'r') syllables.rFlagged.emplace(key);
}

template <typename Set>
bool HasKey(const Set& set, std::u16string_view word) {
  char16_t buffer[kMaxSyllableKey];
  std::u16string_view key = SyllableKeyInto(word, buffer, std::size(buffer));
  return !key.empty() && set.contains(key);
}

}  // namespace

bool ParseEnglishWords(EnglishWords& words, std::string_view bytes) {
  // Words parsed before stay, and keep their levels.
  words.buffer.reserve(words.buffer.size() + bytes.size());
  words.sorted.reserve(words.sorted.size() + kEnglishReserve);
  size_t pos = 0;
  while (true) {
    while (pos < bytes.size() && IsSpace(bytes[pos])) ++pos;
    size_t start = pos;
    while (pos < bytes.size() && !IsSpace(bytes[pos])) ++pos;
    if (start == pos) break;
    std::string_view word = bytes.substr(start, pos - start);
    while (pos < bytes.size() && IsSpace(bytes[pos])) ++pos;
    if (pos >= bytes.size() || !IsDigit(bytes[pos])) break;  // a pair that cannot be read ends the list
    uint8_t level = LowByteOfNumber(bytes, pos);
    if (level == 0) continue;
    words.sorted.push_back(
        {static_cast<uint32_t>(words.buffer.size()), static_cast<uint32_t>(word.size()), level});
    words.buffer.append(word);
  }
  SortIndex(words);
  return !words.sorted.empty();
}

bool LoadEnglishWords(Lexicon& lexicon, const std::filesystem::path& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  return bytes && ParseEnglishWords(lexicon.english, *bytes);
}

bool ParseSyllables(Syllables& syllables, std::string_view bytes, uint8_t defaultFrequency) {
  syllables.frequency.reserve(kSyllableBuckets);
  size_t pos = 0;
  std::string_view line;
  while (NextDataLine(bytes, pos, line)) {
    size_t tab = line.find('\t');
    std::string_view word = line.substr(0, std::min(tab, line.find('/')));  // "/" starts a note
    uint8_t frequency = defaultFrequency;
    char flag = 0;
    if (tab != std::string_view::npos) {
      size_t pos = tab + 1;
      frequency = LowByteOfNumber(line, pos);
      size_t secondTab = line.find('\t', tab + 1);
      if (secondTab != std::string_view::npos && secondTab + 1 < line.size()) flag = line[secondTab + 1];
    }

    std::u16string text = Utf8ToUtf16(word);
    if (text.empty() || text.find(u' ') != std::u16string::npos || (text[0] >= u'0' && text[0] <= u'9'))
      continue;
    AddSyllable(syllables, text, frequency, flag);
  }
  return !syllables.frequency.empty();
}

bool LoadSyllables(Lexicon& lexicon, const std::filesystem::path& path, uint8_t defaultFrequency) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  return bytes && ParseSyllables(lexicon.syllables, *bytes, defaultFrequency);
}

uint8_t EnglishLevel(const EnglishWords* words, std::u16string_view word) {
  if (!words) return 0;
  AsciiWord ascii = LowerAscii(word);
  if (!ascii.valid) return 0;
  // The words that begin with it, narrowed from the range of its prefix as it grew: the word
  // itself, when listed, sorts first among them.
  PrefixCursor::Range range = PrefixRange(*words, ascii.view());
  if (range.begin == range.end || words->sorted[range.begin].size != ascii.size) return 0;
  return words->sorted[range.begin].level;
}

bool IsEnglishPrefix(const EnglishWords& words, std::u16string_view word) {
  AsciiWord ascii = LowerAscii(word);
  if (!ascii.valid) return false;
  PrefixCursor::Range range = PrefixRange(words, ascii.view());
  return range.begin < range.end;
}

uint8_t SyllableFrequency(const Syllables& syllables, std::u16string_view word) {
  char16_t buffer[kMaxSyllableKey];
  std::u16string_view key = SyllableKeyInto(word, buffer, std::size(buffer));
  if (key.empty()) return 0;
  auto it = syllables.frequency.find(key);
  return it == syllables.frequency.end() ? 0 : it->second;
}

bool IsDFlagged(const Syllables& syllables, std::u16string_view word) {
  return HasKey(syllables.dFlagged, word);
}
bool IsRFlagged(const Syllables& syllables, std::u16string_view word) {
  return HasKey(syllables.rFlagged, word);
}

bool IsDoubtfulSyllable(const Syllables& syllables, std::u16string_view word) {
  return IsDFlagged(syllables, word) && SyllableFrequency(syllables, word) <= 2;
}

}  // namespace tonvira
