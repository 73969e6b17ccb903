#include "config/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/abbrev_table.h"
#include "config/text_file.h"
#include "scratch_machine.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

constexpr std::string_view kDefaultFile =
    "ver=145\nenabled=1\nmethod=0\nold_tone=0\ncontext=1\nstartup=1\nen_threshold=2.0\nhotkey_mode=1\n"
    "hotkey_char=Z\nabbrev=1\nshow_ads=1\ncloud=1\nsmart=1\nbs_edit=1\nfree_marks=1\nautofix=1\ncaps_vi=1\n"
    "abbrev_lib=\n";

Settings Parse(std::string_view bytes) {
  Settings settings;
  ParseSettingsLines(settings, SplitTextLines(bytes));
  return settings;
}

std::string Written(const Settings& settings) {
  return Utf16ToUtf8(SettingsText(settings));
}

// The value a key is written back with.
std::string WrittenValue(const Settings& settings, std::string_view key) {
  std::string text = "\n" + Written(settings);
  size_t at = text.find("\n" + std::string(key) + "=");
  size_t start = at + key.size() + 2;
  return text.substr(start, text.find('\n', start) - start);
}

TEST(SettingsFile, EmptyFileOrOnlyTheVersionKeepsTheDefaults) {
  EXPECT_EQ(Written(Settings{}), kDefaultFile);  // in this order
  EXPECT_EQ(Written(Parse("")), kDefaultFile);
  EXPECT_EQ(Written(Parse("ver=145\n")), kDefaultFile);
  EXPECT_EQ(Written(Parse("ver=abc\nno equals sign\n\n=\n")), kDefaultFile);
}

TEST(SettingsFile, ReadsEachKeyTheWayTheFileFormatSays) {
  struct Row {
    std::string_view file;
    std::string_view key;
    std::string_view written;
  };
  const Row rows[] = {
      {"hotkey_mode=3", "hotkey_mode", "1"},
      {"hotkey_mode=0", "hotkey_mode", "1"},
      {"hotkey_mode=2", "hotkey_mode", "2"},
      {"hotkey_mode= 2x", "hotkey_mode", "2"},
      {"hotkey_char=", "hotkey_char", "Z"},
      {"hotkey_char=qx", "hotkey_char", "q"},
      {"en_threshold=2,5", "en_threshold", "2.0"},
      {"en_threshold=abc", "en_threshold", "0.0"},
      {"en_threshold=3.14", "en_threshold", "3.1"},
      {"en_threshold= 1e0", "en_threshold", "1.0"},
      {"en_threshold=1e300", "en_threshold", "340282346638528859811704183484516925440.0"},
      {"en_threshold=-1e300", "en_threshold", "-340282346638528859811704183484516925440.0"},
      {"en_threshold=1e400", "en_threshold", "inf"},
      {"method=7", "method", "7"},
      {"method=99999999999", "method", "2147483647"},
      {"enabled=1=2", "enabled", "0"},
      {"enabled=true", "enabled", "0"},
      {"enabled= 1", "enabled", "0"},
      {"enabled=01", "enabled", "0"},
      {"enabled=", "enabled", "0"},
      {"Enabled=0", "enabled", "1"},             // keys are case-sensitive
      {"enabled =0", "enabled", "1"},            // and not trimmed
      {"enabled=0\nenabled=1", "enabled", "1"},  // the later line wins
      {"abbrev_lib= a=b ", "abbrev_lib", " a=b "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_EQ(WrittenValue(Parse(row.file), row.key), row.written);
  }
}

TEST(SettingsFile, WriteReadWriteGivesTheSameBytes) {
  Settings changed;
  changed.enabled = 0;
  changed.method = 7;
  changed.en_threshold = 3.7f;
  changed.hotkey_mode = 2;
  changed.hotkey_char = u'Đ';
  changed.smart = 0;
  changed.abbrev_lib = u"1.4.12";
  for (const Settings& settings : {Settings{}, changed}) {
    std::string first = Written(settings);
    EXPECT_EQ(Written(Parse(first)), first);
  }
  EXPECT_EQ(WrittenValue(changed, "en_threshold"), "3.7");
}

using LoadSettingsTest = ScratchMachine;

TEST_F(LoadSettingsTest, FirstRunStartsFromDefaultsAndSaves) {
  Settings settings;
  AbbrevTable abbrevs;
  SettingsState state = LoadSettings(settings, abbrevs);
  EXPECT_TRUE(state.FirstRun);
  EXPECT_TRUE(state.SettingsLoaded);
  EXPECT_TRUE(state.AbbrevLoaded);
  EXPECT_EQ(Written(settings), kDefaultFile);  // no library shipped: the merge waits
  settings.smart = 0;
  ASSERT_TRUE(SaveSettings(settings, state));
  EXPECT_EQ(Get(Path("app/data/settings.txt")), Written(settings));
}

TEST_F(LoadSettingsTest, ReadsTheUsersFile) {
  Put(Path("app/data/settings.txt"), "method=1\r\nabbrev_lib=1.4.12\r\n");
  Settings settings;
  AbbrevTable abbrevs;
  SettingsState state = LoadSettings(settings, abbrevs);
  EXPECT_FALSE(state.FirstRun);
  EXPECT_EQ(settings.method, 1);
  // Written back without the CRs.
  ASSERT_TRUE(SaveSettings(settings, state));
  EXPECT_EQ(Get(Path("app/data/settings.txt")), Written(settings));
}

TEST_F(LoadSettingsTest, UnreadableFileIsNeverReplacedByDefaults) {
  std::u16string path = Path("app/data/settings.txt");
  Put(path, "method=1\nabbrev_lib=1.4.9\n");
  Put(Path("app/data/abbrev.txt"), "lib\tthư viện\t1.4.10\n");
  SimulatedMachine().faults.unreadable.insert(path);
  Settings settings;
  AbbrevTable abbrevs;
  SettingsState state = LoadSettings(settings, abbrevs);
  EXPECT_FALSE(state.SettingsLoaded);
  EXPECT_FALSE(state.FirstRun);
  EXPECT_EQ(settings.method, 0);
  EXPECT_EQ(settings.abbrev_lib, u"");  // not knowing the user's library, the merge waits
  settings.smart = 0;
  EXPECT_FALSE(SaveSettings(settings, state));
  EXPECT_EQ(Get(path), "method=1\nabbrev_lib=1.4.9\n");
  EXPECT_EQ(Get(Path("app/data/abbrev.txt")), "lib\tthư viện\t1.4.10\n");
}

}  // namespace
}  // namespace tonvira
