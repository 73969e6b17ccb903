#include "decide/builtin_words.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "decide/ascii_word.h"
#include "decide/english_word_lists.h"
#include "decide/syllable_key.h"
#include "decide/vi_syllable_levels.h"
#include "text/string_hash.h"

namespace tonvira {
namespace {

// Built once, on first use; C++ makes the initialisation of a local static thread-safe.
const std::unordered_map<std::u16string, int, U16StringHash, std::equal_to<>>& UsageMap() {
  static const auto map = [] {
    std::unordered_map<std::u16string, int, U16StringHash, std::equal_to<>> m;
    m.reserve(std::size(kViSyllableLevels));
    for (const SyllableLevel& row : kViSyllableLevels) m.emplace(SyllableKey(row.word), row.level);
    return m;
  }();
  return map;
}

const std::unordered_set<std::string_view>& FunctionWordSet() {
  static const std::unordered_set<std::string_view> set(std::begin(kEnglishFunctionWords),
                                                        std::end(kEnglishFunctionWords));
  return set;
}

// Built while the program starts, not inside the keyboard hook on the first key.
[[maybe_unused]] const bool kTablesBuilt = (UsageMap(), FunctionWordSet(), true);

template <size_t N>
bool InSortedList(const std::string_view (&list)[N], std::u16string_view word) {
  AsciiWord ascii = LowerAscii(word);
  return ascii.valid && std::binary_search(std::begin(list), std::end(list), ascii.view());
}

}  // namespace

int SyllableUsage(std::u16string_view word) {
  char16_t buffer[kMaxAsciiWord + 1];
  std::u16string_view key = SyllableKeyInto(word, buffer, std::size(buffer));
  if (key.empty()) return -1;
  const auto& map = UsageMap();
  auto it = map.find(key);
  return it == map.end() ? -1 : it->second;
}

bool IsFunctionWord(std::u16string_view word) {
  AsciiWord ascii = LowerAscii(word);
  return ascii.valid && FunctionWordSet().contains(ascii.view());
}

bool IsEnglishContraction(std::u16string_view word) {
  return InSortedList(kEnglishContractions, word);
}
bool IsCapsEnglishWord(std::u16string_view word) {
  return InSortedList(kCapsEnglishWords, word);
}
bool IsCapsNotVietnamese(std::u16string_view word) {
  return InSortedList(kCapsNotVietnamese, word);
}
bool IsForeignName(std::u16string_view word) {
  return InSortedList(kForeignNames, word);
}

bool IsFileExtension(std::u16string_view word) {
  if (word.size() > 4) return false;
  AsciiWord ascii = LowerAscii(word);
  return ascii.valid && std::ranges::find(kFileExtensions, ascii.view()) != std::end(kFileExtensions);
}

void WarmBuiltinWords() {
  UsageMap();
  FunctionWordSet();
}

}  // namespace tonvira
