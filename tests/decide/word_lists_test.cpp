// The word lists at start: the compact form gives back exactly what the text gives, and is
// used only while it matches the text and is whole.
#include "decide/word_lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "decide/word_list_image.h"
#include "decide/word_pairs.h"
#include "text/utf8.h"

#ifndef TONVIRA_DATA_DIR
#define TONVIRA_DATA_DIR "data"
#endif

namespace tonvira {
namespace {

namespace fs = std::filesystem;

template <typename T>
std::vector<T> Copy(std::span<const T> table) {
  return {table.begin(), table.end()};
}

void ExpectSameLists(const Lexicon& a, const Lexicon& b) {
  EXPECT_EQ(a.english.buffer, b.english.buffer);
  ASSERT_EQ(a.english.size(), b.english.size());
  for (size_t i = 0; i < a.english.size(); ++i) {
    const EnglishWords::Span x = a.english.sorted[i];
    const EnglishWords::Span y = b.english.sorted[i];
    ASSERT_TRUE(x.offset == y.offset && x.size == y.size && x.level == y.level) << i;
  }
  EXPECT_EQ(a.english.firstLetterStart, b.english.firstLetterStart);
  EXPECT_EQ(a.english.secondLetterStart, b.english.secondLetterStart);
  EXPECT_EQ(a.syllables.keys, b.syllables.keys);
  EXPECT_EQ(Copy(a.syllables.ends), Copy(b.syllables.ends));
  EXPECT_EQ(Copy(a.syllables.frequency), Copy(b.syllables.frequency));
  EXPECT_EQ(Copy(a.syllables.flags), Copy(b.syllables.flags));
  EXPECT_EQ(Copy(a.syllables.slots), Copy(b.syllables.slots));
  EXPECT_EQ(a.pairs.buffer, b.pairs.buffer);
  EXPECT_EQ(Copy(a.pairs.sortedOffsets), Copy(b.pairs.sortedOffsets));
  EXPECT_EQ(Copy(a.pairs.scores), Copy(b.pairs.scores));
}

class WordListsTest : public testing::Test {
 protected:
  WordListsTest() {
    dir_ = fs::path(testing::TempDir()) /
           ("tonvira-lists-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~WordListsTest() override { fs::remove_all(dir_); }

  WordListFiles Files(const fs::path& textDir) const {
    return {Path(textDir / "en_words.txt"), Path(textDir / "vi_syllables.txt"),
            Path(textDir / "word_pairs.txt"), Path(dir_ / "word_lists.bin")};
  }
  static std::u16string Path(const fs::path& p) { return Utf8ToUtf16(p.string()); }
  void WriteSmallLists() const {
    std::ofstream(dir_ / "en_words.txt") << "the 1\nfile 12\nturn 20\n";
    std::ofstream(dir_ / "vi_syllables.txt") << "tôi\t170\ndã\t2\td\n";
    std::ofstream(dir_ / "word_pairs.txt") << "v\tsau\tđó\t40\n";
  }
  std::string Compact() const {
    std::ifstream in(dir_ / "word_lists.bin", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void SetCompact(const std::string& bytes) const {
    std::ofstream(dir_ / "word_lists.bin", std::ios::binary | std::ios::trunc) << bytes;
  }

  fs::path dir_;
};

TEST_F(WordListsTest, TheCompactFormGivesTheShippedListsExactlyAsTheTextDoes) {
  Lexicon fromText;
  WordListsLoaded first = LoadWordLists(fromText, Files(TONVIRA_DATA_DIR));
  ASSERT_TRUE(first.english && first.syllables && first.pairs);
  EXPECT_FALSE(first.fromCompact);
  ASSERT_TRUE(first.compactWritten);

  Lexicon fromCompact;
  WordListsLoaded second = LoadWordLists(fromCompact, Files(TONVIRA_DATA_DIR));
  ASSERT_TRUE(second.fromCompact);
  EXPECT_TRUE(second.english && second.syllables && second.pairs);
  EXPECT_FALSE(second.compactWritten);
  ExpectSameLists(fromText, fromCompact);
  // And read through the lookups the typing uses.
  EXPECT_EQ(EnglishLevel(&fromCompact.english, u"the"), 1);
  EXPECT_TRUE(IsEnglishPrefix(fromCompact.english, u"meetin"));
  EXPECT_GE(SyllableFrequency(fromCompact.syllables, u"người"), 30);
  EXPECT_TRUE(IsDFlagged(fromCompact.syllables, u"dã"));
  EXPECT_EQ(PairScore(fromCompact.pairs, PairLanguage::Vietnamese, u"sau", u"đó"),
            PairScore(fromText.pairs, PairLanguage::Vietnamese, u"sau", u"đó"));
}

// Whatever happened to the form, the text is read, the words are right, and the form is made
// again; the start after that uses it.
TEST_F(WordListsTest, AFormThatDoesNotMatchTheTextOrIsDamagedIsNeverUsed) {
  WriteSmallLists();
  {
    Lexicon lexicon;
    ASSERT_TRUE(LoadWordLists(lexicon, Files(dir_)).compactWritten);
  }
  const std::string good = Compact();
  ASSERT_GT(good.size(), 300u);
  struct Row {
    const char* what;
    std::function<void()> harm;
  } rows[] = {
      {"the English list changed",
       [&] { std::ofstream(dir_ / "en_words.txt", std::ios::app) << "turnip 30\n"; }},
      {"the pair list removed", [&] { fs::remove(dir_ / "word_pairs.txt"); }},
      {"cut short", [&] { SetCompact(good.substr(0, good.size() - 8)); }},
      {"one byte of a table changed",
       [&] { SetCompact(std::string(good).replace(good.size() - 20, 1, "\x7f")); }},
      {"one byte of the stamps changed", [&] { SetCompact(std::string(good).replace(40, 1, "\x01")); }},
      {"empty", [&] { SetCompact(""); }},
      {"another file's bytes", [&] { SetCompact(std::string(good.size(), 'x')); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WriteSmallLists();
    SetCompact(good);
    {
      Lexicon lexicon;
      ASSERT_TRUE(LoadWordLists(lexicon, Files(dir_)).fromCompact);  // the form as made
    }
    row.harm();
    Lexicon lexicon;
    WordListsLoaded loaded = LoadWordLists(lexicon, Files(dir_));
    EXPECT_FALSE(loaded.fromCompact);
    EXPECT_TRUE(loaded.english);
    EXPECT_TRUE(loaded.compactWritten);
    EXPECT_EQ(EnglishLevel(&lexicon.english, u"file"), 12);
    EXPECT_EQ(SyllableFrequency(lexicon.syllables, u"tôi"), 170);
    Lexicon again;
    EXPECT_TRUE(LoadWordLists(again, Files(dir_)).fromCompact);
    ExpectSameLists(lexicon, again);
  }
}

// The fingerprint tells a damaged form; a form whose fingerprint is right but whose tables
// point outside themselves is refused all the same.
TEST_F(WordListsTest, TablesThatPointOutsideThemselvesAreRefused) {
  WriteSmallLists();
  Lexicon lexicon;
  ASSERT_TRUE(LoadWordLists(lexicon, Files(dir_)).compactWritten);
  const std::string good = Compact();
  auto refingerprinted = [](std::string bytes) {  // the fingerprint of all after its own field
    uint64_t fingerprint = Fingerprint(std::string_view(bytes).substr(24));
    std::memcpy(bytes.data() + 16, &fingerprint, 8);
    return bytes;
  };
  const WordListStamps stamps = [&] {
    auto read = [](const fs::path& p) {
      std::ifstream in(p, std::ios::binary);
      return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    std::string en = read(dir_ / "en_words.txt"), vi = read(dir_ / "vi_syllables.txt"),
                pairs = read(dir_ / "word_pairs.txt");
    return WordListStamps{StampOf(en), StampOf(vi), StampOf(pairs), kDefaultSyllableFrequency};
  }();
  Lexicon read;
  ASSERT_TRUE(ReadWordListImage(ImageBytesOf(refingerprinted(good)), stamps, read));

  std::string spanPastTheWords = good;  // the first English word's length, past the word buffer
  uint64_t spans = 0;
  std::memcpy(&spans, good.data() + 112 + 16, 8);
  spanPastTheWords[spans + 4] = '\x7f';
  EXPECT_FALSE(ReadWordListImage(ImageBytesOf(refingerprinted(spanPastTheWords)), stamps, read));

  std::string sectionPastTheEnd = good;  // the syllable keys said to run past the file
  uint64_t huge = good.size();
  std::memcpy(sectionPastTheEnd.data() + 112 + 4 * 16 + 8, &huge, 8);
  EXPECT_FALSE(ReadWordListImage(ImageBytesOf(refingerprinted(sectionPastTheEnd)), stamps, read));
  std::string noEmptySlot = good;  // every slot taken (by the same key): a missing key's search would not end
  uint64_t slots = 0, slotBytes = 0;
  std::memcpy(&slots, good.data() + 112 + 8 * 16, 8);
  std::memcpy(&slotBytes, good.data() + 112 + 8 * 16 + 8, 8);
  const uint32_t firstKey = 1;
  for (uint64_t at = slots; at < slots + slotBytes; at += 4)
    std::memcpy(noEmptySlot.data() + at, &firstKey, 4);
  EXPECT_FALSE(ReadWordListImage(ImageBytesOf(refingerprinted(noEmptySlot)), stamps, read));
  EXPECT_EQ(EnglishLevel(&read.english, u"file"), 12);  // untouched by the refusals
}

TEST_F(WordListsTest, WithoutAPlaceForTheFormTheTextServes) {
  WriteSmallLists();
  WordListFiles files = Files(dir_);
  files.compact = Path(dir_ / "no such folder" / "word_lists.bin");
  Lexicon lexicon;
  WordListsLoaded loaded = LoadWordLists(lexicon, files);
  EXPECT_TRUE(loaded.english && loaded.syllables && loaded.pairs);
  EXPECT_FALSE(loaded.compactWritten);
  files.english = Path(dir_ / "missing.txt");  // no English list: nothing is written either
  Lexicon none;
  files.compact = Path(dir_ / "word_lists.bin");
  EXPECT_FALSE(LoadWordLists(none, files).english);
  EXPECT_FALSE(fs::exists(dir_ / "word_lists.bin"));
}

}  // namespace
}  // namespace tonvira
