// The built-in abbreviation library: the shipped abbrev.txt, whose entries carry the version
// that brought them. New entries reach existing users once per library version.
#pragma once

#include <string_view>

namespace tonvira {

struct AbbrevTable;
struct Settings;
struct SettingsState;

// The library version built into this program.
std::u16string_view AbbrevLibraryVersion();

// Dotted versions compared number by number ("1.4.9" is lower than "1.4.10"); a missing
// number counts as 0, and only the digits of a number count ("4b" is 4).
bool VersionLower(std::u16string_view a, std::u16string_view b);

struct MergeOutcome {
  int added = 0;          // library entries added to the user's table
  bool recorded = false;  // abbrev_lib now names this program's library
};
// Adds the library entries newer than abbrev_lib that the user lacks; a user's entry is never
// overwritten. abbrev_lib is recorded only once the added entries are safely in abbrev.txt,
// so that a failed write is tried again at the next start instead of losing them.
MergeOutcome MergeAbbrevLibrary(Settings& settings, AbbrevTable& abbrevs, const SettingsState& state);

}  // namespace tonvira
