#include "decide/word_shape.h"

#include <gtest/gtest.h>

#include "decide/decision_labels.h"

namespace tonvira {
namespace {

constexpr auto kTelex = InputMethod::Telex;
constexpr auto kVni = InputMethod::Vni;

TEST(WordShape, Labels) {
  struct Row {
    const char16_t* keys;
    InputMethod method;
    const char* label;  // null: no shape
  } rows[] = {
      {u"3g", kTelex, label::kStartsWithDigit},
      {u"3g", kVni, label::kStartsWithDigit},  // a digit before any letter is no tone key
      {u"mp3", kTelex, label::kHasDigit},
      {u"vie65t", kVni, nullptr},  // VNI digits are tone and mark keys, one mark and one tone in a row
      {u"to61t", kVni, nullptr},
      {u"a1", kVni, nullptr},
      {u"A101", kVni, label::kHasDigit},  // runs no typist makes of tone and mark keys: a code
      {u"A50", kVni, label::kHasDigit},
      {u"A320", kVni, label::kHasDigit},
      {u"iphone15", kVni, label::kHasDigit},  // two tones
      {u"u77", kVni, label::kHasDigit},       // two marks
      {u"a60", kVni, label::kHasDigit},
      {u"e-mail", kTelex, label::kInnerPunctuation},
      {u"a.b", kVni, label::kInnerPunctuation},
      {u"c++", kTelex, label::kSymbol},
      {u"café", kTelex, label::kSymbol},
      {u"iPhone", kTelex, label::kCamelCase},
      {u"Hanoi", kTelex, nullptr},  // an initial capital alone is no hump
      {u"McDonald", kTelex, label::kCamelCase},
      {u"VIEETJ", kTelex, label::kAllCaps},
      {u"ABC1", kVni, label::kAllCaps},
      {u"A", kTelex, nullptr},  // a single capital has no shape
      {u"", kTelex, nullptr},
      {u"tieengs", kTelex, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::u16string(row.keys).size());
    const char* got = WordShape(row.keys, row.method);
    EXPECT_STREQ(got ? got : "none", row.label ? row.label : "none");
  }
}

TEST(WordShape, KeyPatterns) {
  EXPECT_TRUE(HasStrongVietKeys(u"Vieetj", kTelex));
  EXPECT_TRUE(HasStrongVietKeys(u"DDi", kTelex));
  EXPECT_TRUE(HasStrongVietKeys(u"muaw", kTelex));
  EXPECT_TRUE(HasStrongVietKeys(u"tOW", kTelex));
  EXPECT_FALSE(HasStrongVietKeys(u"www", kTelex));  // w after w
  EXPECT_FALSE(HasStrongVietKeys(u"swim", kTelex));
  EXPECT_FALSE(HasStrongVietKeys(u"jam", kTelex));
  EXPECT_TRUE(HasStrongVietKeys(u"to6i", kVni));
  EXPECT_TRUE(HasStrongVietKeys(u"ha5", kVni));
  EXPECT_FALSE(HasStrongVietKeys(u"a5", kVni));  // a final 5 needs three keys
  EXPECT_FALSE(HasStrongVietKeys(u"ha1", kVni));

  EXPECT_TRUE(HasDoubledVowel(u"tOo"));
  EXPECT_FALSE(HasDoubledVowel(u"tiil"));  // i is not doubled for a circumflex
  EXPECT_FALSE(HasDoubledVowel(u"aea"));

  EXPECT_TRUE(EndsWithSingleToneKey(u"bans", kTelex));
  EXPECT_FALSE(EndsWithSingleToneKey(u"bsan", kTelex));  // before the first vowel it does not count
  EXPECT_FALSE(EndsWithSingleToneKey(u"basns", kTelex));
  EXPECT_FALSE(EndsWithSingleToneKey(u"sss", kTelex));
  EXPECT_TRUE(EndsWithSingleToneKey(u"ba1", kVni));

  for (const char16_t* yes : {u"IX", u"XIX", u"XXIX", u"XXXIX", u"xix"}) EXPECT_TRUE(IsRomanNineteen(yes));
  for (const char16_t* no : {u"X", u"XI", u"XXXXIX", u"VIX", u"IXX"}) EXPECT_FALSE(IsRomanNineteen(no));
}

TEST(WordShape, SentenceEnds) {
  EXPECT_TRUE(IsSentenceEnd(u"", u'\n'));
  EXPECT_TRUE(IsSentenceEnd(u"", u'?'));
  EXPECT_TRUE(IsSentenceEnd(u".", u' '));
  EXPECT_TRUE(IsSentenceEnd(u"-.", 0));
  EXPECT_FALSE(IsSentenceEnd(u"-", u' '));
  EXPECT_FALSE(IsSentenceEnd(u"", u','));
}

}  // namespace
}  // namespace tonvira
