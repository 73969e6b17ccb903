#include "decide/word_list_image.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tonvira {
namespace {

static_assert(std::endian::native == std::endian::little, "the form is laid out little-endian");
static_assert(sizeof(EnglishWords::Span) == 8);

// The header: magic, the file's size, the fingerprint of everything after it, the format, the
// stamps of the text, and where each table lies. The tables follow, each at a multiple of 8.
constexpr char kMagic[8] = {'T', 'V', 'W', 'L', 'I', 'S', 'T', 'S'};
constexpr uint32_t kFormat = 1;
constexpr size_t kSizeAt = 8;
constexpr size_t kFingerprintAt = 16;
constexpr size_t kFingerprintedFrom = 24;  // the format and everything after it
constexpr size_t kFormatAt = 24;
constexpr size_t kStampsAt = 32;
constexpr size_t kSectionsAt = kStampsAt + 10 * 8;

enum Section : size_t {
  kEnglishBuffer,
  kEnglishSpans,
  kEnglishFirstLetters,
  kEnglishSecondLetters,
  kSyllableKeys,
  kSyllableEnds,
  kSyllableFrequency,
  kSyllableFlags,
  kSyllableSlots,
  kPairBuffer,
  kPairOffsets,
  kPairScores,
  kSectionCount,
};
constexpr size_t kHeaderSize = kSectionsAt + kSectionCount * 16;

uint64_t Load64(const std::byte* at) {
  uint64_t value;
  std::memcpy(&value, at, 8);
  return value;
}
void Store64(std::string& out, size_t at, uint64_t value) {
  std::memcpy(out.data() + at, &value, 8);
}

uint64_t Mix(uint64_t x) {  // the finaliser of splitmix64
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

std::array<uint64_t, 10> StampWords(const WordListStamps& s) {
  return {s.english.present,   s.english.size,          s.english.fingerprint, s.syllables.present,
          s.syllables.size,    s.syllables.fingerprint, s.pairs.present,       s.pairs.size,
          s.pairs.fingerprint, s.defaultFrequency};
}

struct Extent {
  size_t offset = 0;
  size_t size = 0;
};

template <typename T>
std::span<const T> TableAt(const std::byte* base, Extent e) {
  return {reinterpret_cast<const T*>(base + e.offset), e.size / sizeof(T)};
}

bool EveryStartWithin(std::span<const uint32_t> starts, uint32_t low, uint32_t high) {
  uint32_t before = low;
  for (uint32_t start : starts) {
    if (start < before || start > high) return false;
    before = start;
  }
  return true;
}

// Every index a lookup follows stays inside its table; the fingerprint has already told a
// damaged file, these tell a file made to mislead.
bool EnglishHolds(const EnglishWords& w) {
  for (const EnglishWords::Span& span : w.sorted) {
    if (span.size == 0 || span.offset > w.buffer.size() || span.size > w.buffer.size() - span.offset)
      return false;
  }
  uint32_t count = static_cast<uint32_t>(w.sorted.size());
  if (w.firstLetterStart[0] != 0 || w.firstLetterStart[256] != count ||
      !EveryStartWithin(w.firstLetterStart, 0, count)) {
    return false;
  }
  for (size_t f = 0; f < 26; ++f) {
    std::span<const uint32_t> row(&w.secondLetterStart[f * EnglishWords::kPairColumns],
                                  EnglishWords::kPairColumns);
    if (!EveryStartWithin(row, w.firstLetterStart['a' + f], w.firstLetterStart['a' + f + 1])) return false;
  }
  return true;
}

bool SyllablesHold(const Syllables& s) {
  size_t count = s.ends.size();
  if (s.frequency.size() != count || s.flags.size() != count) return false;
  if (!EveryStartWithin(s.ends, 0, static_cast<uint32_t>(s.keys.size()))) return false;
  if (count == 0) return s.slots.empty();
  if (!std::has_single_bit(s.slots.size())) return false;
  // An empty slot ends every search: without one a search for a missing key would never end.
  if (std::find(s.slots.begin(), s.slots.end(), 0u) == s.slots.end()) return false;
  return std::all_of(s.slots.begin(), s.slots.end(), [count](uint32_t slot) { return slot <= count; });
}

bool PairsHold(const WordPairs& p) {
  if (p.scores.size() != p.sortedOffsets.size()) return false;
  if (p.buffer.empty()) return p.sortedOffsets.empty();
  if (p.buffer.back() != u'\0') return false;  // every key ends inside the buffer
  return std::all_of(p.sortedOffsets.begin(), p.sortedOffsets.end(),
                     [&p](uint32_t offset) { return offset < p.buffer.size(); });
}

}  // namespace

uint64_t Fingerprint(std::span<const std::byte> bytes) {
  uint64_t hash = Mix(bytes.size() ^ 0x9E3779B97F4A7C15ull);
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    hash = (hash ^ Load64(bytes.data() + i)) * 0x9FB21C651E98DF25ull;
    hash ^= hash >> 29;
  }
  uint64_t tail = 0;
  if (i < bytes.size()) std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
  return Mix(hash ^ tail);
}

TextStamp StampOf(std::optional<std::string_view> bytes) {
  if (!bytes) return {};
  return {1, bytes->size(), Fingerprint(*bytes)};
}

std::string WordListImage(const Lexicon& lexicon, const WordListStamps& stamps) {
  std::string out(kHeaderSize, '\0');
  std::array<Extent, kSectionCount> sections;
  auto add = [&](Section section, const void* data, size_t size) {
    out.resize((out.size() + 7) & ~size_t{7});
    sections[section] = {out.size(), size};
    if (size > 0) out.append(static_cast<const char*>(data), size);
  };
  const EnglishWords& english = lexicon.english;
  add(kEnglishBuffer, english.buffer.data(), english.buffer.size());
  add(kEnglishSpans, english.sorted.data(), english.sorted.size_bytes());
  add(kEnglishFirstLetters, english.firstLetterStart.data(), sizeof(english.firstLetterStart));
  add(kEnglishSecondLetters, english.secondLetterStart.data(), sizeof(english.secondLetterStart));
  const Syllables& syllables = lexicon.syllables;
  add(kSyllableKeys, syllables.keys.data(), syllables.keys.size() * sizeof(char16_t));
  add(kSyllableEnds, syllables.ends.data(), syllables.ends.size_bytes());
  add(kSyllableFrequency, syllables.frequency.data(), syllables.frequency.size_bytes());
  add(kSyllableFlags, syllables.flags.data(), syllables.flags.size_bytes());
  add(kSyllableSlots, syllables.slots.data(), syllables.slots.size_bytes());
  const WordPairs& pairs = lexicon.pairs;
  add(kPairBuffer, pairs.buffer.data(), pairs.buffer.size() * sizeof(char16_t));
  add(kPairOffsets, pairs.sortedOffsets.data(), pairs.sortedOffsets.size_bytes());
  add(kPairScores, pairs.scores.data(), pairs.scores.size_bytes());
  out.resize((out.size() + 7) & ~size_t{7});

  std::memcpy(out.data(), kMagic, sizeof(kMagic));
  Store64(out, kSizeAt, out.size());
  Store64(out, kFormatAt, kFormat | uint64_t{kSectionCount} << 32);
  std::array<uint64_t, 10> words = StampWords(stamps);
  for (size_t i = 0; i < words.size(); ++i) Store64(out, kStampsAt + 8 * i, words[i]);
  for (size_t s = 0; s < kSectionCount; ++s) {
    Store64(out, kSectionsAt + 16 * s, sections[s].offset);
    Store64(out, kSectionsAt + 16 * s + 8, sections[s].size);
  }
  Store64(out, kFingerprintAt, Fingerprint(std::string_view(out).substr(kFingerprintedFrom)));
  return out;
}

ImageBytes ImageBytesOf(std::string_view bytes) {
  ImageBytes image{std::shared_ptr<std::byte[]>(new std::byte[std::max<size_t>(bytes.size(), 1)]),
                   bytes.size()};
  if (!bytes.empty()) std::memcpy(image.data.get(), bytes.data(), bytes.size());
  return image;
}

bool ReadWordListImage(const ImageBytes& image, const WordListStamps& stamps, Lexicon& lexicon) {
  const std::byte* base = image.data.get();
  size_t size = image.size;
  if (!base || size < kHeaderSize || size % 8 != 0 || std::memcmp(base, kMagic, sizeof(kMagic)) != 0)
    return false;
  if (Load64(base + kSizeAt) != size) return false;  // cut short, or grown
  if (Load64(base + kFormatAt) != (kFormat | uint64_t{kSectionCount} << 32)) return false;
  if (Load64(base + kFingerprintAt) != Fingerprint({base + kFingerprintedFrom, size - kFingerprintedFrom})) {
    return false;
  }
  std::array<uint64_t, 10> wanted = StampWords(stamps);
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (Load64(base + kStampsAt + 8 * i) != wanted[i]) return false;  // made from other text
  }

  constexpr size_t kUnit[kSectionCount] = {1, 8, 4, 4, 2, 4, 1, 1, 4, 2, 4, 1};
  std::array<Extent, kSectionCount> at;
  for (size_t s = 0; s < kSectionCount; ++s) {
    uint64_t offset = Load64(base + kSectionsAt + 16 * s);
    uint64_t bytes = Load64(base + kSectionsAt + 16 * s + 8);
    if (offset < kHeaderSize || offset % 8 != 0 || offset > size || bytes > size - offset ||
        bytes % kUnit[s] != 0) {
      return false;
    }
    at[s] = {static_cast<size_t>(offset), static_cast<size_t>(bytes)};
  }
  EnglishWords english;
  if (at[kEnglishFirstLetters].size != sizeof(english.firstLetterStart) ||
      at[kEnglishSecondLetters].size != sizeof(english.secondLetterStart)) {
    return false;
  }
  std::shared_ptr<const void> storage = image.data;
  english.buffer = {reinterpret_cast<const char*>(base + at[kEnglishBuffer].offset), at[kEnglishBuffer].size};
  english.sorted = TableAt<EnglishWords::Span>(base, at[kEnglishSpans]);
  std::memcpy(english.firstLetterStart.data(), base + at[kEnglishFirstLetters].offset,
              sizeof(english.firstLetterStart));
  std::memcpy(english.secondLetterStart.data(), base + at[kEnglishSecondLetters].offset,
              sizeof(english.secondLetterStart));
  english.storage = storage;

  Syllables syllables;
  std::span<const char16_t> keys = TableAt<char16_t>(base, at[kSyllableKeys]);
  syllables.keys = {keys.data(), keys.size()};
  syllables.ends = TableAt<uint32_t>(base, at[kSyllableEnds]);
  syllables.frequency = TableAt<uint8_t>(base, at[kSyllableFrequency]);
  syllables.flags = TableAt<uint8_t>(base, at[kSyllableFlags]);
  syllables.slots = TableAt<uint32_t>(base, at[kSyllableSlots]);
  syllables.storage = storage;

  WordPairs pairs;
  std::span<const char16_t> pairText = TableAt<char16_t>(base, at[kPairBuffer]);
  pairs.buffer = {pairText.data(), pairText.size()};
  pairs.sortedOffsets = TableAt<uint32_t>(base, at[kPairOffsets]);
  pairs.scores = TableAt<uint8_t>(base, at[kPairScores]);
  pairs.storage = storage;

  if (!EnglishHolds(english) || !SyllablesHold(syllables) || !PairsHold(pairs)) return false;
  NewGeneration(english);
  lexicon.english = std::move(english);
  lexicon.syllables = std::move(syllables);
  lexicon.pairs = std::move(pairs);
  return true;
}

}  // namespace tonvira
