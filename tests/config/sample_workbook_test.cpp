// The sample workbook, saved as CSV from a spreadsheet program, imports without its header row,
// and its examples agree with the built-in library. Its zip and XML structure is checked beside
// the tool that writes it (tools/workbook/check_sample_workbook.py).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "config/abbrev_table.h"
#include "config/text_file.h"
#include "text/utf8.h"

namespace tonvira {
namespace {

std::string ReadShipped(const char* name) {
  std::ifstream file(std::string(TONVIRA_DATA_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.push_back(text[i]);
      continue;
    }
    size_t close = text.find(';', i);
    std::string_view entity = text.substr(i, close - i + 1);
    out += entity == "&amp;"    ? "&"
           : entity == "&lt;"   ? "<"
           : entity == "&gt;"   ? ">"
           : entity == "&quot;" ? "\""
                                : "'";
    i = close;
  }
  return out;
}

// The sample's rows. Its entries are stored uncompressed and its sheet takes the shared strings
// once each, in order, two to a row (the workbook's own check holds it to that), so the rows are
// the texts of the shared strings part, read straight from the file.
std::vector<std::vector<std::string>> SampleRows() {
  const std::string workbook = ReadShipped("mau-go-tat.xlsx");
  const std::string_view file = workbook;
  const size_t start = file.find("<sst ");
  const size_t end = file.find("</sst>", start);
  if (start == std::string_view::npos || end == std::string_view::npos) return {};
  const std::string_view strings = file.substr(start, end - start);
  std::vector<std::vector<std::string>> rows;
  for (size_t at = strings.find("<t>"); at != std::string_view::npos; at = strings.find("<t>", at)) {
    at += 3;
    const size_t close = strings.find("</t>", at);
    if (close == std::string_view::npos) break;
    if (rows.empty() || rows.back().size() == 2) rows.emplace_back();
    rows.back().push_back(Unescape(strings.substr(at, close - at)));
    at = close;
  }
  return rows;
}

// What "CSV UTF-8" in a spreadsheet program writes: a byte-order mark, CR LF, and quotes around
// a field that holds a comma or a quote.
std::string AsCsv(const std::vector<std::vector<std::string>>& rows) {
  std::string csv = "\xEF\xBB\xBF";
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) csv += ',';
      if (row[i].find_first_of(",\"") == std::string::npos) {
        csv += row[i];
        continue;
      }
      csv += '"';
      for (char c : row[i]) csv += c == '"' ? std::string("\"\"") : std::string(1, c);
      csv += '"';
    }
    csv += "\r\n";
  }
  return csv;
}

TEST(SampleWorkbook, SavedAsCsvImportsWithoutItsHeader) {
  const std::vector<std::vector<std::string>> rows = SampleRows();
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Khoá", "Bản khai triển"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"chxhcnvn", "Cộng hòa Xã hội Chủ nghĩa Việt Nam"}));

  AbbrevTable table;
  EXPECT_EQ(ImportAbbrevLines(table, SplitTextLines(AsCsv(rows))), 12);
  EXPECT_EQ(LookupAbbrev(table, u"khoá"), nullptr);
  // The examples agree with the built-in library.
  AbbrevTable library;
  ParseAbbrevLines(library, SplitTextLines(ReadShipped("abbrev.txt")));
  for (const auto& [key, expansion] : SortedAbbrevs(table)) {
    SCOPED_TRACE(Utf16ToUtf8(key));
    const std::u16string* shipped = LookupAbbrev(library, key);
    ASSERT_NE(shipped, nullptr);
    EXPECT_EQ(*shipped, expansion);
  }
}

}  // namespace
}  // namespace tonvira
