// CSV/TSV import from arbitrary bytes: a refused file changes nothing, and only valid entries
// reach the table.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/abbrev_table.h"
#include "config/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tonvira::AbbrevTable table;
  tonvira::SetAbbrev(table, u"keep", u"giữ");
  int result = tonvira::ImportAbbrevLines(table, tonvira::SplitTextLines(bytes));
  if (result < tonvira::kImportNotText) std::abort();
  if (result < 0 && table.expansions.size() != 1) std::abort();
  if (result >= 0 && table.expansions.size() > static_cast<size_t>(result) + 1) std::abort();
  for (const auto& [key, expansion] : table.expansions) {
    if (!tonvira::IsValidAbbrevKey(key) || !tonvira::IsValidExpansion(expansion)) std::abort();
    if (tonvira::AbbrevKey(key) != key) std::abort();
  }
  return 0;
}
