#include "text/utf8.h"

#include <gtest/gtest.h>

namespace tonvira {
namespace {

struct Utf8Row {
  const char* name;
  std::string bytes;
  std::u16string text;
};

TEST(Utf8, DecodesAndReplacesInvalidSequences) {
  const Utf8Row rows[] = {
      {"ascii", "abc", u"abc"},
      {"vietnamese", "Tiếng Việt", u"Tiếng Việt"},
      {"astral plane becomes a surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"stray continuation byte", "a\x80z", u"a\uFFFDz"},
      {"truncated three-byte sequence at the end", "a\xE1\xBA", u"a\uFFFD\uFFFD"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead byte", "\xFFx", u"\uFFFDx"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utf8ToUtf16(row.bytes), row.text);
  }
}

TEST(Utf8, EncodesAndReplacesLoneSurrogates) {
  EXPECT_EQ(Utf16ToUtf8(u"đường"), "đường");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(Utf16ToUtf8(u"a" + std::u16string(1, char16_t(0xDC00))), "a\xEF\xBF\xBD");
}

TEST(Utf8, RoundTripsEveryBmpCharacterOutsideSurrogates) {
  std::u16string all;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) all.push_back(static_cast<char16_t>(c));
  }
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(all)), all);
}

}  // namespace
}  // namespace tonvira
