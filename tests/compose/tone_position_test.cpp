// Which vowel of a word carries its tone, under classic (hòa) and modern (hoà) placement.
#include <gtest/gtest.h>

#include <string_view>

#include "compose/tone_position.h"

namespace tonvira {
namespace {

struct Row {
  std::u16string_view word;
  int classic;
  int modern;
  const char* name;
};

void ExpectPositions(const Row& row) {
  SCOPED_TRACE(row.name);
  EXPECT_EQ(TonePosition(row.word, true), row.classic) << "classic";
  EXPECT_EQ(TonePosition(row.word, false), row.modern) << "modern";
}

// Which vowel takes the tone, one rule per group of rows.
TEST(TonePosition, EveryRule) {
  const Row rows[] = {
      // A final two-vowel pair: classic on the first vowel, modern on the second for oa, oe, uy.
      {u"hoa", 1, 2, "hoa: hòa / hoà"},
      {u"khoe", 2, 3, "khoe: khỏe / khoẻ"},
      {u"thuy", 2, 3, "thuy: thủy / thuỷ"},
      {u"oe", 0, 1, "oe alone"},
      {u"mua", 1, 1, "mua: first vowel"},
      {u"ia", 0, 0, "ia"},
      {u"ao", 0, 0, "ao"},
      {u"ưa", 0, 0, "ưa: ư is not a priority vowel"},
      // A final consonant puts it on the second vowel.
      {u"hoan", 2, 2, "hoan: a"},
      {u"thuyt", 3, 3, "thuyt: y"},
      {u"oong", 1, 1, "oong: second o"},
      // One or three vowels.
      {u"a", 0, 0, "a"},
      {u"ba", 1, 1, "ba"},
      {u"đi", 1, 1, "đ is not a vowel"},
      {u"khuya", 3, 3, "khuya: y"},
      {u"xoay", 2, 2, "xoay: a"},
      // The u of qu and the i of gi before another vowel never take it.
      {u"qua", 2, 2, "qua: a"},
      {u"quơ", 2, 2, "quơ: ơ"},
      {u"quoa", 2, 3, "quoa: u skipped, final pair oa"},
      {u"gia", 2, 2, "gia: a"},
      {u"giêng", 2, 2, "giêng: ê"},
      {u"gi", 1, 1, "gi: two characters, nothing skipped"},
      {u"gin", 1, 1, "gin: i is the only vowel"},
      {u"qu", 1, 1, "qu: two characters, nothing skipped"},
      // A priority vowel takes it.
      {u"nguyên", 4, 4, "nguyên: ê"},
      {u"uây", 1, 1, "uây: â"},
      {u"ươi", 1, 1, "ươi: ơ"},
      {u"uơ", 1, 1, "uơ: ơ"},
      {u"uô", 1, 1, "uô: ô ends a pair but is a priority vowel"},
      // Two priority vowels: the order ê, ô, ơ, ă, â decides, not the order in the word.
      {u"ôê", 1, 1, "ê before ô"},
      {u"ơô", 1, 1, "ô before ơ"},
      {u"ăơ", 1, 1, "ơ before ă"},
      {u"âă", 1, 1, "ă before â"},
      {u"âê", 1, 1, "ê before â"},
      {u"âơi", 1, 1, "ơ before â"},
      {u"ơêô", 1, 1, "ê first of all"},
      // No vowel.
      {u"", -1, -1, "empty"},
      {u"đ", -1, -1, "đ"},
      {u"bc", -1, -1, "bc"},
      // Capitals, and letters that carry a tone already, are the same letters.
      {u"HOA", 1, 2, "HOA: O classic, A modern"},
      {u"qUY", 2, 2, "qUY"},
      {u"GIA", 2, 2, "GIA: I skipped"},
      {u"hòa", 1, 2, "toned input is accepted"},
      {u"NGUYÊN", 4, 4, "NGUYÊN: Ê is the priority vowel"},
      {u"NGƯỜI", 3, 3, "NGƯỜI: Ơ"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

}  // namespace
}  // namespace tonvira
