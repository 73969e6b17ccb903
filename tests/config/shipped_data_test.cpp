// The shipped first copies of the user's files: settings.txt with the defaults, and abbrev.txt,
// the built-in abbreviation library.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "config/abbrev_library.h"
#include "config/abbrev_table.h"
#include "config/settings.h"
#include "config/text_file.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

std::string ReadShipped(const char* name) {
  std::ifstream file(std::string(TONVIRA_DATA_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A fresh user starts from the defaults; a key the shipped copy lacks (a setting newer than the
// copy) keeps its default, but no line of it may be other than the program writes.
TEST(ShippedData, SettingsHoldTheDefaultsAsTheProgramWritesThem) {
  const std::u16string defaults = SettingsText(Settings{});
  std::vector<std::u16string> lines = SplitTextLines(ReadShipped("settings.txt"));
  Settings shipped;
  ParseSettingsLines(shipped, lines);
  EXPECT_EQ(SettingsText(shipped), defaults);
  for (const std::u16string& line : lines) {
    EXPECT_NE(defaults.find(line + u"\n"), std::u16string::npos) << Utf16ToUtf8(line);
  }
}

TEST(ShippedData, LibraryEntriesAreValidAndVersioned) {
  std::vector<std::u16string> lines = SplitTextLines(ReadShipped("abbrev.txt"));
  AbbrevTable library;
  ParseAbbrevLines(library, lines);
  EXPECT_GE(library.expansions.size(), 150u);
  size_t entryLines = 0;
  for (const std::u16string& line : lines) entryLines += !line.empty() && line[0] != u'#';
  EXPECT_EQ(entryLines, library.expansions.size());  // no line dropped, no key twice
  for (const auto& [key, expansion] : SortedAbbrevs(library)) {
    SCOPED_TRACE(Utf16ToUtf8(key));
    // Typed as plain lower-case letters or digits, so the key reaches the table as typed.
    for (char16_t c : key) EXPECT_TRUE((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'));
    EXPECT_EQ(TrimAbbrevField(expansion), expansion);
    auto since = library.since.find(key);
    ASSERT_NE(since, library.since.end());
    EXPECT_FALSE(VersionLower(AbbrevLibraryVersion(), since->second)) << Utf16ToUtf8(since->second);
  }
  EXPECT_EQ(*LookupAbbrev(library, u"chxhcnvn"), u"Cộng hòa Xã hội Chủ nghĩa Việt Nam");
}

}  // namespace
}  // namespace tonvira
