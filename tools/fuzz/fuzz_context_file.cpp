// The context rule file from arbitrary bytes: no crash, and what is written reads back to
// the same rules.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/text_file.h"
#include "context/context_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tonvira::ContextRules rules = tonvira::ParseContextLines(tonvira::SplitTextLines(bytes));
  std::u16string text = tonvira::ContextFileText(rules);
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (tonvira::ParseContextLines(lines) != rules) std::abort();
  return 0;
}
