// The user's abbreviations: a key typed before a space is replaced by its expansion.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text/string_hash.h"

namespace tonvira {

using AbbrevMap = std::unordered_map<std::u16string, std::u16string, U16StringHash, std::equal_to<>>;

// Keys are stored with A-Z lowered and nothing else changed.
struct AbbrevTable {
  AbbrevMap expansions;  // key -> expansion: what typing uses
  AbbrevMap since;       // key -> library version that brought the entry ("1.4.12")
};

// The expansion for a key (A-Z lowered first), or null.
const std::u16string* LookupAbbrev(const AbbrevTable& table, std::u16string_view key);

void ClearAbbrevTable(AbbrevTable& table);
// A-Z lowered, every other character as it is ("Đ" stays "Đ").
std::u16string AbbrevKey(std::u16string_view key);
// Inserts or overwrites; the library version of the entry is left as it was.
void SetAbbrev(AbbrevTable& table, std::u16string_view key, std::u16string_view expansion);
void RemoveAbbrev(AbbrevTable& table, std::u16string_view key);
// Every entry, ordered by key in UTF-16 code units: the order of the file and of the editor.
std::vector<std::pair<std::u16string, std::u16string>> SortedAbbrevs(const AbbrevTable& table);

// Spaces, TABs, CR and LF off both ends.
std::u16string_view TrimAbbrevField(std::u16string_view text);
// A key: 1 to 63 units, no control character, no DEL, no U+FFFD.
bool IsValidAbbrevKey(std::u16string_view key);
// An expansion: not empty, no control character but TAB, no DEL, no U+FFFD.
bool IsValidExpansion(std::u16string_view expansion);

// Written after the header only when some key or expansion holds what a plain line cannot (a
// TAB, CR, LF, another control, DEL, U+FFFD, a lone surrogate, a space at either end). Every
// field below it is escaped: \t \r \n, \s for a space, \\ for the backslash, \uXXXX for any
// other code unit. Files without it (older ones, the shipped library, plain tables) are read
// as they always were, a backslash being just a backslash.
inline constexpr std::u16string_view kAbbrevEscapedLine =
    u"# Ky tu dac biet: \\t TAB, \\r CR, \\n xuong dong, \\s dau cach o dau/cuoi, \\\\ gach cheo, "
    u"\\uXXXX ky tu khac";

// Lines of abbrev.txt into the table: "key<TAB>expansion[<TAB>since]" or "key=expansion";
// "#" starts a comment line; invalid lines are dropped; a later line wins. After the escaped
// line the fields are unescaped, and a key of 1 to 63 units with any expansion not empty is
// kept whatever it holds: the program wrote it so.
void ParseAbbrevLines(AbbrevTable& table, const std::vector<std::u16string>& lines);
// Empties the table and reads the file: true when the file held at least one line.
bool ReadAbbrevFile(AbbrevTable& table, std::u16string_view path);
// Two comment lines (three when escaping is needed), then key<TAB>expansion per entry; the
// library versions are not written. Read back, it gives the same table, save for entries no
// line can hold (an empty key or expansion, a key past 63 units).
std::u16string AbbrevFileText(const AbbrevTable& table);
bool WriteAbbrevFile(const AbbrevTable& table, std::u16string_view path);

struct SettingsState;
// The save after every change of the table: abbrev.txt in the data folder, unless the file
// was there at start-up but could not be read.
bool SaveAbbrevs(const AbbrevTable& table, const SettingsState& state);

// CSV/TSV import (a spreadsheet saved as text): the entries go into the table, overwriting.
inline constexpr int kImportMissing = -1;  // no such file, or nothing in it
inline constexpr int kImportNotText = -2;  // a workbook, or not UTF-8 text
// The number of entries stored (overwritten keys count), or one of the values above.
int ImportAbbrevLines(AbbrevTable& table, const std::vector<std::u16string>& lines);
int ImportAbbrevFile(AbbrevTable& table, std::u16string_view path);

}  // namespace tonvira
