#include "engine/syllable.h"

#include <algorithm>
#include <vector>

#include "engine/spelling_lists.h"

namespace tonvira {
namespace {

bool IsSpellingLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || c == u'đ' ||
         std::u16string_view(u"ăâêôơư").find(c) != std::u16string_view::npos;
}

bool OneOf(std::u16string_view s, std::initializer_list<std::u16string_view> options) {
  return std::find(options.begin(), options.end(), s) != options.end();
}

// Every beginning of every rhyme's skeleton, the empty one included.
const std::vector<std::u16string>& RhymeSkeletonBeginnings() {
  static const std::vector<std::u16string> beginnings = [] {
    std::vector<std::u16string> v;
    for (std::u16string_view rhyme : RhymeList()) {
      std::u16string skeleton = ToAsciiSkeleton(rhyme);
      for (size_t n = 0; n <= skeleton.size(); ++n) v.push_back(skeleton.substr(0, n));
    }
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
  }();
  return beginnings;
}

}  // namespace

SyllableParts ParseSyllable(std::u16string_view text) {
  SyllableParts parts;
  if (text.empty()) return parts;
  std::u16string plain;
  plain.reserve(text.size());
  for (char16_t c : text) {
    char16_t lower = ToLowerVi(c);
    if (VowelCell cell = FindLowerVowel(lower); cell.row >= 0 && cell.tone != kToneNone)
      parts.tone = cell.tone;
    lower = BaseOf(lower);
    if (!IsSpellingLetter(lower)) return parts;
    plain.push_back(lower);
  }
  std::u16string_view s = plain;

  if (s.starts_with(u"gi")) {
    // gia is gi + a, but gin is gi + in: the i is shared when nothing listed follows it.
    parts.onset = u"gi";
    parts.rhyme = IsListedRhyme(s.substr(2)) ? s.substr(2) : s.substr(1);
  } else if (s.starts_with(u"q")) {
    parts.onset = u"q";
    parts.rhyme = s.substr(1);
    if (!parts.rhyme.starts_with(u'u')) return parts;
    // The rhyme list spells the glide of qu only for some rhymes (uân, uyên); quan, quay,
    // quên and quạt are the u glide before an ordinary rhyme that opens on a, ă, â, e, ê, i,
    // y or ơ.
    std::u16string_view afterGlide = s.substr(2);
    if (!IsListedRhyme(parts.rhyme) && !afterGlide.empty() &&
        std::u16string_view(u"aăâeêiyơ").find(afterGlide.front()) != std::u16string_view::npos &&
        IsListedRhyme(afterGlide)) {
      parts.valid = 1;
      return parts;
    }
  } else {
    for (std::u16string_view onset : StrictOnsetList()) {
      if (s.starts_with(onset)) {
        parts.onset = onset;
        break;
      }
    }
    parts.rhyme = s.substr(parts.onset.size());
  }
  parts.valid = IsListedRhyme(parts.rhyme);
  return parts;
}

bool IsWellFormedSyllable(std::u16string_view text) {
  SyllableParts p = ParseSyllable(text);
  if (!p.valid) return false;
  std::u16string_view rhyme = p.rhyme;
  std::u16string_view onset = p.onset;

  // A stop final (c, ch, p, t) only carries sắc or nặng: ách, ích but not ach.
  bool stopFinal =
      rhyme.ends_with(u'c') || rhyme.ends_with(u"ch") || rhyme.ends_with(u'p') || rhyme.ends_with(u't');
  if (stopFinal && p.tone != kToneAcute && p.tone != kToneDot) return false;

  bool frontRhyme = std::u16string_view(u"eêiy").find(rhyme.front()) != std::u16string_view::npos;
  if (OneOf(onset, {u"k", u"gh", u"ngh"}) && !frontRhyme) return false;  // ka, gha
  if (OneOf(onset, {u"c", u"g", u"ng"}) && frontRhyme) return false;     // ce, ngi

  // After a labial the o-glide is written only in a couple of toneless loan spellings.
  if (OneOf(onset, {u"b", u"m", u"p", u"ph", u"v"}) &&
      (rhyme.starts_with(u"oa") || rhyme.starts_with(u"oă") || rhyme.starts_with(u"oe"))) {
    return p.tone == kToneNone && ((onset == u"v" && rhyme == u"oan") || (onset == u"m" && rhyme == u"oay"));
  }
  return true;
}

std::u16string ToAsciiSkeleton(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    char16_t b = BaseOf(c);
    switch (b) {
      case u'ă':
      case u'â':
        b = u'a';
        break;
      case u'ê':
        b = u'e';
        break;
      case u'ô':
      case u'ơ':
        b = u'o';
        break;
      case u'ư':
        b = u'u';
        break;
      case u'đ':
        b = u'd';
        break;
      default:
        break;
    }
    out.push_back(b);
  }
  return out;
}

bool CouldBeSyllableStart(std::u16string_view text) {
  if (text.empty()) return true;
  std::u16string s = ToAsciiSkeleton(text);
  if (!std::all_of(s.begin(), s.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; })) return false;

  const auto& rhymeBeginnings = RhymeSkeletonBeginnings();
  auto beginsRhyme = [&](std::u16string_view rest) {
    return std::binary_search(rhymeBeginnings.begin(), rhymeBeginnings.end(), rest);
  };
  if (beginsRhyme(s)) return true;  // no initial consonant: oa, ươ
  static const std::vector<std::u16string> onsetSkeletons = [] {
    std::vector<std::u16string> v;
    for (std::u16string_view onset : OnsetList()) v.push_back(ToAsciiSkeleton(onset));
    return v;
  }();
  for (const std::u16string& sk : onsetSkeletons) {
    if (std::u16string_view(sk).starts_with(s)) return true;  // t, ng, ngh still growing
    if (!s.starts_with(sk)) continue;
    std::u16string_view rest = std::u16string_view(s).substr(sk.size());
    if (sk == u"q" && !rest.starts_with(u'u')) continue;
    if (beginsRhyme(rest)) return true;
  }
  return false;
}

}  // namespace tonvira
