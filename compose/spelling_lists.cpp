#include "compose/spelling_lists.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <vector>

namespace tonvira {
namespace {

// Longest first, so that the first entry a text starts with is the longest.
constexpr std::u16string_view kOnsets[] = {
    u"ngh", u"ng", u"nh", u"ch", u"gh", u"kh", u"ph", u"th", u"tr", u"qu", u"gi", u"b", u"c", u"d",
    u"đ",   u"g",  u"h",  u"k",  u"l",  u"m",  u"n",  u"p",  u"q",  u"r",  u"s",  u"t", u"v", u"x",
};

constexpr std::u16string_view kStrictOnsets[] = {
    u"ngh", u"ng", u"nh", u"ch", u"gh", u"kh", u"ph", u"th", u"tr", u"b", u"c", u"d", u"đ",
    u"g",   u"h",  u"k",  u"l",  u"m",  u"n",  u"p",  u"r",  u"s",  u"t", u"v", u"x",
};

constexpr std::u16string_view kClustersBeforeR[] = {
    u"b", u"c", u"d", u"g", u"k", u"p", u"t", u"th", u"ch", u"ph",
};

constexpr std::u16string_view kRhymes[] = {
    u"a",    u"ac",   u"ach",  u"ai",   u"am",   u"an",   u"ang",  u"anh", u"ao",   u"ap",   u"at",   u"au",
    u"ay",   u"e",    u"ec",   u"em",   u"en",   u"eng",  u"eo",   u"ep",  u"et",   u"i",    u"ia",   u"ic",
    u"ich",  u"im",   u"in",   u"inh",  u"ip",   u"it",   u"iu",   u"iêc", u"iêm",  u"iên",  u"iêng", u"iêp",
    u"iêt",  u"iêu",  u"o",    u"oa",   u"oac",  u"oach", u"oai",  u"oam", u"oan",  u"oang", u"oanh", u"oao",
    u"oap",  u"oat",  u"oay",  u"oc",   u"oe",   u"oen",  u"oeo",  u"oet", u"oi",   u"om",   u"on",   u"ong",
    u"oong", u"op",   u"ot",   u"oăc",  u"oăm",  u"oăn",  u"oăng", u"oăt", u"u",    u"ua",   u"uc",   u"uen",
    u"ui",   u"um",   u"un",   u"ung",  u"up",   u"ut",   u"uy",   u"uya", u"uych", u"uynh", u"uyp",  u"uyt",
    u"uyu",  u"uyên", u"uyêt", u"uân",  u"uâng", u"uât",  u"uây",  u"uê",  u"uêch", u"uêh",  u"uênh", u"uôc",
    u"uôi",  u"uôm",  u"uôn",  u"uông", u"uôt",  u"uơ",   u"y",    u"ya",  u"yêm",  u"yên",  u"yêt",  u"yêu",
    u"âc",   u"âm",   u"ân",   u"âng",  u"âp",   u"ât",   u"âu",   u"ây",  u"ê",    u"êch",  u"êm",   u"ên",
    u"ênh",  u"êp",   u"êt",   u"êu",   u"ô",    u"ôc",   u"ôi",   u"ôm",  u"ôn",   u"ông",  u"ôp",   u"ôt",
    u"ôông", u"ăc",   u"ăm",   u"ăn",   u"ăng",  u"ăp",   u"ăt",   u"ơ",   u"ơi",   u"ơm",   u"ơn",   u"ơp",
    u"ơt",   u"ư",    u"ưa",   u"ưc",   u"ưi",   u"ưng",  u"ưt",   u"ưu",  u"ươc",  u"ươi",  u"ươm",  u"ươn",
    u"ương", u"ươp",  u"ươt",  u"ươu",
};

static_assert(std::size(kOnsets) == 28);
static_assert(std::size(kStrictOnsets) == 25);
static_assert(std::size(kClustersBeforeR) == 10);
static_assert(std::size(kRhymes) == 160);

// Longest first: a text takes the first onset it starts with (ngh before ng before n).
constexpr bool LongestFirst(std::span<const std::u16string_view> list) {
  for (size_t i = 1; i < list.size(); ++i) {
    if (list[i - 1].size() < list[i].size()) return false;
  }
  return true;
}
static_assert(LongestFirst(kOnsets) && LongestFirst(kStrictOnsets));

}  // namespace

std::span<const std::u16string_view> OnsetList() {
  return kOnsets;
}
std::span<const std::u16string_view> StrictOnsetList() {
  return kStrictOnsets;
}
std::span<const std::u16string_view> ClusterBeforeR() {
  return kClustersBeforeR;
}
std::span<const std::u16string_view> RhymeList() {
  return kRhymes;
}

namespace {

// A rhyme is at most four units: packed into one number, four units to the 64 bits (no unit
// is 0, so texts of different lengths never pack alike), it is looked up among numbers.
constexpr size_t kLongestRhyme = 4;
static_assert(std::all_of(std::begin(kRhymes), std::end(kRhymes),
                          [](std::u16string_view r) { return !r.empty() && r.size() <= kLongestRhyme; }));

uint64_t PackRhyme(std::u16string_view rhyme) {
  uint64_t packed = 0;
  for (char16_t c : rhyme) packed = (packed << 16) | c;
  return packed;
}

// Sorted once (a thread-safe static).
const std::vector<uint64_t>& PackedRhymes() {
  static const std::vector<uint64_t> sorted = [] {
    std::vector<uint64_t> v;
    for (std::u16string_view rhyme : kRhymes) v.push_back(PackRhyme(rhyme));
    std::sort(v.begin(), v.end());
    return v;
  }();
  return sorted;
}

// Built while the program starts, not inside the keyboard hook on the first key.
[[maybe_unused]] const bool kTablesBuilt = (PackedRhymes(), true);

}  // namespace

bool IsListedRhyme(std::u16string_view rhyme) {
  if (rhyme.empty() || rhyme.size() > kLongestRhyme || rhyme.find(u'\0') != std::u16string_view::npos)
    return false;
  const std::vector<uint64_t>& sorted = PackedRhymes();
  return std::binary_search(sorted.begin(), sorted.end(), PackRhyme(rhyme));
}

}  // namespace tonvira
