// abbrev.txt from arbitrary bytes: only valid entries reach the table, keys are stored lowered,
// and the file the program writes reads back to the same table and the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/abbrev_library.h"
#include "config/abbrev_table.h"
#include "config/text_file.h"
#include "config/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tonvira::AbbrevTable table;
  tonvira::ParseAbbrevLines(table, tonvira::SplitTextLines(bytes));
  for (const auto& [key, expansion] : table.expansions) {
    if (!tonvira::IsValidAbbrevKey(key) || !tonvira::IsValidExpansion(expansion)) std::abort();
    if (tonvira::AbbrevKey(key) != key || tonvira::LookupAbbrev(table, key) != &expansion) std::abort();
  }
  for (const auto& [key, since] : table.since) {
    if (!table.expansions.contains(key) || since.empty()) std::abort();
    // A version is never lower than itself, and two versions are never lower than each other.
    if (tonvira::VersionLower(since, since)) std::abort();
    const std::u16string& other = table.since.begin()->second;
    if (tonvira::VersionLower(since, other) && tonvira::VersionLower(other, since)) std::abort();
  }

  std::string first = tonvira::Utf16ToUtf8(tonvira::AbbrevFileText(table));
  tonvira::AbbrevTable reread;
  tonvira::ParseAbbrevLines(reread, tonvira::SplitTextLines(first));
  if (reread.expansions != table.expansions) std::abort();
  if (tonvira::Utf16ToUtf8(tonvira::AbbrevFileText(reread)) != first) std::abort();
  return 0;
}
