#include "decide/autofix.h"

#include "decide/word_shape.h"

namespace tonvira {

std::optional<std::u16string> CurrencyFix(std::u16string_view keys, InputMethod method) {
  size_t numberEnd = 0;
  while (numberEnd < keys.size() &&
         (IsAsciiDigit(keys[numberEnd]) || keys[numberEnd] == u'.' || keys[numberEnd] == u',')) {
    ++numberEnd;
  }
  std::u16string_view number = keys.substr(0, numberEnd);
  std::u16string_view rest = keys.substr(numberEnd);
  if (!number.empty() && (!IsAsciiDigit(number.front()) || !IsAsciiDigit(number.back()))) return std::nullopt;

  std::u16string_view vn;
  auto lower = [](char16_t c) { return IsAsciiUpper(c) ? static_cast<char16_t>(c + 32) : c; };
  if (rest.size() == 4 && lower(rest[0]) == u'v' && lower(rest[1]) == u'n') {
    vn = rest.substr(0, 2);
    rest.remove_prefix(2);
  } else if (number.empty()) {
    return std::nullopt;
  }
  if (rest.size() != 2 || lower(rest[0]) != u'd') return std::nullopt;
  bool ok = method == InputMethod::Vni ? rest[1] == u'9' : rest[1] == rest[0];
  if (!ok) return std::nullopt;

  std::u16string out(number);
  out += vn;
  out.push_back(rest[0] == u'D' ? u'Đ' : u'đ');
  return out;
}

// The swapped-key and nearest-syllable corrections come with the autofix work; until then
// they find nothing, and the decisions go on as if no correction applied.
std::optional<std::u16string> SwapFix(std::u16string_view, const Syllables*) {
  return std::nullopt;
}

AutofixResult AutofixWord(const Engine&, std::u16string_view, const ComposeResult&, AutofixMode) {
  return {};
}

}  // namespace tonvira
