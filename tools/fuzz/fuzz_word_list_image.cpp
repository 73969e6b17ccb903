// The compact form of the word lists from arbitrary bytes: a form is read only when every
// table stays inside itself, and what is read answers every lookup without reading outside
// it. The fingerprint would turn almost every input away, so the fuzzer writes the right one
// (and takes the stamps the form names): what is left to refuse is a form made to mislead.
// Two kinds of input: the bytes of a form as they stand, or (first byte 0) changes to a good
// form of small lists, three bytes each: where (two bytes) and what.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "decide/lexicon.h"
#include "decide/word_list_image.h"
#include "decide/word_pairs.h"

namespace {

constexpr size_t kFingerprintAt = 16;
constexpr size_t kFingerprintedFrom = 24;
constexpr size_t kStampsAt = 32;

const std::string& GoodForm() {
  static const std::string form = [] {
    tonvira::Lexicon lexicon;
    tonvira::ParseEnglishWords(lexicon.english, "the 1 file 12 turn 20 a 3 ab 4 zoo 9");
    tonvira::ParseSyllables(lexicon.syllables, "tôi\t170\ndã\t2\td\ntủn\t1\tr\n", 1);
    tonvira::ParseWordPairs(lexicon.pairs, "v\tsau\tđó\t40\ne\tthe\tfile\t9\n");
    return tonvira::WordListImage(lexicon, {});
  }();
  return form;
}

void Lookups(const tonvira::Lexicon& lexicon) {
  for (std::u16string_view word : {u"the", u"fil", u"zoo", u"a", u"", u"zzzzzzzz", u"tôi", u"dã", u"tủn"}) {
    (void)tonvira::EnglishLevel(&lexicon.english, word);
    (void)tonvira::IsEnglishPrefix(lexicon.english, word);
    (void)tonvira::SyllableFrequency(lexicon.syllables, word);
    (void)tonvira::IsDFlagged(lexicon.syllables, word);
    (void)tonvira::PairScore(lexicon.pairs, tonvira::PairLanguage::Vietnamese, u"sau", word);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string form;
  if (size > 0 && data[0] == 0) {
    form = GoodForm();
    for (size_t i = 1; i + 3 <= size; i += 3)
      form[(data[i] | data[i + 1] << 8) % form.size()] = static_cast<char>(data[i + 2]);
  } else {
    form.assign(reinterpret_cast<const char*>(data), size);
  }
  tonvira::WordListStamps stamps;
  if (form.size() >= kStampsAt + 80) {
    uint64_t words[10];
    std::memcpy(words, form.data() + kStampsAt, sizeof(words));
    stamps = {{words[0], words[1], words[2]},
              {words[3], words[4], words[5]},
              {words[6], words[7], words[8]},
              words[9]};
  }
  if (form.size() >= kFingerprintedFrom) {
    uint64_t fingerprint = tonvira::Fingerprint(std::string_view(form).substr(kFingerprintedFrom));
    std::memcpy(form.data() + kFingerprintAt, &fingerprint, 8);
  }
  tonvira::Lexicon lexicon;
  if (tonvira::ReadWordListImage(tonvira::ImageBytesOf(form), stamps, lexicon)) {
    Lookups(lexicon);
  } else if (!lexicon.english.empty()) {
    std::abort();  // a refused form changed the lexicon
  }
  return 0;
}
