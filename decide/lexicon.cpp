#include "decide/lexicon.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "config/utf8.h"
#include "decide/ascii_word.h"
#include "decide/data_lines.h"
#include "decide/syllable_key.h"

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

// Reads leading digits as an unsigned number and keeps its low 8 bits.
uint8_t LowByteOfNumber(std::string_view s, size_t& pos) {
  uint8_t value = 0;
  while (pos < s.size() && IsDigit(s[pos])) value = static_cast<uint8_t>(value * 10 + (s[pos++] - '0'));
  return value;
}

void BuildPrefixIndex(EnglishWords& words) {
  words.buffer.clear();
  words.sortedOffsets.clear();
  words.sortedOffsets.reserve(words.levels.size());
  for (const auto& [word, level] : words.levels) {
    words.sortedOffsets.push_back(static_cast<uint32_t>(words.buffer.size()));
    words.buffer.append(word).push_back('\0');
  }
  const char* base = words.buffer.data();
  std::sort(words.sortedOffsets.begin(), words.sortedOffsets.end(), [base](uint32_t a, uint32_t b) {
    return std::string_view(base + a) < std::string_view(base + b);
  });
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
  words.levels.reserve(kEnglishReserve);
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
    if (level != 0) words.levels.emplace(word, level);  // a word met again keeps its first level
  }
  BuildPrefixIndex(words);
  return !words.levels.empty();
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
  auto it = words->levels.find(ascii.view());
  return it == words->levels.end() ? 0 : it->second;
}

bool IsEnglishPrefix(const EnglishWords& words, std::u16string_view word) {
  AsciiWord ascii = LowerAscii(word);
  if (!ascii.valid) return false;
  std::string_view prefix = ascii.view();
  const char* base = words.buffer.data();
  auto it = std::lower_bound(
      words.sortedOffsets.begin(), words.sortedOffsets.end(), prefix,
      [base](uint32_t offset, std::string_view p) { return std::string_view(base + offset) < p; });
  return it != words.sortedOffsets.end() && std::string_view(base + *it).starts_with(prefix);
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
