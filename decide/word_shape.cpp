#include "decide/word_shape.h"

#include <algorithm>

#include "decide/decision_input.h"
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

bool MidSentenceCapital(std::u16string_view keys, const LanguageMemory& memory) {
  return IsCapitalised(keys) && !memory.SentenceStart;
}

const char* WordShape(std::u16string_view k, InputMethod method) {
  if (k.empty()) return nullptr;
  if (IsAsciiDigit(k[0])) return label::kStartsWithDigit;
  // One pass over the keys (this runs at every key); the shapes are then tried in order.
  bool digit = false, punctuation = false, symbol = false, camel = false, lower = false, upper = false;
  char16_t previous = 0;
  for (char16_t c : k) {
    if (IsAsciiLower(c)) {
      lower = true;
    } else if (IsAsciiUpper(c)) {
      upper = true;
      camel = camel || IsAsciiLower(previous);
    } else if (IsAsciiDigit(c)) {
      digit = true;
    } else {
      symbol = true;
      punctuation = punctuation || IsTrailingSuffixChar(c);
    }
    previous = c;
  }
  if (digit && (method != InputMethod::Vni || HasVniCodeDigits(k))) return label::kHasDigit;
  if (punctuation) return label::kInnerPunctuation;
  if (symbol) return label::kSymbol;
  if (k.size() < 2) return nullptr;  // a single capital is no shape
  if (camel) return label::kCamelCase;
  if (!lower && upper) return label::kAllCaps;
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
