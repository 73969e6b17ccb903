#include "config/abbrev_library.h"

#include <algorithm>

#include "config/abbrev_table.h"
#include "config/data_folder.h"
#include "config/settings.h"

namespace tonvira {
namespace {

constexpr std::u16string_view kLibraryVersion = u"1.4.12";

// The digits of one dotted component without leading zeros, so any length compares.
std::u16string ComponentDigits(std::u16string_view component) {
  std::u16string digits;
  for (char16_t c : component) {
    if (c >= u'0' && c <= u'9' && !(digits.empty() && c == u'0')) digits.push_back(c);
  }
  return digits;
}

std::u16string_view NextComponent(std::u16string_view& version) {
  size_t dot = version.find(u'.');
  std::u16string_view component = version.substr(0, dot);
  version = dot == std::u16string_view::npos ? std::u16string_view() : version.substr(dot + 1);
  return component;
}

}  // namespace

std::u16string_view AbbrevLibraryVersion() {
  return kLibraryVersion;
}

bool VersionLower(std::u16string_view a, std::u16string_view b) {
  while (!a.empty() || !b.empty()) {
    std::u16string x = ComponentDigits(NextComponent(a));
    std::u16string y = ComponentDigits(NextComponent(b));
    if (x.size() != y.size()) return x.size() < y.size();
    if (x != y) return x < y;
  }
  return false;
}

MergeOutcome MergeAbbrevLibrary(Settings& settings, AbbrevTable& abbrevs, const SettingsState& state) {
  MergeOutcome outcome;
  if (settings.abbrev_lib == kLibraryVersion) return outcome;
  // Without settings.txt we do not know which library the user already has, and without
  // abbrev.txt we cannot add to it: try again at the next start.
  if (!state.SettingsLoaded || !state.AbbrevLoaded) return outcome;
  AbbrevTable library;
  if (!ReadAbbrevFile(library, ShippedFilePath(u"abbrev.txt"))) return outcome;

  for (const auto& [key, expansion] : SortedAbbrevs(library)) {
    auto since = library.since.find(key);
    if (since == library.since.end()) continue;
    bool newer = settings.abbrev_lib.empty() || VersionLower(settings.abbrev_lib, since->second);
    if (newer && !abbrevs.expansions.contains(key)) {
      abbrevs.expansions.emplace(key, expansion);
      ++outcome.added;
    }
  }
  // The added entries stay in memory for this run either way.
  if (outcome.added > 0 && !SaveAbbrevs(abbrevs, state)) return outcome;
  settings.abbrev_lib = kLibraryVersion;
  outcome.recorded = true;
  SaveSettings(settings, state);
  return outcome;
}

}  // namespace tonvira
