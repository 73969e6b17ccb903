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

// A final two-vowel pair: classic puts the tone on the first vowel, modern on the second for
// oa, oe and uy only.
TEST(TonePosition, FinalVowelPair) {
  const Row rows[] = {
      {u"hoa", 1, 2, "hoa: hòa / hoà"},
      {u"khoe", 2, 3, "khoe: khỏe / khoẻ"},
      {u"thuy", 2, 3, "thuy: thủy / thuỷ"},
      {u"oe", 0, 1, "oe alone"},
      {u"uy", 0, 1, "uy alone"},
      {u"mua", 1, 1, "mua: first vowel"},
      {u"ua", 0, 0, "ua"},
      {u"ui", 0, 0, "ui"},
      {u"ia", 0, 0, "ia"},
      {u"ao", 0, 0, "ao"},
      {u"ưa", 0, 0, "ưa: ư is not a priority vowel"},
      {u"ưu", 0, 0, "ưu"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

TEST(TonePosition, FinalConsonantPutsItOnTheSecondVowel) {
  const Row rows[] = {
      {u"hoan", 2, 2, "hoan: a"},
      {u"thuyt", 3, 3, "thuyt: y"},
      {u"oong", 1, 1, "oong: second o"},
      {u"toan", 2, 2, "toan: a"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

TEST(TonePosition, OneOrThreeVowels) {
  const Row rows[] = {
      {u"a", 0, 0, "a"},
      {u"ba", 1, 1, "ba"},
      {u"tin", 1, 1, "tin"},
      {u"đi", 1, 1, "đ is not a vowel"},
      {u"khuya", 3, 3, "khuya: y"},
      {u"xoay", 2, 2, "xoay: a"},
      {u"oai", 1, 1, "oai: a"},
      {u"uyu", 1, 1, "uyu: y"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

// The u of qu and the i of gi before another vowel never take the tone.
TEST(TonePosition, SkippedGlide) {
  const Row rows[] = {
      {u"qua", 2, 2, "qua: a"},
      {u"quy", 2, 2, "quy: y"},
      {u"quơ", 2, 2, "quơ: ơ"},
      {u"quoa", 2, 3, "quoa: u skipped, final pair oa"},
      {u"gia", 2, 2, "gia: a"},
      {u"giêng", 2, 2, "giêng: ê"},
      {u"giu", 2, 2, "giu: u"},
      {u"gi", 1, 1, "gi: two characters, nothing skipped"},
      {u"gin", 1, 1, "gin: i is the only vowel"},
      {u"qu", 1, 1, "qu: two characters, nothing skipped"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

TEST(TonePosition, PriorityVowels) {
  const Row rows[] = {
      {u"nguyên", 4, 4, "nguyên: ê"},
      {u"iêu", 1, 1, "iêu: ê"},
      {u"yêu", 1, 1, "yêu: ê"},
      {u"uây", 1, 1, "uây: â"},
      {u"tuân", 2, 2, "tuân: â"},
      {u"ươi", 1, 1, "ươi: ơ"},
      {u"ươu", 1, 1, "ươu: ơ"},
      {u"uơ", 1, 1, "uơ: ơ"},
      {u"uô", 1, 1, "uô: ô ends a pair but is a priority vowel"},
      {u"tiêng", 2, 2, "tiêng: ê"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

// Two priority vowels in one word: the order ê, ô, ơ, ă, â decides, not the order in the word.
TEST(TonePosition, PriorityOrderSpansTheWholeWord) {
  const Row rows[] = {
      {u"ôê", 1, 1, "ê before ô"},      {u"ơô", 1, 1, "ô before ơ"}, {u"ăơ", 1, 1, "ơ before ă"},
      {u"âă", 1, 1, "ă before â"},      {u"âê", 1, 1, "ê before â"}, {u"âơi", 1, 1, "ơ before â"},
      {u"ơêô", 1, 1, "ê first of all"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

TEST(TonePosition, NoVowel) {
  const Row rows[] = {
      {u"bc", -1, -1, "bc"},
      {u"", -1, -1, "empty"},
      {u"đ", -1, -1, "đ"},
      {u"ngh", -1, -1, "ngh"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

TEST(TonePosition, UpperCaseAndTonedInput) {
  const Row rows[] = {
      {u"HOA", 1, 2, "HOA: O classic, A modern"},
      {u"Hoa", 1, 2, "Hoa"},
      {u"KHOE", 2, 3, "KHOE"},
      {u"THUY", 2, 3, "THUY"},
      {u"QUA", 2, 2, "QUA: U skipped"},
      {u"Qua", 2, 2, "Qua: Q then u"},
      {u"qUY", 2, 2, "qUY"},
      {u"GIA", 2, 2, "GIA: I skipped"},
      {u"OONG", 1, 1, "OONG"},
      {u"hòa", 1, 2, "toned input is accepted"},
      {u"tiếng", 2, 2, "tiếng"},
      {u"khuýa", 3, 3, "khuýa"},
      // Upper-case letters with their own diacritic are the same letters as lower-case ones.
      {u"NGUYÊN", 4, 4, "NGUYÊN: Ê is the priority vowel"},
      {u"HÒA", 1, 2, "HÒA"},
      {u"GIÊNG", 2, 2, "GIÊNG: I skipped before Ê"},
      {u"NGƯỜI", 3, 3, "NGƯỜI: Ơ"},
  };
  for (const Row& row : rows) ExpectPositions(row);
}

}  // namespace
}  // namespace tonvira
