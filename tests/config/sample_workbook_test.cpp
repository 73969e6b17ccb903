// The sample workbook opens in a spreadsheet program: a valid zip whose XML parts are
// well-formed and hold the rows; saved as CSV, it imports without its header row.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "config/abbrev_table.h"
#include "config/text_file.h"
#include "config/utf8.h"

namespace tonvira {
namespace {

std::string ReadShipped(const char* name) {
  std::ifstream file(std::string(TONVIRA_DATA_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t Le(std::string_view bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

uint32_t Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
  }
  return ~crc;
}

// The entries of a zip archive through its central directory. The workbook stores its parts
// uncompressed, so no inflater is needed; a compressed part shows as an error.
std::map<std::string, std::string> Unzip(std::string_view zip, std::string& error) {
  std::map<std::string, std::string> parts;
  size_t end = zip.rfind(std::string_view("PK\x05\x06", 4));
  if (end == std::string_view::npos || end + 22 > zip.size()) {
    error = "no end of central directory";
    return parts;
  }
  size_t count = Le(zip, end + 10, 2);
  size_t at = Le(zip, end + 16, 4);
  for (size_t i = 0; i < count; ++i) {
    if (zip.substr(at, 4) != std::string_view("PK\x01\x02", 4)) {
      error = "bad central directory entry";
      return parts;
    }
    uint32_t method = Le(zip, at + 10, 2), crc = Le(zip, at + 16, 4);
    uint32_t packed = Le(zip, at + 20, 4), size = Le(zip, at + 24, 4);
    size_t nameLength = Le(zip, at + 28, 2), extra = Le(zip, at + 30, 2), comment = Le(zip, at + 32, 2);
    size_t local = Le(zip, at + 42, 4);
    std::string name(zip.substr(at + 46, nameLength));
    if (zip.substr(local, 4) != std::string_view("PK\x03\x04", 4) || method != 0 || packed != size) {
      error = "bad or compressed entry " + name;
      return parts;
    }
    size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
    std::string_view content = zip.substr(data, size);
    if (content.size() != size || Crc32(content) != crc) {
      error = "damaged entry " + name;
      return parts;
    }
    parts[name] = std::string(content);
    at += 46 + nameLength + extra + comment;
  }
  return parts;
}

// A well-formedness check of the XML the workbook uses: declaration, nested elements with
// quoted attributes, text with the predefined and numeric entities. "" when well-formed.
class XmlChecker {
 public:
  explicit XmlChecker(std::string_view xml) : xml_(xml) {}

  std::string Problem() {
    if (Utf8ToUtf16(xml_).find(u'\uFFFD') != std::u16string::npos) return "not UTF-8";
    if (xml_.starts_with("<?xml")) {
      size_t close = xml_.find("?>");
      if (close == std::string_view::npos) return "unclosed declaration";
      at_ = close + 2;
    }
    SkipSpace();
    if (!Element()) return problem_.empty() ? "no root element" : problem_;
    SkipSpace();
    if (at_ != xml_.size()) return "text after the root element";
    return problem_;
  }

 private:
  bool Fail(std::string what) {
    if (problem_.empty()) problem_ = what + " at " + std::to_string(at_);
    return false;
  }
  void SkipSpace() {
    while (at_ < xml_.size() && std::string_view(" \t\r\n").find(xml_[at_]) != std::string_view::npos) ++at_;
  }
  static bool NameChar(char c, bool first) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
           (!first && ((c >= '0' && c <= '9') || c == '.' || c == '-'));
  }
  std::string_view Name() {
    size_t start = at_;
    while (at_ < xml_.size() && NameChar(xml_[at_], at_ == start)) ++at_;
    return xml_.substr(start, at_ - start);
  }
  bool Entity() {
    size_t close = xml_.find(';', at_);
    if (close == std::string_view::npos) return Fail("unterminated entity");
    std::string_view name = xml_.substr(at_ + 1, close - at_ - 1);
    bool numeric = name.size() > 1 && name[0] == '#';
    if (!numeric && name != "amp" && name != "lt" && name != "gt" && name != "quot" && name != "apos") {
      return Fail("unknown entity");
    }
    at_ = close + 1;
    return true;
  }
  bool Element() {
    if (at_ >= xml_.size() || xml_[at_] != '<') return Fail("expected <");
    ++at_;
    std::string_view name = Name();
    if (name.empty()) return Fail("element without a name");
    std::vector<std::string_view> attributes;
    for (;;) {
      size_t before = at_;
      SkipSpace();
      if (xml_.substr(at_, 2) == "/>") {
        at_ += 2;
        return true;
      }
      if (at_ < xml_.size() && xml_[at_] == '>') break;
      if (at_ == before) return Fail("attributes must be separated");
      std::string_view attribute = Name();
      if (attribute.empty()) return Fail("bad attribute");
      for (std::string_view seen : attributes) {
        if (seen == attribute) return Fail("repeated attribute");
      }
      attributes.push_back(attribute);
      if (at_ >= xml_.size() || xml_[at_++] != '=') return Fail("attribute without =");
      char quote = at_ < xml_.size() ? xml_[at_++] : 0;
      if (quote != '"' && quote != '\'') return Fail("unquoted attribute");
      while (at_ < xml_.size() && xml_[at_] != quote) {
        if (xml_[at_] == '<') return Fail("< in an attribute");
        if (xml_[at_] != '&') {
          ++at_;
        } else if (!Entity()) {
          return false;
        }
      }
      if (at_++ >= xml_.size()) return Fail("unterminated attribute");
    }
    ++at_;
    for (;;) {  // content
      if (at_ >= xml_.size()) return Fail("unclosed element");
      if (xml_.substr(at_, 2) == "</") {
        at_ += 2;
        if (Name() != name) return Fail("mismatched end tag");
        SkipSpace();
        if (at_ >= xml_.size() || xml_[at_++] != '>') return Fail("bad end tag");
        return true;
      }
      if (xml_[at_] == '<') {
        if (!Element()) return false;
      } else if (xml_[at_] == '&') {
        if (!Entity()) return false;
      } else if (xml_[at_] == '>' && xml_.substr(at_ - 2, 3) == "]]>") {
        return Fail("]]> in text");
      } else {
        ++at_;
      }
    }
  }

  std::string_view xml_;
  size_t at_ = 0;
  std::string problem_;
};

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

// The texts between each <open ...> and </close> in order.
std::vector<std::string> Between(std::string_view xml, std::string_view open, std::string_view close) {
  std::vector<std::string> out;
  for (size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at)) {
    size_t start = xml.find('>', at) + 1;
    size_t end = xml.find(close, start);
    out.push_back(std::string(xml.substr(start, end - start)));
    at = end;
  }
  return out;
}

// The sheet's rows as text, through the shared strings.
std::vector<std::vector<std::string>> SheetRows(const std::map<std::string, std::string>& parts) {
  std::vector<std::string> strings;
  for (const std::string& item : Between(parts.at("xl/sharedStrings.xml"), "<si>", "</si>")) {
    strings.push_back(Unescape(Between(item, "<t", "</t>").at(0)));
  }
  std::vector<std::vector<std::string>> rows;
  for (const std::string& row : Between(parts.at("xl/worksheets/sheet1.xml"), "<row ", "</row>")) {
    rows.emplace_back();
    for (const std::string& value : Between(row, "<v", "</v>"))
      rows.back().push_back(strings.at(std::stoul(value)));
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

TEST(SampleWorkbook, IsAZipOfWellFormedParts) {
  std::string error;
  std::map<std::string, std::string> parts = Unzip(ReadShipped("mau-go-tat.xlsx"), error);
  ASSERT_EQ(error, "");
  for (const char* required :
       {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
        "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml"}) {
    EXPECT_TRUE(parts.contains(required)) << required;
  }
  for (const auto& [name, content] : parts) {
    SCOPED_TRACE(name);
    EXPECT_EQ(XmlChecker(content).Problem(), "");
  }
}

TEST(SampleWorkbook, XmlCheckerCatchesBrokenParts) {
  for (std::string_view broken : {"<a><b></a></b>", "<a x=1/>", "<a>&nbsp;</a>", "<a></a><b/>",
                                  "<a x='1' x='2'/>", "<a>\xC3</a>", "<a", "<a>x<b/>"}) {
    SCOPED_TRACE(broken);
    EXPECT_NE(XmlChecker(broken).Problem(), "");
  }
  EXPECT_EQ(XmlChecker("<?xml version=\"1.0\"?>\n<a x=\"&amp;\"><b/>t&#7871;<c y='2'></c></a>\n").Problem(),
            "");
}

TEST(SampleWorkbook, SavedAsCsvImportsWithoutItsHeader) {
  std::string error;
  std::map<std::string, std::string> parts = Unzip(ReadShipped("mau-go-tat.xlsx"), error);
  ASSERT_EQ(error, "");
  std::vector<std::vector<std::string>> rows = SheetRows(parts);
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
