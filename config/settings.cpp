#include "config/settings.h"

#include <type_traits>

#include "config/c_number.h"
#include "config/text_file.h"

namespace tonvira {
namespace {

// settings.txt's first line; read and ignored.
constexpr std::u16string_view kVersionKey = u"ver";
constexpr std::u16string_view kVersion = u"145";

template <typename T>
T DefaultOf(const SettingRow& row) {
  return static_cast<T>(row.byDefault);
}

void ReadValue(Settings& s, const SettingRow& row, std::u16string_view value) {
  std::visit(
      [&](auto field) {
        auto& stored = s.*field;
        using T = std::remove_reference_t<decltype(stored)>;
        if constexpr (std::is_same_v<T, uint8_t>) {
          stored = value == u"1";  // "true", " 1", "01" and "" are all off
        } else if constexpr (std::is_same_v<T, int32_t>) {
          stored = ReadCInteger(value);  // " 2x" -> 2, "abc" -> 0
        } else if constexpr (std::is_same_v<T, float>) {
          stored = NarrowToFloat(ReadCDouble(value));  // "2,5" -> 2.0
        } else if constexpr (std::is_same_v<T, char16_t>) {
          stored = value.empty() ? DefaultOf<char16_t>(row) : value.front();  // "qx" -> q
        } else {
          stored = value;  // "=" and spaces included
        }
      },
      row.field);
}

void WriteValue(const Settings& s, const SettingRow& row, std::u16string& text) {
  std::visit(
      [&](auto field) {
        const auto& stored = s.*field;
        using T = std::remove_cvref_t<decltype(stored)>;
        if constexpr (std::is_same_v<T, uint8_t>) {
          text.append(stored ? u"1" : u"0");
        } else if constexpr (std::is_same_v<T, int32_t>) {
          text.append(FormatInteger(stored));
        } else if constexpr (std::is_same_v<T, float>) {
          text.append(FormatOneDecimal(stored));
        } else if constexpr (std::is_same_v<T, char16_t>) {
          text.push_back(stored);
        } else {
          text.append(stored);
        }
      },
      row.field);
}

bool InRange(const SettingRow& row, int32_t value) {
  return value >= row.low && value <= row.high;
}

}  // namespace

const SettingRow* FindSetting(std::u16string_view key) {
  for (const SettingRow& row : kSettingRows) {
    if (row.key == key) return &row;
  }
  return nullptr;
}

int32_t ValueOf(const Settings& s, const SettingRow& row) {
  int32_t value = std::visit(
      [&](auto field) -> int32_t {
        using T = std::remove_cvref_t<decltype(s.*field)>;
        if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int32_t>) {
          return s.*field;
        } else {
          return 0;
        }
      },
      row.field);
  if (row.outside != OutOfRange::Kept && !InRange(row, value)) return DefaultOf<int32_t>(row);
  return value;
}

void SetValue(Settings& s, const SettingRow& row, int32_t value) {
  std::visit(
      [&](auto field) {
        using T = std::remove_cvref_t<decltype(s.*field)>;
        if constexpr (std::is_same_v<T, uint8_t>) {
          s.*field = value != 0;
        } else if constexpr (std::is_same_v<T, int32_t>) {
          s.*field = value;
        }
      },
      row.field);
}

void ParseSettingsLines(Settings& settings, const std::vector<std::u16string>& lines) {
  for (std::u16string_view line : lines) {
    size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) continue;
    // Keys are compared in full and case-sensitively: "Enabled" and "enabled " are unknown keys,
    // and ignored like "ver".
    const SettingRow* row = FindSetting(line.substr(0, equals));
    if (row) ReadValue(settings, *row, line.substr(equals + 1));
  }
  // Also when the file was missing: a hotkey mode other than 1 or 2 is mode 1.
  for (const SettingRow& row : kSettingRows) {
    if (row.outside == OutOfRange::ReadAsDefault) SetValue(settings, row, ValueOf(settings, row));
  }
}

FileRead ReadSettingsFile(Settings& settings, std::u16string_view path) {
  TextLines file = ReadTextLines(path);
  ParseSettingsLines(settings, file.lines);
  return file.status;
}

std::u16string SettingsText(const Settings& settings) {
  std::u16string text;
  text.append(kVersionKey).append(u"=").append(kVersion).append(u"\n");
  for (const SettingRow& row : kSettingRows) {
    text.append(row.key).append(u"=");
    WriteValue(settings, row, text);
    text.append(u"\n");
  }
  return text;
}

bool WriteSettingsFile(const Settings& settings, std::u16string_view path) {
  return WriteTextFile(path, SettingsText(settings));
}

}  // namespace tonvira
