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

// In VNI a digit is a tone (1-5), a mark (6-9) or takes the marks off (0). A word's digits
// act as keys only one at a time, or as one mark and one tone together (vie65t, to61t); any
// other run (A101, A50, A320, iPhone15), a 0 after another digit, or a digit first is part
// of a code, kept as typed.
bool HasVniCodeDigits(std::u16string_view k) {
  if (!k.empty() && IsAsciiDigit(k[0])) return true;
  for (size_t i = 0; i < k.size();) {
    if (!IsAsciiDigit(k[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < k.size() && IsAsciiDigit(k[end])) ++end;
    if (end - i > 2) return true;
    if (end - i == 2) {
      bool firstMark = k[i] >= u'6';
      bool secondMark = k[i + 1] >= u'6';
      if (k[i] == u'0' || k[i + 1] == u'0' || firstMark == secondMark) return true;
    }
    i = end;
  }
  return false;
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
  if (IsAsciiDigit(k[0])) return label::kStartsWithDigit;
  if (method != InputMethod::Vni && std::any_of(k.begin(), k.end(), IsAsciiDigit)) return label::kHasDigit;
  if (method == InputMethod::Vni && HasVniCodeDigits(k)) return label::kHasDigit;
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
