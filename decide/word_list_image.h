// The compact form of the three word lists: the tables a parse of the text files builds, laid
// out so that one read of the file gives them back with no parse and no allocation per word.
// The text files stay the source of truth: the form names the text it was made from (size and
// fingerprint of each file), and a form that does not match the text, or is damaged in any way,
// is not used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "decide/lexicon.h"

namespace tonvira {

// A fingerprint of bytes, the same on every machine: it tells a changed or damaged file, it is
// no defence against one made to collide.
uint64_t Fingerprint(std::span<const std::byte> bytes);
inline uint64_t Fingerprint(std::string_view bytes) {
  return Fingerprint(std::as_bytes(std::span(bytes.data(), bytes.size())));
}

// One text file as the form was made from it.
struct TextStamp {
  uint64_t present = 0;  // 0: the file was missing
  uint64_t size = 0;
  uint64_t fingerprint = 0;
  bool operator==(const TextStamp&) const = default;
};
TextStamp StampOf(std::optional<std::string_view> bytes);

struct WordListStamps {
  TextStamp english, syllables, pairs;
  uint64_t defaultFrequency = 0;  // what a syllable line without a frequency got
  bool operator==(const WordListStamps&) const = default;
};

// The form of a lexicon parsed from the text the stamps describe.
std::string WordListImage(const Lexicon& lexicon, const WordListStamps& stamps);

// Bytes of a form, kept by the lexicon read from them (aligned for its tables).
struct ImageBytes {
  std::shared_ptr<std::byte[]> data;
  size_t size = 0;
};
ImageBytes ImageBytesOf(std::string_view bytes);

// The lexicon from a form that is whole (sizes, offsets, tables and fingerprint check) and was
// made from text with these stamps; false, and the lexicon untouched, otherwise.
bool ReadWordListImage(const ImageBytes& image, const WordListStamps& stamps, Lexicon& lexicon);

}  // namespace tonvira
