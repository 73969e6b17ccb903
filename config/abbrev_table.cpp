#include "config/abbrev_table.h"

#include <algorithm>

#include "config/data_folder.h"
#include "config/settings.h"
#include "config/text_file.h"

namespace tonvira {
namespace {

constexpr size_t kMaxKeyLength = 63;

bool HasAsciiCapital(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; });
}

bool IsTrimmed(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

}  // namespace

const std::u16string* LookupAbbrev(const AbbrevTable& table, std::u16string_view key) {
  // Keys are typed in lower case nearly always: no copy on the key path for those.
  auto it = HasAsciiCapital(key) ? table.expansions.find(AbbrevKey(key)) : table.expansions.find(key);
  return it == table.expansions.end() ? nullptr : &it->second;
}

void ClearAbbrevTable(AbbrevTable& table) {
  table.expansions.clear();
  table.since.clear();
}

std::u16string AbbrevKey(std::u16string_view key) {
  std::u16string out(key);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c += 32;
  }
  return out;
}

void SetAbbrev(AbbrevTable& table, std::u16string_view key, std::u16string_view expansion) {
  table.expansions.insert_or_assign(AbbrevKey(key), std::u16string(expansion));
}

void RemoveAbbrev(AbbrevTable& table, std::u16string_view key) {
  std::u16string lowered = AbbrevKey(key);
  table.expansions.erase(lowered);
  table.since.erase(lowered);
}

std::vector<std::pair<std::u16string, std::u16string>> SortedAbbrevs(const AbbrevTable& table) {
  std::vector<std::pair<std::u16string, std::u16string>> entries(table.expansions.begin(),
                                                                 table.expansions.end());
  // char16_t compares as an unsigned unit, so this is code-unit order.
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return entries;
}

std::u16string_view TrimAbbrevField(std::u16string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

bool IsValidAbbrevKey(std::u16string_view key) {
  if (key.empty() || key.size() > kMaxKeyLength) return false;
  return std::none_of(key.begin(), key.end(),
                      [](char16_t c) { return c < 0x20 || c == 0x7F || c == 0xFFFD; });
}

bool IsValidExpansion(std::u16string_view expansion) {
  if (expansion.empty()) return false;
  return std::none_of(expansion.begin(), expansion.end(),
                      [](char16_t c) { return (c < 0x20 && c != u'\t') || c == 0x7F || c == 0xFFFD; });
}

void ParseAbbrevLines(AbbrevTable& table, const std::vector<std::u16string>& lines) {
  for (std::u16string_view line : lines) {
    if (line.empty() || line.front() == u'#') continue;
    // The TAB form is what the program writes, so it goes first: a key may hold "=" ("=))").
    size_t split = line.find(u'\t');
    if (split == std::u16string_view::npos) split = line.find(u'=');
    if (split == std::u16string_view::npos) continue;
    std::u16string_view key = TrimAbbrevField(line.substr(0, split));
    std::u16string_view rest = line.substr(split + 1);
    std::u16string_view since;
    if (size_t tab = rest.find(u'\t'); tab != std::u16string_view::npos) {
      since = TrimAbbrevField(rest.substr(tab + 1));
      rest = rest.substr(0, tab);
    }
    std::u16string_view expansion = TrimAbbrevField(rest);
    if (!IsValidAbbrevKey(key) || !IsValidExpansion(expansion)) continue;
    std::u16string lowered = AbbrevKey(key);
    if (!since.empty()) table.since.insert_or_assign(lowered, std::u16string(since));
    table.expansions.insert_or_assign(std::move(lowered), std::u16string(expansion));
  }
}

bool ReadAbbrevFile(AbbrevTable& table, std::u16string_view path) {
  ClearAbbrevTable(table);
  TextLines file = ReadTextLines(path);
  ParseAbbrevLines(table, file.lines);
  return !file.lines.empty();
}

std::u16string AbbrevFileText(const AbbrevTable& table) {
  std::u16string text = u"# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\n";
  for (const auto& [key, expansion] : SortedAbbrevs(table)) {
    // A key such as "#vn" would read back as a comment and be lost: the space in front of it
    // is trimmed when the line is read.
    if (key.front() == u'#') text.push_back(u' ');
    text.append(key).append(u"\t").append(expansion).append(u"\n");
  }
  return text;
}

bool WriteAbbrevFile(const AbbrevTable& table, std::u16string_view path) {
  return WriteTextFile(path, AbbrevFileText(table));
}

bool SaveAbbrevs(const AbbrevTable& table, const SettingsState& state) {
  if (!state.AbbrevLoaded) return false;
  return WriteAbbrevFile(table, DataFilePath(u"abbrev.txt"));
}

}  // namespace tonvira
