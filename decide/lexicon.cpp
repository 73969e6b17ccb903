#include "decide/lexicon.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <map>
#include <memory>
#include <optional>

#include "decide/ascii_word.h"
#include "decide/data_lines.h"
#include "decide/syllable_key.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

constexpr size_t kEnglishReserve = 120000;
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

// What a parse of en_words.txt owns; the index views it.
struct ParsedEnglish {
  std::string buffer;
  std::vector<EnglishWords::Span> sorted;
};

// What a parse of vi_syllables.txt owns; the table views it.
struct ParsedSyllables {
  std::u16string keys;
  std::vector<uint32_t> ends;
  std::vector<uint8_t> frequency;
  std::vector<uint8_t> flags;
  std::vector<uint32_t> slots;
};

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

}  // namespace

void NewGeneration(EnglishWords& words) {
  static std::atomic<uint64_t> builds{0};
  words.generation = ++builds;
}

namespace {

// The words in file order are sorted once; of a word listed twice the first stays (its level
// is the one the list gives first).
void SortIndex(EnglishWords& words, ParsedEnglish& parsed) {
  words.buffer = parsed.buffer;
  auto wordAt = [&parsed](EnglishWords::Span span) {
    return std::string_view(parsed.buffer).substr(span.offset, span.size);
  };
  auto less = [&](EnglishWords::Span a, EnglishWords::Span b) {
    std::string_view x = wordAt(a);
    std::string_view y = wordAt(b);
    return x < y || (x == y && a.offset < b.offset);
  };
  MergeAscendingRuns(parsed.sorted, less);
  auto same = [&](EnglishWords::Span a, EnglishWords::Span b) { return wordAt(a) == wordAt(b); };
  parsed.sorted.erase(std::unique(parsed.sorted.begin(), parsed.sorted.end(), same), parsed.sorted.end());
  parsed.sorted.shrink_to_fit();
  words.sorted = parsed.sorted;
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
  NewGeneration(words);
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

struct SyllableEntry {
  uint8_t frequency = 0;
  uint8_t flags = 0;
};
using SyllableMap = std::map<std::u16string, SyllableEntry, std::less<>>;

void AddSyllable(SyllableMap& syllables, std::u16string_view word, uint8_t frequency, char flag) {
  char16_t buffer[kMaxSyllableKey];
  std::u16string_view key = SyllableKeyInto(word, buffer, std::size(buffer));
  if (key.empty()) return;  // no syllable is that long
  SyllableEntry& entry = syllables.try_emplace(std::u16string(key)).first->second;
  entry.frequency = std::max(entry.frequency, frequency);  // hòa and hoà share one entry
  if (flag == 'd') entry.flags |= Syllables::kDFlag;
  if (flag == 'r') entry.flags |= Syllables::kRFlag;
}

std::u16string_view KeyOf(const Syllables& syllables, size_t i) {
  uint32_t begin = i == 0 ? 0 : syllables.ends[i - 1];
  return syllables.keys.substr(begin, syllables.ends[i] - begin);
}

// The table's index of a key, or -1.
ptrdiff_t FindSyllable(const Syllables& syllables, std::u16string_view word) {
  if (syllables.slots.empty()) return -1;
  char16_t buffer[kMaxSyllableKey];
  std::u16string_view key = SyllableKeyInto(word, buffer, std::size(buffer));
  if (key.empty()) return -1;
  size_t mask = syllables.slots.size() - 1;
  for (size_t at = SyllableSlotHash(key) & mask;; at = (at + 1) & mask) {
    uint32_t slot = syllables.slots[at];
    if (slot == 0) return -1;  // every table keeps empty slots
    if (KeyOf(syllables, slot - 1) == key) return static_cast<ptrdiff_t>(slot - 1);
  }
}

}  // namespace

bool ParseEnglishWords(EnglishWords& words, std::string_view bytes) {
  // Words parsed before stay, and keep their levels.
  auto parsed = std::make_shared<ParsedEnglish>();
  parsed->buffer.reserve(words.buffer.size() + bytes.size());
  parsed->buffer.assign(words.buffer);
  parsed->sorted.reserve(words.sorted.size() + kEnglishReserve);
  parsed->sorted.assign(words.sorted.begin(), words.sorted.end());
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
    if (level == 0 || word.size() > UINT16_MAX) continue;  // a span holds the length in 16 bits
    parsed->sorted.push_back(
        {static_cast<uint32_t>(parsed->buffer.size()), static_cast<uint16_t>(word.size()), level});
    parsed->buffer.append(word);
  }
  parsed->buffer.shrink_to_fit();
  SortIndex(words, *parsed);
  words.storage = std::move(parsed);
  return !words.sorted.empty();
}

bool LoadEnglishWords(Lexicon& lexicon, const std::filesystem::path& path) {
  std::optional<std::string> bytes = ReadWholeFile(path.u16string());
  return bytes && ParseEnglishWords(lexicon.english, *bytes);
}

bool ParseSyllables(Syllables& syllables, std::string_view bytes, uint8_t defaultFrequency) {
  SyllableMap entries;
  for (size_t i = 0; i < syllables.size(); ++i) {  // syllables parsed before stay
    entries.emplace(KeyOf(syllables, i), SyllableEntry{syllables.frequency[i], syllables.flags[i]});
  }
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
    AddSyllable(entries, text, frequency, flag);
  }

  auto parsed = std::make_shared<ParsedSyllables>();
  for (const auto& [key, entry] : entries) {  // in key order: the same text gives the same table
    parsed->keys.append(key);
    parsed->ends.push_back(static_cast<uint32_t>(parsed->keys.size()));
    parsed->frequency.push_back(entry.frequency);
    parsed->flags.push_back(entry.flags);
  }
  // At most half full: a miss ends at an empty slot after a probe or two.
  size_t slots = 2;
  while (slots < 2 * entries.size()) slots *= 2;
  parsed->slots.assign(slots, 0);
  syllables = {};
  syllables.keys = parsed->keys;
  syllables.ends = parsed->ends;
  for (uint32_t i = 0; i < parsed->ends.size(); ++i) {
    size_t at = SyllableSlotHash(KeyOf(syllables, i)) & (slots - 1);
    while (parsed->slots[at] != 0) at = (at + 1) & (slots - 1);
    parsed->slots[at] = i + 1;
  }
  syllables.frequency = parsed->frequency;
  syllables.flags = parsed->flags;
  syllables.slots = parsed->slots;
  syllables.storage = std::move(parsed);
  return !syllables.empty();
}

bool LoadSyllables(Lexicon& lexicon, const std::filesystem::path& path, uint8_t defaultFrequency) {
  std::optional<std::string> bytes = ReadWholeFile(path.u16string());
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

uint32_t SyllableSlotHash(std::u16string_view key) {
  uint32_t hash = 2166136261u;  // FNV-1a over the units
  for (char16_t c : key) hash = (hash ^ c) * 16777619u;
  return hash;
}

uint8_t SyllableFrequency(const Syllables& syllables, std::u16string_view word) {
  ptrdiff_t i = FindSyllable(syllables, word);
  return i < 0 ? 0 : syllables.frequency[static_cast<size_t>(i)];
}

bool IsDFlagged(const Syllables& syllables, std::u16string_view word) {
  ptrdiff_t i = FindSyllable(syllables, word);
  return i >= 0 && (syllables.flags[static_cast<size_t>(i)] & Syllables::kDFlag);
}
bool IsRFlagged(const Syllables& syllables, std::u16string_view word) {
  ptrdiff_t i = FindSyllable(syllables, word);
  return i >= 0 && (syllables.flags[static_cast<size_t>(i)] & Syllables::kRFlag);
}

bool IsDoubtfulSyllable(const Syllables& syllables, std::u16string_view word) {
  return IsDFlagged(syllables, word) && SyllableFrequency(syllables, word) <= 2;
}

}  // namespace tonvira
