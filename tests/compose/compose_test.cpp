// Composing the keys of one word into its Vietnamese text, Telex and VNI: tones, marks, undo
// by repeating a key, the optional transforms, continuing a composed prefix, and the literal
// keys that the word decisions fall back to.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "compose/compose.h"
#include "text/letters.h"

namespace tonvira {
namespace {

constexpr InputMethod kTelex = InputMethod::Telex;
constexpr InputMethod kVni = InputMethod::Vni;

ComposeResult ComposeWord(std::u16string_view keys, InputMethod method = kTelex, uint32_t flags = 0,
                          bool classic = true, std::u16string_view prefix = {}) {
  return Compose(keys, method, classic, /*loneW=*/true, flags, prefix);
}

struct TextRow {
  std::u16string_view keys;
  std::u16string_view text;
  const char* name;
};

void ExpectTexts(std::span<const TextRow> rows, InputMethod method, uint32_t flags = 0, bool classic = true) {
  for (const TextRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ComposeWord(row.keys, method, flags, classic).text, std::u16string(row.text));
  }
}

// --- texts -----------------------------------------------------------------------------------

// Worked examples, tone keys, w, doubling and case: the case of a transform key never matters,
// and a doubled letter keeps the case of the first.
TEST(ComposeTelex, Texts) {
  const TextRow rows[] = {
      {u"asff", u"af", "asff: repeated f cancels"},
      {u"tiesng", u"tiéng", "tiesng: tone moves as letters follow"},
      {u"Vieetj", u"Việt", "Vieetj"},
      {u"VIEETJ", u"VIỆT", "VIEETJ"},
      {u"DDawng", u"Đăng", "DDawng"},
      {u"ddaangf", u"đầng", "ddaangf"},
      {u"saa", u"sâ", "saa: s before a vowel is a letter"},
      {u"huwowng", u"hương", "huwowng"},
      {u"nguoiwf", u"người", "nguoiwf"},
      {u"books", u"bốk", "books"},
      {u"english", u"englíh", "english"},
      {u"s", u"s", "tone key first"},
      {u"bs", u"bs", "no vowel yet"},
      {u"az", u"az", "z without a tone"},
      {u"azs", u"áz", "z stayed a letter, s still tones"},
      {u"asfs", u"á", "asfs: s is not the key of the current tone"},
      {u"oaw", u"oă", "oaw"},
      {u"aow", u"ăo", "aow: the a, scanning back"},
      {u"oiw", u"ơi", "oiw"},
      {u"uow", u"uơ", "uow: pair rule, then the end rule"},
      {u"wow", u"uơ", "wow"},
      {u"thuowr", u"thuở", "thuowr"},
      {u"w", u"ư", "lone w"},
      {u"tw", u"tư", "tw"},
      {u"wa", u"ưa", "wa"},
      {u"iw", u"iw", "iw: nothing to modify"},
      {u"oow", u"ôw", "oow: ô takes no horn"},
      {u"aa", u"â", "aa"},
      {u"awa", u"â", "awa: circumflex replaces the breve"},
      {u"ada", u"ada", "ada"},
      {u"AW", u"Ă", "AW"},
      {u"aW", u"ă", "aW"},
      {u"AA", u"Â", "AA"},
      {u"Aa", u"Â", "Aa"},
      {u"aA", u"â", "aA"},
      {u"dD", u"đ", "dD"},
      {u"tW", u"tƯ", "tW"},
      {u"ViEeTj", u"ViỆT", "ViEeTj"},
  };
  ExpectTexts(rows, kTelex);
}

TEST(ComposeVni, Texts) {
  const TextRow rows[] = {
      {u"tie6ng1", u"tiếng", "tie6ng1"},
      {u"vie65t", u"việt", "vie65t"},
      {u"nguoi72", u"người", "nguoi72"},
      {u"thuo73", u"thuở", "thuo73"},
      {u"d9d9", u"đđ", "d9d9"},
      {u"a4", u"ã", "a4"},
      {u"123", u"123", "digits without a vowel"},
      {u"a0", u"a0", "0 without a tone"},
      {u"a8", u"ă", "a8"},
      {u"u7", u"ư", "u7"},
      {u"a7", u"a7", "7 finds no o or u"},
      {u"a9", u"a9", "9 finds no d"},
      {u"e8", u"e8", "8 only on a"},
      {u"toi6", u"tôi", "toi6: mark reaches back"},
      {u"huo7ng", u"hương", "huo7ng: pair rule"},
      {u"uo7", u"uơ", "uo7: end rule"},
      {u"A6", u"Â", "A6"},
      {u"D9", u"Đ", "D9"},
  };
  ExpectTexts(rows, kVni);
}

// --- optional transforms ---------------------------------------------------------------------

struct FlagRow {
  std::u16string_view keys;
  uint32_t flags;
  std::u16string_view text;
  const char* name;
  InputMethod method = kTelex;
};

// The optional transforms, one flag at a time (and with the flags that turn one off).
TEST(ComposeFlags, EachTransform) {
  const FlagRow rows[] = {
      // Flag 1: a tone key before any vowel waits for one.
      {u"tsoi", 1, u"tói", "tsoi"},
      {u"tsoi", 0, u"tsoi", "tsoi without the flag"},
      {u"nsga", 1, u"ngá", "nsga"},
      {u"tsaf", 1, u"tà", "tsaf: a later tone key replaces it"},
      {u"s", 1, u"s", "s: no letters before it"},
      {u"xra", 1, u"xả", "xra"},
      {u"t1oi", 1, u"tói", "VNI t1oi", kVni},
      {u"t1oi", 0, u"t1oi", "VNI t1oi without the flag", kVni},
      {u"tsw", 1, u"tứ", "tsw: the lone-w u settles the tone"},
      {u"tsww", 1, u"tsw", "tsww: undoing the u gives the tone key back as a letter"},
      {u"TSWW", 1, u"TSW", "TSWW keeps its case"},
      {u"tswwoi", 1, u"tswoi", "tswwoi: tw is no onset, the s stays"},
      // Flag 1: r after the consonant groups that take an r is the letter r; flag 64 turns that off.
      {u"tra", 1, u"tra", "tra"},
      {u"cra", 1, u"cra", "cra"},
      {u"cra", 1 | 64, u"cả", "cra with 64"},
      {u"thra", 1 | 64, u"thả", "thra with 64"},
      {u"tra", 1 | 64, u"tra", "tra with 64: tr is an onset"},
      {u"cra", 64, u"cra", "cra with 64 alone"},
      // Flag 2: a doubled vowel key reaches back to an earlier vowel when the result is a listed rhyme;
      // flag 128 turns off the check for a word that is one half written twice.
      {u"ana", 2, u"ân", "ana"},
      {u"ana", 0, u"ana", "ana without the flag"},
      {u"toio", 2, u"tôi", "toio"},
      {u"toio", 0, u"toio", "toio without the flag"},
      {u"tiene", 2, u"tiên", "tiene"},
      {u"giana", 2, u"giân", "giana: rhyme after the i of gi"},
      {u"quete", 2, u"quêt", "quete: rhyme after the u of qu"},
      {u"taba", 2, u"taba", "taba: âb is no rhyme"},
      {u"tonio", 2, u"tonio", "tonio: ôni is no rhyme"},
      {u"toto", 2, u"toto", "toto: one half twice"},
      {u"toto", 2 | 128, u"tôt", "toto with 128"},
      {u"toto", 128, u"toto", "toto with 128 alone"},
      {u"totos", 2, u"tốt", "totos: the o is not the last key"},
      // Flag 4: an unmarked o after ư takes the horn.
      {u"huwong", 4, u"hương", "huwong"},
      {u"huwong", 0, u"hưong", "huwong without the flag"},
      {u"uwo", 4, u"uơ", "uwo: then the end rule"},
      {u"uwo", 0, u"ưo", "uwo without the flag"},
      // Flag 8: Telex w after u-a horns the u, but not after q.
      {u"muaw", 8, u"mưa", "muaw"},
      {u"muaw", 0, u"muă", "muaw without the flag"},
      {u"uaw", 8, u"ưa", "uaw"},
      {u"quaw", 8, u"quă", "quaw: not after q"},
      // Flag 16: a late d strokes the word's initial d, once.
      {u"dad", 16, u"đa", "dad"},
      {u"dad", 0, u"dad", "dad without the flag"},
      {u"dand", 16, u"đan", "dand"},
      {u"Dad", 16, u"Đa", "Dad"},
      {u"ad", 16, u"ad", "ad: no initial d"},
      {u"dd", 16, u"đ", "dd"},
      // Flag 32: a horn aimed at u after o or u goes to that letter.
      {u"ouw", 32, u"ơu", "ouw"},
      {u"ouw", 0, u"oư", "ouw without the flag"},
      {u"uuw", 32, u"ưu", "uuw"},
      {u"uuw", 0, u"uư", "uuw without the flag"},
      {u"tuouw", 32, u"tươu", "tuouw"},
      {u"ou7", 32, u"ơu", "VNI ou7", kVni},
      {u"ou7", 0, u"oư", "VNI ou7 without the flag", kVni},
  };
  for (const FlagRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ComposeWord(row.keys, row.method, row.flags).text, std::u16string(row.text));
  }
}

// --- placement -------------------------------------------------------------------------------

TEST(ComposeTelex, TonePlacement) {
  struct Row {
    std::u16string_view keys;
    std::u16string_view classic;
    std::u16string_view modern;
    const char* name;
  };
  const Row rows[] = {
      {u"hoaf", u"hòa", u"hoà", "hoaf"},
      {u"khoer", u"khỏe", u"khoẻ", "khoer"},
      {u"thuyr", u"thủy", u"thuỷ", "thuyr"},
      {u"HOAF", u"HÒA", u"HOÀ", "HOAF"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ComposeWord(row.keys, kTelex, 0, true).text, std::u16string(row.classic));
    EXPECT_EQ(ComposeWord(row.keys, kTelex, 0, false).text, std::u16string(row.modern));
  }
  EXPECT_EQ(ComposeWord(u"hoa2", kVni, 0, false).text, u"hoà");
}

// --- the whole result ------------------------------------------------------------------------

struct ResultRow {
  std::u16string_view keys;
  std::u16string_view text;
  std::u16string_view literal;
  Tone tone;
  uint8_t toneBeforeMark;
  int32_t pendingTonePos;
  const char* name;
  InputMethod method = kTelex;
  uint32_t flags = 0;
};

void ExpectResults(std::span<const ResultRow> rows) {
  for (const ResultRow& row : rows) {
    SCOPED_TRACE(row.name);
    const ComposeResult r = ComposeWord(row.keys, row.method, row.flags);
    EXPECT_EQ(r.text, std::u16string(row.text));
    EXPECT_EQ(r.literal, std::u16string(row.literal));
    EXPECT_EQ(r.tone, row.tone);
    EXPECT_EQ(r.changed, row.text != row.literal ? 1 : 0);
    EXPECT_EQ(r.toneBeforeMark, row.toneBeforeMark);
    EXPECT_EQ(r.pendingTonePos, row.pendingTonePos);
  }
}

// The literal is the keys as the composition shows them: a key that undid a mark (the same mark
// key right after the key that transformed: it stays as a letter) and a tone key cancelled by
// repeating it or by the removal key are gone; keys without a role stay.
TEST(ComposeFields, Literal) {
  const ResultRow rows[] = {
      {u"", u"", u"", kToneNone, 0, -1, "empty"},
      {u"abc", u"abc", u"abc", kToneNone, 0, -1, "abc"},
      {u"as", u"á", u"as", kToneAcute, 0, -1, "as"},
      {u"aS", u"á", u"aS", kToneAcute, 0, -1, "aS keeps its case in the literal"},
      {u"tieengs", u"tiếng", u"tieengs", kToneAcute, 0, -1, "tieengs"},
      {u"asf", u"à", u"asf", kToneGrave, 0, -1, "asf: a replaced tone key stays"},
      {u"ass", u"as", u"as", kToneNone, 0, -1, "ass"},
      {u"tisengs", u"tiengs", u"tiengs", kToneNone, 0, -1, "tisengs"},
      {u"asz", u"a", u"az", kToneNone, 0, -1, "asz: s goes, z stays"},
      {u"ww", u"w", u"w", kToneNone, 0, -1, "ww"},
      {u"www", u"wư", u"ww", kToneNone, 0, -1, "www"},
      {u"aww", u"aw", u"aw", kToneNone, 0, -1, "aww"},
      {u"aaa", u"aa", u"aa", kToneNone, 0, -1, "aaa"},
      {u"aaaa", u"aâ", u"aaa", kToneNone, 0, -1, "aaaa"},
      {u"ddd", u"dd", u"dd", kToneNone, 0, -1, "ddd"},
      {u"oww", u"ow", u"ow", kToneNone, 0, -1, "oww"},
      {u"owo", u"ô", u"owo", kToneNone, 0, -1, "owo"},
      {u"W", u"Ư", u"W", kToneNone, 0, -1, "W"},
      {u"dadd", u"dad", u"dad", kToneNone, 0, -1, "dadd with flag 16", kTelex, 16},
      {u"a66", u"a6", u"a6", kToneNone, 0, -1, "VNI a66", kVni},
      {u"a10", u"a", u"a0", kToneNone, 0, -1, "VNI a10", kVni},
      {u"a11", u"a1", u"a1", kToneNone, 0, -1, "VNI a11", kVni},
      {u"a12", u"à", u"a12", kToneGrave, 0, -1, "VNI a12", kVni},
  };
  ExpectResults(rows);
}

// toneBeforeMark: a mark was applied while the word already had a tone.
TEST(ComposeFields, ToneBeforeMark) {
  const ResultRow rows[] = {
      {u"asa", u"ấ", u"asa", kToneAcute, 1, -1, "asa"},
      {u"aas", u"ấ", u"aas", kToneAcute, 0, -1, "aas"},
      {u"asw", u"ắ", u"asw", kToneAcute, 1, -1, "asw"},
      {u"aws", u"ắ", u"aws", kToneAcute, 0, -1, "aws"},
      {u"tiese", u"tiế", u"tiese", kToneAcute, 1, -1, "tiese"},
      {u"dasd", u"đá", u"dasd", kToneAcute, 1, -1, "dasd: the late stroke is a mark too", kTelex, 16},
      {u"a16", u"ấ", u"a16", kToneAcute, 1, -1, "VNI a16", kVni},
      {u"a61", u"ấ", u"a61", kToneAcute, 0, -1, "VNI a61", kVni},
  };
  ExpectResults(rows);
}

// pendingTonePos: the letter that holds a tone key still waiting for a vowel.
TEST(ComposeFields, PendingTonePos) {
  const ResultRow rows[] = {
      {u"ts", u"ts", u"ts", kToneNone, 0, 1, "ts", kTelex, 1},
      {u"ngs", u"ngs", u"ngs", kToneNone, 0, 2, "ngs", kTelex, 1},
      {u"bsl", u"bsl", u"bsl", kToneNone, 0, 1, "bsl: still no vowel", kTelex, 1},
      {u"xr", u"xr", u"xr", kToneNone, 0, 1, "xr", kTelex, 1},
      {u"t1", u"t1", u"t1", kToneNone, 0, 1, "VNI t1", kVni, 1},
      {u"tso", u"tó", u"tso", kToneAcute, 0, -1, "tso: settled", kTelex, 1},
      {u"tsoi", u"tói", u"tsoi", kToneAcute, 0, -1, "tsoi", kTelex, 1},
      {u"bsla", u"bsla", u"bsla", kToneNone, 0, -1, "bsla: dropped", kTelex, 1},
      {u"tr", u"tr", u"tr", kToneNone, 0, -1, "tr: t + r begins an onset", kTelex, 1},
      {u"bcs", u"bcs", u"bcs", kToneNone, 0, -1, "bcs: bc begins no onset", kTelex, 1},
      {u"ts", u"ts", u"ts", kToneNone, 0, -1, "ts without the flag"},
  };
  ExpectResults(rows);
}

// --- prefix ----------------------------------------------------------------------------------

TEST(ComposePrefix, ContinuesAComposedWord) {
  struct Row {
    std::u16string_view prefix;
    std::u16string_view keys;
    std::u16string_view text;
    const char* name;
  };
  const Row rows[] = {
      {u"tiến", u"f", u"tiền", "tiến + f"},
      {u"Việt", u"s", u"Viết", "Việt + s"},
      {u"VIÊT", u"j", u"VIỆT", "VIÊT + j"},
      {u"tu", u"w", u"tư", "tu + w"},
      {u"tiến", u"s", u"tiến", "tiến + s: the same tone, nothing changes"},
      {u"tiến", u"z", u"tiên", "tiến + z"},
      {u"hoa", u"f", u"hòa", "hoa + f"},
      {u"Đ", u"a", u"Đa", "Đ + a"},
      {u"thu", u"owr", u"thuở", "thu + owr"},
      {u"", u"as", u"á", "empty prefix"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ComposeWord(row.keys, kTelex, 0, true, row.prefix).text, std::u16string(row.text));
  }
  const ComposeResult tu = ComposeWord(u"w", kTelex, 0, true, u"tu");
  EXPECT_EQ(tu.literal, u"tuw");
  EXPECT_EQ(tu.changed, 1);
  const ComposeResult tien = ComposeWord(u"f", kTelex, 0, true, u"tiến");
  EXPECT_EQ(tien.literal, u"tiếnf");
  EXPECT_EQ(tien.tone, kToneGrave);
}

// --- length limit ----------------------------------------------------------------------------

// Both sides of the limit, with the prefix counted: an off-by-one or a forgotten prefix fails.
TEST(ComposeLimit, LengthLimitCountsThePrefix) {
  const std::u16string within = u"s" + std::u16string(56, u'b');  // 3 + 57 = 60
  const ComposeResult composed = ComposeWord(within, kTelex, 0, true, u"tiê");
  EXPECT_EQ(composed.text, u"tiế" + std::u16string(56, u'b'));
  EXPECT_EQ(composed.literal, u"tiê" + within);

  const std::u16string beyond = u"s" + std::u16string(57, u'b');  // 3 + 58 = 61
  const ComposeResult typed = ComposeWord(beyond, kTelex, 0, true, u"tiê");
  EXPECT_EQ(typed.text, u"tiê" + beyond);
  EXPECT_EQ(typed.literal, u"tiê" + beyond);
  EXPECT_EQ(typed.tone, kToneNone);
  EXPECT_EQ(typed.changed, 0);
}

// --- properties over many generated words ----------------------------------------------------

// A small deterministic generator, the same on every platform.
class KeyGenerator {
 public:
  explicit KeyGenerator(uint64_t seed) : state_(seed) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>((state_ >> 33) % bound);
  }
  std::u16string Word(std::u16string_view alphabet) {
    const uint32_t length = Next(8) == 0 ? Next(71) : Next(13);
    std::u16string keys;
    for (uint32_t i = 0; i < length; ++i) keys += alphabet[Next(static_cast<uint32_t>(alphabet.size()))];
    return keys;
  }

 private:
  uint64_t state_;
};

bool IsSubsequence(std::u16string_view part, std::u16string_view whole) {
  std::size_t i = 0;
  for (char16_t c : whole) {
    if (i < part.size() && part[i] == c) ++i;
  }
  return i == part.size();
}

bool HasAsciiUpper(std::u16string_view keys) {
  for (char16_t c : keys) {
    if (c >= u'A' && c <= u'Z') return true;
  }
  return false;
}

// Mark and tone keys are weighted up so that most words exercise the rules.
constexpr std::u16string_view kMixedKeys =
    u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    u"aaeeoouuwwwddsfrxjzWDSAEO66778899012345";

TEST(ComposeProperties, GeneratedWordsKeepTheInvariants) {
  KeyGenerator gen(20240611);
  for (InputMethod method : {kTelex, kVni}) {
    for (uint32_t flags : {0u, 44u | 19u}) {
      for (int n = 0; n < 3000; ++n) {
        const std::u16string keys = gen.Word(kMixedKeys);
        SCOPED_TRACE(testing::PrintToString(keys));
        const ComposeResult r = ComposeWord(keys, method, flags);
        EXPECT_EQ(r.changed, r.text != r.literal ? 1 : 0);
        EXPECT_LE(static_cast<uint32_t>(r.tone), 5u);
        EXPECT_LE(r.text.size(), keys.size());
        EXPECT_TRUE(IsSubsequence(r.literal, keys)) << testing::PrintToString(r.literal);
        if (r.pendingTonePos != -1) {
          EXPECT_GE(r.pendingTonePos, 0);
          EXPECT_LT(static_cast<std::size_t>(r.pendingTonePos), r.text.size());
          EXPECT_TRUE(flags & kPendingTone);
        }
        if (keys.size() > kMaxComposeUnits) {
          EXPECT_EQ(r.text, keys);
          EXPECT_EQ(r.literal, keys);
          EXPECT_EQ(r.tone, kToneNone);
        }
        if (!HasAsciiUpper(keys)) {
          for (char16_t c : r.text) EXPECT_EQ(ToLowerVi(c), c) << testing::PrintToString(r.text);
        }
        const ComposeResult again = ComposeWord(keys, method, flags);
        EXPECT_EQ(again.text, r.text);
        EXPECT_EQ(again.literal, r.literal);
        if (HasFailure()) return;
      }
    }
  }
}

// Keys without a role for the method come back exactly as typed.
TEST(ComposeProperties, KeysWithoutARoleAreLeftAlone) {
  struct Case {
    InputMethod method;
    std::u16string_view alphabet;
  };
  const Case cases[] = {
      {kTelex, u"bcghiklmnpqtuvyBCGHIKLMNPQTUVY0123456789.,-'"},
      {kVni, u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.,-'"},
  };
  KeyGenerator gen(7);
  for (const Case& c : cases) {
    for (uint32_t flags : {0u, 44u | 19u, 0xFFu}) {
      for (int n = 0; n < 1000; ++n) {
        const std::u16string keys = gen.Word(c.alphabet);
        SCOPED_TRACE(testing::PrintToString(keys));
        const ComposeResult r = ComposeWord(keys, c.method, flags);
        EXPECT_EQ(r.text, keys);
        EXPECT_EQ(r.literal, keys);
        EXPECT_EQ(r.changed, 0);
        EXPECT_EQ(r.tone, kToneNone);
        EXPECT_EQ(r.pendingTonePos, -1);
        if (HasFailure()) return;
      }
    }
  }
}

}  // namespace
}  // namespace tonvira
