#include "sim/compose_text.h"

namespace tonvira {
namespace {

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

}  // namespace

std::u16string ComposeText(std::u16string_view text, const ComposeTextOptions& options) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (IsSpace(text[i])) {
      out.push_back(text[i++]);
      continue;
    }
    size_t end = i;
    while (end < text.size() && !IsSpace(text[end])) ++end;
    out += Compose(text.substr(i, end - i), options.method, options.classic, true, options.flags).text;
    i = end;
  }
  return out;
}

}  // namespace tonvira
