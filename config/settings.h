// The user's preferences: the in-memory record and settings.txt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "config/file_system.h"
#include "config/setting_rows.h"

namespace tonvira {

// The kinds of value a setting holds, as the record stores them.
namespace setting_type {
using Flag = uint8_t;
using Integer = int32_t;
using OneDecimal = float;
using Character = char16_t;
using Text = std::u16string;
}  // namespace setting_type

// The user's preferences: one field per row of setting_rows.h, named after its key, holding its
// default until settings.txt is read.
struct Settings {
#define TONVIRA_SETTING_FIELD(key, kind, byDefault, low, high, outside, label) \
  setting_type::kind key = byDefault;
  TONVIRA_SETTING_ROWS(TONVIRA_SETTING_FIELD)
#undef TONVIRA_SETTING_FIELD
};

enum class OutOfRange : uint8_t { Kept, ActsAsDefault, ReadAsDefault };

// One row of setting_rows.h, with the field it reads and writes.
struct SettingRow {
  using Field = std::variant<uint8_t Settings::*, int32_t Settings::*, float Settings::*,
                             char16_t Settings::*, std::u16string Settings::*>;
  std::u16string_view key;
  Field field;
  double byDefault;  // a number or a character's code; a text's default is empty
  double low, high;
  OutOfRange outside;
  std::u16string_view label;
};

namespace setting_detail {
template <typename T>
constexpr double NumberOf(T value) {
  if constexpr (std::is_arithmetic_v<T>) {
    return static_cast<double>(value);
  } else {
    return 0;  // a text
  }
}
}  // namespace setting_detail

inline constexpr SettingRow kSettingRows[] = {
#define TONVIRA_SETTING_ROW(key, kind, byDefault, low, high, outside, label) \
  {u"" #key, &Settings::key, setting_detail::NumberOf(byDefault), low, high, OutOfRange::outside, label},
    TONVIRA_SETTING_ROWS(TONVIRA_SETTING_ROW)
#undef TONVIRA_SETTING_ROW
};

// The row of a key, at compile time: an unknown key does not build.
consteval const SettingRow& SettingNamed(std::u16string_view key) {
  for (const SettingRow& row : kSettingRows) {
    if (row.key == key) return row;
  }
  throw "no such setting";
}
const SettingRow* FindSetting(std::u16string_view key);

// A flag's or an integer's value as it acts: the default where the row says a value outside the
// offered range acts as the default (a method of 7 types Telex).
int32_t ValueOf(const Settings& settings, const SettingRow& row);
void SetValue(Settings& settings, const SettingRow& row, int32_t value);
// The caption of a choice's value (its index from the row's low), "" past the last.
constexpr std::u16string_view ChoiceCaption(const SettingRow& row, size_t index) {
  std::u16string_view rest = row.label;
  for (; index > 0; --index) {
    size_t bar = rest.find(u'|');
    if (bar == std::u16string_view::npos) return {};
    rest.remove_prefix(bar + 1);
  }
  return rest.substr(0, rest.find(u'|'));
}

struct AbbrevTable;

// What LoadSettings found. Every save consults it, so that no file is overwritten before it
// has been read: a file that is there but could not be read stays untouched for the run.
struct SettingsState {
  bool SettingsLoaded = false;  // settings.txt was read, or there was none: it may be written
  bool FirstRun = false;        // settings.txt did not exist when the program started
  bool AbbrevLoaded = false;    // abbrev.txt was read, or there was none: it may be written
};

// Lines of settings.txt into the record. Fields the lines do not mention keep their values.
void ParseSettingsLines(Settings& settings, const std::vector<std::u16string>& lines);
FileRead ReadSettingsFile(Settings& settings, std::u16string_view path);
// The whole file: every key, always in the same order, each line ended by LF.
std::u16string SettingsText(const Settings& settings);
bool WriteSettingsFile(const Settings& settings, std::u16string_view path);

// Start-up: settings.txt and abbrev.txt from the data folder (the shipped copies for a new
// user), then the abbreviation library merge.
SettingsState LoadSettings(Settings& settings, AbbrevTable& abbrevs);
// The save step after a change of preferences: writes settings.txt unless it could not be
// read at start-up. The exit save goes through here too.
bool SaveSettings(const Settings& settings, const SettingsState& state);

}  // namespace tonvira
