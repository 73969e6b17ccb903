#include "decide/abbrev_expand.h"

#include <cstdlib>

#include "compose/tone_position.h"
#include "config/abbrev_table.h"

namespace tonvira {
namespace {

constexpr size_t kMaxRun = 16;

// A run of letters with exactly one toned vowel: its tone goes where the style puts it.
void NormaliseRun(std::u16string& text, size_t start, size_t end, bool classic) {
  if (end - start > kMaxRun) return;
  int toned = -1;
  for (size_t i = start; i < end; ++i) {
    if (FindLowerVowel(ToLowerVi(text[i])).tone == kToneNone) continue;
    if (toned >= 0) return;  // several toned vowels: leave the run alone
    toned = static_cast<int>(i - start);
  }
  if (toned < 0) return;
  std::u16string plain = StripTones(std::u16string_view(text).substr(start, end - start));
  int classicPos = TonePosition(plain, true);
  int modernPos = TonePosition(plain, false);
  if (classicPos == modernPos || std::abs(classicPos - modernPos) != 1) return;
  if (toned != classicPos && toned != modernPos) return;
  int target = classic ? classicPos : modernPos;
  if (target == toned) return;

  char16_t& from = text[start + toned];
  char16_t& to = text[start + target];
  VowelCell cell = FindLowerVowel(ToLowerVi(from));
  bool fromUpper = ToLowerVi(from) != from;
  bool toUpper = ToLowerVi(to) != to;
  char16_t bare = VowelForm(cell.row, kToneNone);
  VowelCell targetCell = FindLowerVowel(ToLowerVi(to));
  char16_t tonedForm = VowelForm(targetCell.row, cell.tone);
  from = fromUpper ? ToUpperVi(bare) : bare;
  to = toUpper ? ToUpperVi(tonedForm) : tonedForm;
}

}  // namespace

void NormaliseTonePlacement(std::u16string& text, bool classic) {
  size_t i = 0;
  while (i < text.size()) {
    if (!IsVietLetter(text[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && IsVietLetter(text[end])) ++end;
    NormaliseRun(text, i, end, classic);
    i = end;
  }
}

std::optional<std::u16string> ExpandAbbrev(const DecisionInput& in, std::u16string_view word, bool classic) {
  if (!in.options.abbrevTable) return std::nullopt;
  const std::u16string* found = LookupAbbrev(*in.options.abbrevTable, word);
  if (!found) return std::nullopt;
  std::u16string expansion = *found;
  NormaliseTonePlacement(expansion, classic);
  if (!word.empty() && word[0] >= u'A' && word[0] <= u'Z' && !expansion.empty()) {
    expansion[0] = ToUpperVi(expansion[0]);
  }
  return expansion;
}

}  // namespace tonvira
