// The letter model and the fixed spelling lists: case mappings, tone stripping, decomposing a
// composed character into a Letter and composing it back, and spot checks of the spelling lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compose/spelling_lists.h"
#include "compose/syllable.h"
#include "text/letters.h"

namespace tonvira {
namespace {

// The tone table as the user sees it: row order "aăâeêioôơuưy", tones 0-5 in each row.
constexpr std::u16string_view kLowerRows[12] = {
    u"aáàảãạ", u"ăắằẳẵặ", u"âấầẩẫậ", u"eéèẻẽẹ", u"êếềểễệ", u"iíìỉĩị",
    u"oóòỏõọ", u"ôốồổỗộ", u"ơớờởỡợ", u"uúùủũụ", u"ưứừửữự", u"yýỳỷỹỵ",
};
constexpr std::u16string_view kUpperRows[12] = {
    u"AÁÀẢÃẠ", u"ĂẮẰẲẴẶ", u"ÂẤẦẨẪẬ", u"EÉÈẺẼẸ", u"ÊẾỀỂỄỆ", u"IÍÌỈĨỊ",
    u"OÓÒỎÕỌ", u"ÔỐỒỔỖỘ", u"ƠỚỜỞỠỢ", u"UÚÙỦŨỤ", u"ƯỨỪỬỮỰ", u"YÝỲỶỸỴ",
};
// Each row's vowel as (base, mark): ă is a with the breve, â a with the circumflex, and so on.
constexpr char16_t kRowBase[12] = {u'a', u'a', u'a', u'e', u'e', u'i', u'o', u'o', u'o', u'u', u'u', u'y'};
constexpr Mark kRowMark[12] = {kMarkNone,       kMarkBreve, kMarkCircumflex, kMarkNone,
                               kMarkCircumflex, kMarkNone,  kMarkNone,       kMarkCircumflex,
                               kMarkHorn,       kMarkNone,  kMarkHorn,       kMarkNone};

std::string Hex(char16_t c) {
  char buf[16];
  snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  return buf;
}

// --- case mappings ---------------------------------------------------------------------------

// The tables below cover every vowel form and every other unit; đ is the one consonant of ours.
TEST(CaseMapping, DWithStrokeIsALetterOfBothCasesAndNoVowel) {
  EXPECT_EQ(ToLowerVi(u'Đ'), u'đ');
  EXPECT_EQ(ToUpperVi(u'đ'), u'Đ');
  EXPECT_EQ(ToLowerVi(u'đ'), u'đ');
  EXPECT_EQ(ToUpperVi(u'Đ'), u'Đ');
  EXPECT_FALSE(IsVietVowel(u'đ'));
  EXPECT_FALSE(IsVietVowel(u'Đ'));
}

TEST(CaseMapping, AsciiFollowsTheAlphabetAndItsVowelsAreExactlyAEIOUY) {
  for (char16_t c = 0; c < 128; ++c) {
    SCOPED_TRACE(Hex(c));
    const bool upper = c >= u'A' && c <= u'Z';
    const bool lower = c >= u'a' && c <= u'z';
    EXPECT_EQ(ToLowerVi(c), upper ? static_cast<char16_t>(c + 32) : c);
    EXPECT_EQ(ToUpperVi(c), lower ? static_cast<char16_t>(c - 32) : c);
    const char16_t asLower = upper ? static_cast<char16_t>(c + 32) : c;
    EXPECT_EQ(IsVietVowel(c), std::u16string_view(u"aeiouy").find(asLower) != std::u16string_view::npos);
  }
}

// Every cell of the tone table, lower and upper: its other case, whether it is a vowel, its
// toneless form, its letter and tone, and back.
TEST(ToneTable, EveryCellMapsCaseStripsDecomposesAndComposesBack) {
  for (int row = 0; row < 12; ++row) {
    for (int tone = 0; tone < 6; ++tone) {
      const char16_t lower = kLowerRows[row][tone];
      const char16_t upper = kUpperRows[row][tone];
      for (char16_t c : {lower, upper}) {
        SCOPED_TRACE(Hex(c));
        EXPECT_EQ(ToUpperVi(c), upper);
        EXPECT_EQ(ToLowerVi(c), lower);
        EXPECT_EQ(IsVietVowel(c), c == lower || c < 128);  // non-ASCII upper forms are not
        EXPECT_EQ(StripTones(std::u16string(1, c)), std::u16string(1, kLowerRows[row][0]));
        const DecomposedChar d = DecomposeChar(c);
        EXPECT_EQ(d.letter.base, kRowBase[row]);
        EXPECT_EQ(d.letter.mark, kRowMark[row]);
        EXPECT_EQ(d.letter.upper, c == upper);
        EXPECT_EQ(d.tone, static_cast<Tone>(tone));
        EXPECT_EQ(ComposeLetter(d.letter, d.tone), c);
      }
    }
  }
}

// The lookups are index tables over two blocks of code points: every unit outside the tone
// table, the ASCII letters and đ/Đ is its own lower, upper and base form and no letter, block
// edges and the units right past them included.
TEST(CaseMapping, EveryOtherUnitMapsToItselfAndIsNoLetter) {
  std::u16string known = u"đĐ";
  for (int row = 0; row < 12; ++row) {
    known += kLowerRows[row];
    known += kUpperRows[row];
  }
  for (uint32_t u = 0x80; u <= 0xFFFF; ++u) {
    const char16_t c = static_cast<char16_t>(u);
    if (known.find(c) != std::u16string::npos) continue;
    SCOPED_TRACE(Hex(c));
    ASSERT_EQ(ToLowerVi(c), c);
    ASSERT_EQ(ToUpperVi(c), c);
    ASSERT_EQ(BaseOf(c), c);
    ASSERT_FALSE(IsVietVowel(c));
    ASSERT_FALSE(IsVietLetter(c));
    ASSERT_EQ(FindLowerVowel(c).row, -1);
    ASSERT_EQ(ToAsciiSkeleton(std::u16string_view(&c, 1)), std::u16string(1, c));
  }
}

// --- vowels and tones ------------------------------------------------------------------------

TEST(StripTones, LowersAndRemovesTonesButKeepsMarks) {
  EXPECT_EQ(StripTones(u"Việt Nam"), u"viêt nam");
  EXPECT_EQ(StripTones(u"ĐỒNG"), u"đông");
  EXPECT_EQ(StripTones(u"x1, ç"), u"x1, ç");  // no vowels
}

// --- marks -----------------------------------------------------------------------------------

TEST(ApplyMark, FormsExactlyTheSevenModifiedLetters) {
  struct Formed {
    char16_t base;
    Mark mark;
    char16_t letter;
  };
  const Formed formed[] = {
      {u'a', kMarkCircumflex, u'â'}, {u'a', kMarkBreve, u'ă'}, {u'e', kMarkCircumflex, u'ê'},
      {u'o', kMarkCircumflex, u'ô'}, {u'o', kMarkHorn, u'ơ'},  {u'u', kMarkHorn, u'ư'},
      {u'd', kMarkStroke, u'đ'},
  };
  // Every other (letter, mark) pair shows the plain letter: a with the horn is just a.
  for (char16_t base = u'a'; base <= u'z'; ++base) {
    for (Mark mark : {kMarkNone, kMarkCircumflex, kMarkBreve, kMarkHorn, kMarkStroke}) {
      char16_t expected = base;
      for (const Formed& f : formed) {
        if (f.base == base && f.mark == mark) expected = f.letter;
      }
      EXPECT_EQ(ApplyMark(base, mark), expected) << static_cast<char>(base) << " mark " << mark;
    }
  }
}

// --- decompose and compose -------------------------------------------------------------------

TEST(DecomposeChar, SplitsIntoBaseMarkCaseAndTone) {
  struct Row {
    char16_t c;
    char16_t base;
    Mark mark;
    uint8_t upper;
    Tone tone;
    const char* name;
  };
  // Every vowel form is checked cell by cell below; these are the rest.
  const Row rows[] = {
      {u'Đ', u'd', kMarkStroke, 1, kToneNone, "Đ"},
      {u'đ', u'd', kMarkStroke, 0, kToneNone, "đ"},
      {u'B', u'b', kMarkNone, 1, kToneNone, "B"},
      {u'7', u'7', kMarkNone, 0, kToneNone, "digit"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const DecomposedChar d = DecomposeChar(row.c);
    EXPECT_EQ(d.letter.base, row.base) << Hex(d.letter.base);
    EXPECT_EQ(d.letter.mark, row.mark);
    EXPECT_EQ(d.letter.upper, row.upper);
    EXPECT_EQ(d.tone, row.tone);
  }
}

// đ/Đ and the ASCII letters survive being taken apart and put back together (the tone table's
// cells are checked above); a mark a letter cannot take leaves it plain (ApplyMark).
TEST(ComposeLetter, RoundTripsTheOtherLetters) {
  for (char16_t c = u'A'; c <= u'z'; ++c) {
    if (c > u'Z' && c < u'a') continue;
    SCOPED_TRACE(Hex(c));
    const DecomposedChar d = DecomposeChar(c);
    EXPECT_EQ(ComposeLetter(d.letter, d.tone), c);
  }
  for (char16_t c : {u'đ', u'Đ'}) EXPECT_EQ(ComposeLetter(DecomposeChar(c).letter, kToneNone), c);
  EXPECT_EQ(ComposeLetter({u'o', kMarkHorn, 0, 1}, kToneHook), u'ở');  // synthesised or typed: the same
}

// --- spelling lists --------------------------------------------------------------------------

// The lists are sized by static_asserts and walked entry by entry by the syllable tests; these
// are spot checks of entries that are easy to lose or to add by mistake.
TEST(SpellingLists, SpotChecks) {
  struct Row {
    const char* name;
    std::span<const std::u16string_view> list;
    std::vector<std::u16string_view> listed;
    std::vector<std::u16string_view> absent;
  };
  const Row rows[] = {
      {"onsets", OnsetList(), {u"ngh", u"đ", u"qu", u"gi", u"q"}, {u"f", u"w", u"z", u"dd", u""}},
      {"strict onsets", StrictOnsetList(), {u"ngh", u"tr", u"đ"}, {u"qu", u"gi", u"q"}},
      {"clusters before r", ClusterBeforeR(), {u"th", u"ph", u"k"}, {u"tr", u"ng", u"r"}},
      {"rhymes",
       RhymeList(),
       {u"iêng", u"oong", u"ôông", u"uêh", u"uych", u"ươu"},
       {u"uyêng", u"ươ", u"ech"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto listed = [&](std::u16string_view entry) {
      return std::find(row.list.begin(), row.list.end(), entry) != row.list.end();
    };
    for (std::u16string_view entry : row.listed)
      EXPECT_TRUE(listed(entry)) << testing::PrintToString(std::u16string(entry));
    for (std::u16string_view entry : row.absent)
      EXPECT_FALSE(listed(entry)) << testing::PrintToString(std::u16string(entry));
  }
}

// The strict list is the onset list, in the same order, without the onsets a vowel completes.
TEST(SpellingLists, StrictOnsetListDropsQuGiAndQ) {
  std::vector<std::u16string_view> expected(OnsetList().begin(), OnsetList().end());
  std::erase_if(expected, [](std::u16string_view s) { return s == u"qu" || s == u"gi" || s == u"q"; });
  EXPECT_EQ(std::vector<std::u16string_view>(StrictOnsetList().begin(), StrictOnsetList().end()), expected);
}

// The lookup keeps its own sorted copy of the list: every entry is found, near misses are not.
TEST(SpellingLists, IsListedRhymeMatchesTheListExactly) {
  for (std::u16string_view rhyme : RhymeList()) {
    EXPECT_TRUE(IsListedRhyme(rhyme)) << testing::PrintToString(std::u16string(rhyme));
  }
  // Real or plausible rhymes the list leaves out, prefixes of entries, and toned forms.
  const std::u16string_view absent[] = {u"",    u"uyêng", u"ươ", u"ă",     u"â",     u"uo", u"iê",
                                        u"an ", u"anhh",  u"áo", u"oong ", u"ooong", u"ech"};
  for (std::u16string_view rhyme : absent) {
    EXPECT_FALSE(IsListedRhyme(rhyme)) << testing::PrintToString(std::u16string(rhyme));
  }
  // A unit 0 before a rhyme is not that rhyme (rhymes are looked up packed into a number).
  EXPECT_FALSE(IsListedRhyme(std::u16string_view(u"\0a", 2)));
  EXPECT_FALSE(IsListedRhyme(std::u16string_view(u"a\0", 2)));
}

}  // namespace
}  // namespace tonvira
