#include "update/manifest.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/update/release_tool.h"

namespace tonvira {
namespace {

using testing::kGoodManifest;

// The good manifest with one line replaced ("seq=42" -> "seq=0"), or removed when the
// replacement is empty.
std::string With(std::string_view line, std::string_view replacement) {
  std::string text(kGoodManifest);
  size_t at = text.find(std::string(line) + "\n");
  EXPECT_NE(at, std::string::npos) << line;
  if (replacement.empty()) return text.erase(at, line.size() + 1);
  return text.replace(at, line.size(), replacement);
}

std::string Plus(std::string_view lines) {
  return std::string(kGoodManifest) + std::string(lines);
}

TEST(ParseManifest, ReadsEveryField) {
  ParsedManifest parsed = ParseManifest(Plus("min=1.4\nunknown=kept out\nnote=Sửa lỗi gõ dấu\n"));
  ASSERT_EQ(parsed.outcome, ManifestParse::Accepted);
  const Manifest& m = parsed.manifest;
  EXPECT_EQ(m.product, "tonvira");
  EXPECT_EQ(m.channel, "stable");
  EXPECT_EQ(m.version, "1.5.0");
  EXPECT_EQ(m.min, "1.4");
  EXPECT_EQ(m.published, "2025-03-01");
  EXPECT_EQ(m.msi, "https://updates.tonvira.test/tonvira-1.5.0.msi");
  EXPECT_EQ(m.sha256, "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08");
  EXPECT_EQ(m.seq, 42u);
  EXPECT_EQ(m.size, 3145728u);
  EXPECT_EQ(m.notes, (std::vector<std::string>{"Gõ nhanh hơn trong Excel", "Sửa lỗi gõ dấu"}));
  EXPECT_FALSE(ParseManifest(kGoodManifest).manifest.min.has_value());
}

TEST(ParseManifest, OutcomesInTheOrderOfTheChecks) {
  struct Row {
    const char* name;
    std::string text;
    ManifestParse outcome;
  };
  const std::string crlf = [] {
    std::string text;
    for (char c : kGoodManifest) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return text;
  }();
  const Row rows[] = {
      {"good", std::string(kGoodManifest), ManifestParse::Accepted},
      // Framing comes first.
      {"CRLF line ends", crlf, ManifestParse::Malformed},
      {"a CR in a value", With("published=2025-03-01", "published=2025\r"), ManifestParse::Malformed},
      {"a NUL", With("published=2025-03-01", std::string("published=a\0b", 13)), ManifestParse::Malformed},
      {"last line without LF", std::string(kGoodManifest.substr(0, kGoodManifest.size() - 1)),
       ManifestParse::Malformed},
      {"an empty line", Plus("\n"), ManifestParse::Malformed},
      {"empty", "", ManifestParse::Malformed},
      {"an empty line before a foreign first line", "hello\n\n", ManifestParse::Malformed},
      {"a line without =", Plus("note\n"), ManifestParse::Malformed},
      {"= first", Plus("=x\n"), ManifestParse::Malformed},
      {"seq not digits", With("seq=42", "seq=4x"), ManifestParse::Malformed},
      {"seq of 20 digits", With("seq=42", "seq=10000000000000000000"), ManifestParse::Malformed},
      {"size empty", With("size=3145728", "size="), ManifestParse::Malformed},
      {"a bad seq line before a good one", With("seq=42", "seq=x\nseq=42"), ManifestParse::Malformed},
      // Then the first line.
      {"foreign first line", "hello\nproduct=tonvira\n", ManifestParse::NotAManifest},
      {"magic without its space", "TONVIRA-UPDATE\n", ManifestParse::NotAManifest},
      {"lower-case magic", "tonvira-update 1\n", ManifestParse::NotAManifest},
      {"format 2", "TONVIRA-UPDATE 2\nproduct=tonvira\n", ManifestParse::UnsupportedVersion},
      {"format 10", "TONVIRA-UPDATE 10\n", ManifestParse::UnsupportedVersion},
      {"format 1 and a space", "TONVIRA-UPDATE 1 \n", ManifestParse::UnsupportedVersion},
      // Then the fields, in their order.
      {"product in capitals", With("product=tonvira", "product=Tonvira"), ManifestParse::InvalidContent},
      {"no product", With("product=tonvira", ""), ManifestParse::InvalidContent},
      {"seq 0", With("seq=42", "seq=0"), ManifestParse::InvalidContent},
      {"no seq", With("seq=42", ""), ManifestParse::InvalidContent},
      {"version not dotted", With("version=1.5.0", "version=1.5-beta"), ManifestParse::InvalidContent},
      {"no msi", With("msi=https://updates.tonvira.test/tonvira-1.5.0.msi", "msi="),
       ManifestParse::InvalidContent},
      {"size 0", With("size=3145728", "size=0"), ManifestParse::InvalidContent},
      {"upper-case hex",
       With("sha256=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08",
            "sha256=9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08"),
       ManifestParse::InvalidContent},
      {"short hex",
       With("sha256=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08", "sha256=9f86"),
       ManifestParse::InvalidContent},
      {"bad min", Plus("min=1..4\n"), ManifestParse::Malformed},
      {"empty min", Plus("min=\n"), ManifestParse::Malformed},
      {"size above 50 MiB", With("size=3145728", "size=52428801"), ManifestParse::Malformed},
      {"size of 50 MiB", With("size=3145728", "size=52428800"), ManifestParse::Accepted},
      // Invalid content is found before a bad min.
      {"seq 0 and a bad min", With("seq=42", "seq=0\nmin=x"), ManifestParse::InvalidContent},
      // A repeated key keeps its last value.
      {"repeated product", Plus("product=other\n"), ManifestParse::InvalidContent},
      {"repeated product, good last", With("product=tonvira", "product=other\nproduct=tonvira"),
       ManifestParse::Accepted},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseManifest(row.text).outcome, row.outcome);
  }
}

TEST(ParseManifest, NotesThatCannotBeShownAreSkippedAndTheManifestStands) {
  std::string notes;
  for (int i = 1; i <= 13; ++i) notes += "note=line " + std::to_string(i) + "\n";
  notes += "note=<b>bold</b>\nnote=a > b\nnote=\nnote=\x7f\nnote=tab\there\n";
  notes += "note=" + std::string(401, 'a') + "\n";
  ParsedManifest parsed =
      ParseManifest(With("note=Gõ nhanh hơn trong Excel", "note=" + std::string(400, 'b')) + notes);
  ASSERT_EQ(parsed.outcome, ManifestParse::Accepted);
  ASSERT_EQ(parsed.manifest.notes.size(), 12u);
  EXPECT_EQ(parsed.manifest.notes.front(), std::string(400, 'b'));
  EXPECT_EQ(parsed.manifest.notes.back(), "line 11");  // the 13th note and later are dropped

  parsed = ParseManifest(Plus("note=see <https://x>\nnote=ok\n"));
  ASSERT_EQ(parsed.outcome, ManifestParse::Accepted);
  EXPECT_EQ(parsed.manifest.notes, (std::vector<std::string>{"Gõ nhanh hơn trong Excel", "ok"}));
}

}  // namespace
}  // namespace tonvira
