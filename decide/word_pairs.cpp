#include "decide/word_pairs.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>

#include "decide/data_lines.h"
#include "decide/syllable_key.h"
#include "text/letters.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

constexpr size_t kMaxPairKey = 64;
constexpr char16_t kPartSeparator = u' ';

// "L previous-key word-key" into the buffer; empty when a part is empty or it does not fit.
std::u16string_view PairKeyInto(PairLanguage language, std::u16string_view previous, std::u16string_view word,
                                char16_t* buffer, size_t capacity) {
  if (previous.empty() || word.empty() || previous.size() + word.size() + 4 > capacity) return {};
  size_t n = 0;
  buffer[n++] = static_cast<char16_t>(language);
  buffer[n++] = kPartSeparator;
  n += SyllableKeyInto(previous, buffer + n, capacity - n).size();
  buffer[n++] = kPartSeparator;
  n += SyllableKeyInto(word, buffer + n, capacity - n).size();
  return {buffer, n};
}

std::u16string_view KeyAt(const WordPairs& pairs, uint32_t offset) {
  return std::u16string_view(pairs.buffer.data() + offset);
}

// Characters that join a run of letters into a token that is no word: x86, file.txt, e-mail.
bool JoinsToken(char16_t c) {
  return IsAsciiDigit(c) || c == u'.' || c == u'-' || c == u'_' || c == u'/' || c == u'@' || c == u'\'';
}

}  // namespace

namespace {

// What a parse of word_pairs.txt owns; the table views it.
struct ParsedPairs {
  std::u16string buffer;
  std::vector<uint32_t> sortedOffsets;
  std::vector<uint8_t> scores;
};

}  // namespace

bool ParseWordPairs(WordPairs& pairs, std::string_view bytes) {
  std::u16string buffer(pairs.buffer);  // pairs parsed before stay
  std::vector<uint32_t> offsets(pairs.sortedOffsets.begin(), pairs.sortedOffsets.end());
  std::vector<uint8_t> scores(pairs.scores.begin(), pairs.scores.end());
  size_t linePos = 0;
  std::string_view line;
  while (NextDataLine(bytes, linePos, line)) {
    std::string_view parts[4];
    size_t count = 0;
    for (size_t pos = 0; count < 4; ++count) {
      size_t tab = line.find('\t', pos);
      parts[count] = line.substr(pos, tab == std::string_view::npos ? std::string_view::npos : tab - pos);
      if (tab == std::string_view::npos) {
        ++count;
        break;
      }
      pos = tab + 1;
    }
    if (count != 4 || (parts[0] != "v" && parts[0] != "e") || parts[3].empty() || parts[3].size() > 3 ||
        !std::all_of(parts[3].begin(), parts[3].end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    int score = 0;
    for (char c : parts[3]) score = score * 10 + (c - '0');
    if (score < 1 || score > 255) continue;
    PairLanguage language = parts[0] == "v" ? PairLanguage::Vietnamese : PairLanguage::English;
    char16_t key[kMaxPairKey];
    std::u16string_view found =
        PairKeyInto(language, Utf8ToUtf16(parts[1]), Utf8ToUtf16(parts[2]), key, std::size(key));
    if (found.empty()) continue;
    offsets.push_back(static_cast<uint32_t>(buffer.size()));
    buffer.append(found).push_back(u'\0');
    scores.push_back(static_cast<uint8_t>(score));
  }
  // Sorted here rather than trusted to the file: hoà and hòa lines meet under one key.
  auto keyAt = [&buffer](uint32_t offset) { return std::u16string_view(buffer.data() + offset); };
  std::vector<uint32_t> order(offsets.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return keyAt(offsets[a]) < keyAt(offsets[b]); });
  auto parsed = std::make_shared<ParsedPairs>();
  parsed->sortedOffsets.reserve(order.size());
  parsed->scores.reserve(order.size());
  for (uint32_t i : order) {
    if (!parsed->sortedOffsets.empty() && keyAt(parsed->sortedOffsets.back()) == keyAt(offsets[i])) continue;
    parsed->sortedOffsets.push_back(offsets[i]);
    parsed->scores.push_back(scores[i]);
  }
  parsed->buffer = std::move(buffer);
  pairs.buffer = parsed->buffer;
  pairs.sortedOffsets = parsed->sortedOffsets;
  pairs.scores = parsed->scores;
  pairs.storage = std::move(parsed);
  return !pairs.scores.empty();
}

bool LoadWordPairs(WordPairs& pairs, const std::filesystem::path& path) {
  std::optional<std::string> bytes = ReadWholeFile(path.u16string());
  return bytes && ParseWordPairs(pairs, *bytes);
}

uint8_t PairScore(const WordPairs& pairs, PairLanguage language, std::u16string_view previous,
                  std::u16string_view word) {
  char16_t buffer[kMaxPairKey];
  std::u16string_view key = PairKeyInto(language, previous, word, buffer, std::size(buffer));
  if (key.empty()) return 0;
  auto it =
      std::lower_bound(pairs.sortedOffsets.begin(), pairs.sortedOffsets.end(), key,
                       [&](uint32_t offset, std::u16string_view k) { return KeyAt(pairs, offset) < k; });
  if (it == pairs.sortedOffsets.end() || KeyAt(pairs, *it) != key) return 0;
  return pairs.scores[static_cast<size_t>(it - pairs.sortedOffsets.begin())];
}

std::u16string_view PreviousWord(std::u16string_view text) {
  size_t end = text.size();
  if (end == 0 || text[end - 1] != u' ') return {};
  while (end > 0 && text[end - 1] == u' ') --end;
  size_t start = end;
  while (start > 0 && IsVietLetter(text[start - 1])) --start;
  if (start == end || (start > 0 && JoinsToken(text[start - 1]))) return {};
  return text.substr(start, end - start);
}

}  // namespace tonvira
