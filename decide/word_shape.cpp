#include "decide/word_shape.h"

#include <algorithm>

#include "decide/decision_labels.h"

namespace tonvira {
namespace {

bool IsToneKey(char16_t c, InputMethod method) {
  if (method == InputMethod::Vni) return c >= u'1' && c <= u'5';
  c = LowerAsciiLetter(c);
  return c == u'f' || c == u'j' || c == u'r' || c == u's' || c == u'x';
}

}  // namespace

bool IsTrailingSuffixChar(char16_t c) {
  return std::u16string_view(u"-./:@\\_").find(c) != std::u16string_view::npos;
}

bool IsSentenceEnd(std::u16string_view suffix, char16_t separator) {
  if (separator == u'\n' || separator == u'\r' || separator == u'!' || separator == u'?') return true;
  return suffix.find_first_of(u".!?") != std::u16string_view::npos;
}

bool HasNoCapitalAfterFirst(std::u16string_view keys) {
  return keys.empty() || std::none_of(keys.begin() + 1, keys.end(), IsAsciiUpper);
}

bool IsCapitalised(std::u16string_view keys) {
  return !keys.empty() && IsAsciiUpper(keys[0]) && HasNoCapitalAfterFirst(keys);
}

const char* WordShape(std::u16string_view k, InputMethod method) {
  if (k.empty()) return nullptr;
  if (method != InputMethod::Vni) {  // in VNI digits are tone and mark keys
    if (IsAsciiDigit(k[0])) return label::kStartsWithDigit;
    if (std::any_of(k.begin(), k.end(), IsAsciiDigit)) return label::kHasDigit;
  }
  if (k.find_first_of(u"-./:@\\_") != std::u16string_view::npos) return label::kInnerPunctuation;
  if (!std::all_of(k.begin(), k.end(), [](char16_t c) { return IsAsciiLetter(c) || IsAsciiDigit(c); })) {
    return label::kSymbol;
  }
  if (k.size() < 2) return nullptr;  // a single capital is no shape
  for (size_t i = 1; i < k.size(); ++i) {
    if (IsAsciiLower(k[i - 1]) && IsAsciiUpper(k[i])) return label::kCamelCase;
  }
  if (std::none_of(k.begin(), k.end(), IsAsciiLower) && std::any_of(k.begin(), k.end(), IsAsciiUpper)) {
    return label::kAllCaps;
  }
  return nullptr;
}

bool HasStrongVietKeys(std::u16string_view k, InputMethod method) {
  if (k.empty()) return false;
  if (method == InputMethod::Vni) {
    if (k.find_first_of(u"6789") != std::u16string_view::npos) return true;
    return k.size() >= 3 && k.back() == u'5';
  }
  if (LowerAsciiLetter(k.back()) == u'j') return true;
  for (size_t i = 1; i < k.size(); ++i) {
    char16_t prev = LowerAsciiLetter(k[i - 1]);
    char16_t cur = LowerAsciiLetter(k[i]);
    if (prev == u'd' && cur == u'd') return true;
    if (cur == u'w' && (prev == u'a' || prev == u'o' || prev == u'u')) return true;
  }
  return false;
}

bool HasDoubledVowel(std::u16string_view k) {
  for (size_t i = 1; i < k.size(); ++i) {
    char16_t c = LowerAsciiLetter(k[i]);
    if (c == LowerAsciiLetter(k[i - 1]) && (c == u'a' || c == u'e' || c == u'o')) return true;
  }
  return false;
}

bool EndsWithSingleToneKey(std::u16string_view k, InputMethod method) {
  size_t firstVowel = 0;
  while (firstVowel < k.size() && !IsVietVowel(ToLowerVi(k[firstVowel]))) ++firstVowel;
  if (firstVowel >= k.size()) return false;
  auto toneKeys =
      std::count_if(k.begin() + firstVowel + 1, k.end(), [&](char16_t c) { return IsToneKey(c, method); });
  return toneKeys == 1 && IsToneKey(k.back(), method) && k.size() - 1 > firstVowel;
}

bool IsRomanNineteen(std::u16string_view k) {
  if (k.size() < 2 || k.size() > 5) return false;
  auto is = [](char16_t c, char16_t lower) { return LowerAsciiLetter(c) == lower; };
  if (!is(k[k.size() - 2], u'i') || !is(k.back(), u'x')) return false;
  return std::all_of(k.begin(), k.end() - 2, [&](char16_t c) { return is(c, u'x'); });
}

}  // namespace tonvira
