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

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// What a plain line cannot carry at position i: a control splits, ends or spoils the line, DEL
// and U+FFFD are refused as signs of a damaged file, a lone surrogate is written as U+FFFD, and
// a space at either end is trimmed away.
bool NeedsEscape(std::u16string_view text, size_t i) {
  char16_t c = text[i];
  if (c < 0x20 || c == 0x7F || c == 0xFFFD) return true;
  if (c == u' ') return i == 0 || i + 1 == text.size();
  if (IsHighSurrogate(c)) return i + 1 == text.size() || !IsLowSurrogate(text[i + 1]);
  if (IsLowSurrogate(c)) return i == 0 || !IsHighSurrogate(text[i - 1]);
  return false;
}

bool NeedsEscape(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (NeedsEscape(text, i)) return true;
  }
  return false;
}

// "a,b<TAB>c" -> "a,b\tc", " x\" -> "\sx\\"
std::u16string EscapeField(std::u16string_view text) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\\') {
      out.append(u"\\\\");
    } else if (!NeedsEscape(text, i)) {
      out.push_back(c);
    } else if (c == u'\t') {
      out.append(u"\\t");
    } else if (c == u'\r') {
      out.append(u"\\r");
    } else if (c == u'\n') {
      out.append(u"\\n");
    } else if (c == u' ') {
      out.append(u"\\s");
    } else {
      out.append(u"\\u");
      for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
    }
  }
  return out;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The reverse of EscapeField. A backslash that starts no known sequence (a hand edit, "C:\dir")
// stays as written.
std::u16string UnescapeField(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
    char16_t plain = next == u'\\'  ? u'\\'
                     : next == u't' ? u'\t'
                     : next == u'r' ? u'\r'
                     : next == u'n' ? u'\n'
                     : next == u's' ? u' '
                                    : u'\0';
    if (c != u'\\') {
      out.push_back(c);
    } else if (plain != u'\0') {
      out.push_back(plain);
      ++i;
    } else if (next == u'u' && i + 6 <= text.size() &&
               std::all_of(text.begin() + i + 2, text.begin() + i + 6,
                           [](char16_t h) { return HexDigit(h) >= 0; })) {
      char16_t unit = 0;
      for (size_t k = i + 2; k < i + 6; ++k) unit = static_cast<char16_t>(unit * 16 + HexDigit(text[k]));
      out.push_back(unit);
      i += 5;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// An escaped field as it stands in the file: escaping leaves no control, DEL or U+FFFD, so one
// that has them was damaged or typed by hand.
bool IsEscapedFileText(std::u16string_view raw) {
  return std::none_of(raw.begin(), raw.end(),
                      [](char16_t c) { return c < 0x20 || c == 0x7F || c == 0xFFFD; });
}

// key -> expansion, and key -> since when the line has one; a later line wins.
void StoreAbbrevLine(AbbrevTable& table, std::u16string_view key, std::u16string_view expansion,
                     std::u16string_view since) {
  std::u16string lowered = AbbrevKey(key);
  if (!since.empty()) table.since.insert_or_assign(lowered, std::u16string(since));
  table.expansions.insert_or_assign(std::move(lowered), std::u16string(expansion));
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
  bool escaped = false;
  for (std::u16string_view line : lines) {
    if (line == kAbbrevEscapedLine) {
      escaped = true;
      continue;
    }
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
    if (escaped) {
      if (!IsEscapedFileText(key) || !IsEscapedFileText(expansion)) continue;
      std::u16string plainKey = UnescapeField(key);
      std::u16string plainExpansion = UnescapeField(expansion);
      if (plainKey.empty() || plainKey.size() > kMaxKeyLength || plainExpansion.empty()) continue;
      StoreAbbrevLine(table, plainKey, plainExpansion, UnescapeField(since));
    } else {
      if (!IsValidAbbrevKey(key) || !IsValidExpansion(expansion)) continue;
      StoreAbbrevLine(table, key, expansion, since);
    }
  }
}

bool ReadAbbrevFile(AbbrevTable& table, std::u16string_view path) {
  ClearAbbrevTable(table);
  TextLines file = ReadTextLines(path);
  ParseAbbrevLines(table, file.lines);
  return !file.lines.empty();
}

std::u16string AbbrevFileText(const AbbrevTable& table) {
  std::vector<std::pair<std::u16string, std::u16string>> entries = SortedAbbrevs(table);
  // Escaping only when something needs it keeps every other file byte for byte as older
  // versions wrote it, and readable by them.
  bool escaped = std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
    return NeedsEscape(entry.first) || NeedsEscape(entry.second);
  });
  std::u16string text = u"# Go tat cua Tonvira\n# Moi dong: khoa <TAB> ban khai trien\n";
  if (escaped) text.append(kAbbrevEscapedLine).push_back(u'\n');
  for (const auto& [key, expansion] : entries) {
    // A key such as "#vn" would read back as a comment and be lost: the space in front of it
    // is trimmed when the line is read.
    if (!key.empty() && key.front() == u'#') text.push_back(u' ');
    if (escaped) {
      text.append(EscapeField(key)).append(u"\t").append(EscapeField(expansion)).append(u"\n");
    } else {
      text.append(key).append(u"\t").append(expansion).append(u"\n");
    }
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
