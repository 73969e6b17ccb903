// Abbreviations from a spreadsheet saved as CSV or TSV.
#include <algorithm>
#include <array>

#include "config/abbrev_table.h"
#include "config/text_file.h"
#include "text/letters.h"

namespace tonvira {
namespace {

// First cells that name the key column. The ASCII forms are compared with A-Z lowered, the
// Vietnamese ones (our own column title "Khoá" among them) with Vietnamese letters lowered.
constexpr std::array<std::u16string_view, 4> kAsciiHeaders = {u"khoa", u"key", u"viet tat", u"tu viet tat"};
constexpr std::array<std::u16string_view, 4> kVietnameseHeaders = {u"khoá", u"khóa", u"viết tắt",
                                                                   u"từ viết tắt"};

bool IsHeaderKey(std::u16string_view key) {
  std::u16string ascii = AbbrevKey(key);
  if (std::find(kAsciiHeaders.begin(), kAsciiHeaders.end(), ascii) != kAsciiHeaders.end()) return true;
  std::u16string lowered(key);
  for (char16_t& c : lowered) c = ToLowerVi(c);
  return std::find(kVietnameseHeaders.begin(), kVietnameseHeaders.end(), lowered) != kVietnameseHeaders.end();
}

// "\"say \"\"hi\"\"\"" -> "say \"hi\"": inside a quoted field every run of quotes shrinks to one.
// A field without the surrounding quotes is taken as it stands (5"" stays 5"").
std::u16string Unquote(std::u16string_view field) {
  if (field.size() < 2 || field.front() != u'"' || field.back() != u'"') return std::u16string(field);
  field = field.substr(1, field.size() - 2);
  std::u16string out;
  out.reserve(field.size());
  for (char16_t c : field) {
    if (c == u'"' && !out.empty() && out.back() == u'"') continue;
    out.push_back(c);
  }
  return out;
}

// A zip-packaged workbook starts "PK\3\4"; a file in a legacy code page decodes to U+FFFD on
// most of its lines.
bool IsNotText(const std::vector<std::u16string>& lines) {
  if (lines.front().size() >= 4 && lines.front().starts_with(u"PK\u0003\u0004")) return true;
  size_t replaced = 0;
  for (const std::u16string& line : lines) {
    if (line.find(u'\0') != std::u16string::npos) return true;
    if (line.find(u'\uFFFD') != std::u16string::npos) ++replaced;
  }
  return replaced * 2 > lines.size();
}

}  // namespace

int ImportAbbrevLines(AbbrevTable& table, const std::vector<std::u16string>& lines) {
  if (lines.empty()) return kImportMissing;
  if (IsNotText(lines)) return kImportNotText;
  int count = 0;
  bool first = true;
  for (std::u16string_view line : lines) {
    if (line.starts_with(u'\uFEFF')) line.remove_prefix(1);
    if (line.empty() || line.front() == u'#') continue;
    // Quotes do not protect a separator: "a,b",c splits after "a.
    size_t split = line.find_first_of(u",\t;");
    if (split == std::u16string_view::npos) continue;
    std::u16string key = Unquote(TrimAbbrevField(line.substr(0, split)));
    std::u16string value = Unquote(TrimAbbrevField(line.substr(split + 1)));
    if (first) {
      first = false;
      if (IsHeaderKey(key)) continue;
    }
    if (!IsValidAbbrevKey(key) || !IsValidExpansion(value)) continue;
    SetAbbrev(table, key, value);
    ++count;
  }
  return count;
}

int ImportAbbrevFile(AbbrevTable& table, std::u16string_view path) {
  return ImportAbbrevLines(table, ReadTextLines(path).lines);
}

}  // namespace tonvira
