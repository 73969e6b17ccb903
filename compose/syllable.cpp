#include "compose/syllable.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "compose/spelling_lists.h"
#include "text/letter_index.h"

namespace tonvira {
namespace {

bool IsSpellingLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || c == u'đ' ||
         std::u16string_view(u"ăâêôơư").find(c) != std::u16string_view::npos;
}

bool OneOf(std::u16string_view s, std::initializer_list<std::u16string_view> options) {
  return std::find(options.begin(), options.end(), s) != options.end();
}

// Lower case without tone or mark: ấ -> a, ư -> u, đ -> d; other units as BaseOf gives them.
char16_t SkeletonLetter(char16_t c) {
  return letter_index::Info(c).plain;
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

// The skeletons that can still grow into a syllable, as a tree of a-z: a rhyme beginning
// alone (oa, uo), a beginning of an onset (t, ng, ngh), or an onset and a rhyme beginning
// (q only before u). Node 0 is the root; a child index of 0 means no such letter.
struct SkeletonNode {
  std::array<uint32_t, 26> next{};
};

void AddSkeleton(std::vector<SkeletonNode>& tree, std::u16string_view skeleton) {
  size_t node = 0;
  for (char16_t c : skeleton) {
    uint32_t& child = tree[node].next[c - u'a'];
    if (child == 0) {
      child = static_cast<uint32_t>(tree.size());
      tree.emplace_back();  // invalidates `child`; it is set before
    }
    node = tree[node].next[c - u'a'];
  }
}

std::vector<SkeletonNode> BuildSyllableStarts() {
  std::vector<SkeletonNode> tree(1);
  const std::vector<std::u16string>& rhymes = RhymeSkeletonBeginnings();
  for (const std::u16string& rhyme : rhymes) AddSkeleton(tree, rhyme);
  for (std::u16string_view onset : OnsetList()) {
    std::u16string sk = ToAsciiSkeleton(onset);
    AddSkeleton(tree, sk);
    for (const std::u16string& rhyme : rhymes) {
      if (sk == u"q" && !rhyme.starts_with(u'u')) continue;
      AddSkeleton(tree, sk + rhyme);
    }
  }
  return tree;
}

const std::vector<SkeletonNode>& SyllableStarts() {
  static const std::vector<SkeletonNode> tree = BuildSyllableStarts();
  return tree;
}

// The most units a well-formed syllable has: the longest onset ("ngh", or the "gi" and "q"
// the parse takes off) before the longest listed rhyme. Anything longer is no syllable,
// which a word end learns without parsing (and so without allocating) a long word.
size_t LongestSyllable() {
  static const size_t longest = [] {
    size_t onset = std::u16string_view(u"gi").size();
    for (std::u16string_view o : StrictOnsetList()) onset = std::max(onset, o.size());
    size_t rhyme = 0;
    for (std::u16string_view r : RhymeList()) rhyme = std::max(rhyme, r.size());
    return onset + rhyme;
  }();
  return longest;
}

// Built while the program starts, not inside the keyboard hook on the first key.
[[maybe_unused]] const bool kTablesBuilt = (SyllableStarts(), LongestSyllable(), true);

// The parts as views into `plain`, which gets the letters lower case without tone and must
// hold text.size() units.
struct PartViews {
  std::u16string_view onset;
  std::u16string_view rhyme;
  Tone tone = kToneNone;
  bool valid = false;
};

PartViews ParseInto(std::u16string_view text, char16_t* plain) {
  PartViews parts;
  if (text.empty()) return parts;
  for (size_t i = 0; i < text.size(); ++i) {
    letter_index::CharInfo info = letter_index::Info(text[i]);
    if (info.lower != text[i]) info = letter_index::Info(info.lower);
    if (info.row >= 0 && info.tone != kToneNone) parts.tone = static_cast<Tone>(info.tone);
    if (!IsSpellingLetter(info.base)) return parts;
    plain[i] = info.base;
  }
  std::u16string_view s(plain, text.size());

  if (s.starts_with(u"gi")) {
    // gia is gi + a, but gin is gi + in: the i is shared when nothing listed follows it.
    parts.onset = s.substr(0, 2);
    parts.rhyme = IsListedRhyme(s.substr(2)) ? s.substr(2) : s.substr(1);
  } else if (s.starts_with(u"q")) {
    parts.onset = s.substr(0, 1);
    parts.rhyme = s.substr(1);
    if (!parts.rhyme.starts_with(u'u')) return parts;
    // The rhyme list spells the glide of qu only for some rhymes (uân, uyên); quan, quay,
    // quên and quạt are the u glide before an ordinary rhyme that opens on a, ă, â, e, ê, i,
    // y or ơ.
    std::u16string_view afterGlide = s.substr(2);
    if (!IsListedRhyme(parts.rhyme) && !afterGlide.empty() &&
        std::u16string_view(u"aăâeêiyơ").find(afterGlide.front()) != std::u16string_view::npos &&
        IsListedRhyme(afterGlide)) {
      parts.valid = true;
      return parts;
    }
  } else {
    for (std::u16string_view onset : StrictOnsetList()) {
      if (onset[0] == s[0] && s.starts_with(onset)) {
        parts.onset = s.substr(0, onset.size());
        break;
      }
    }
    parts.rhyme = s.substr(parts.onset.size());
  }
  parts.valid = IsListedRhyme(parts.rhyme);
  return parts;
}

}  // namespace

SyllableParts ParseSyllable(std::u16string_view text) {
  std::u16string plain(text.size(), u'\0');
  PartViews views = ParseInto(text, plain.data());
  SyllableParts parts;
  parts.onset = views.onset;
  parts.rhyme = views.rhyme;
  parts.tone = views.tone;
  parts.valid = views.valid;
  return parts;
}

bool IsWellFormedSyllable(std::u16string_view text) {
  if (text.size() > LongestSyllable()) return false;
  // Parsed on the stack: a word end asks this several times.
  char16_t buffer[16];
  std::u16string longer;
  char16_t* plain = buffer;
  if (text.size() > std::size(buffer)) {
    longer.resize(text.size());
    plain = longer.data();
  }
  PartViews p = ParseInto(text, plain);
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
  for (char16_t c : text) out.push_back(SkeletonLetter(c));
  return out;
}

bool CouldBeSyllableStart(std::u16string_view text, std::u16string_view more) {
  // Every beginning is accepted only when its own beginnings are (the set is closed under
  // beginnings), so one walk down the tree of skeleton letters answers it.
  const std::vector<SkeletonNode>& tree = SyllableStarts();
  size_t node = 0;
  for (std::u16string_view part : {text, more}) {
    for (char16_t c : part) {
      char16_t s = SkeletonLetter(c);
      if (s < u'a' || s > u'z') return false;
      node = tree[node].next[s - u'a'];
      if (node == 0) return false;
    }
  }
  return true;
}

}  // namespace tonvira
