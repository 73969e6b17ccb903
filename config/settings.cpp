#include "config/settings.h"

#include "config/c_number.h"
#include "config/text_file.h"

namespace tonvira {
namespace {

// One key of settings.txt: how its value is read into the record, and how it is written back.
// Keys are compared in full and case-sensitively: "Enabled" and "enabled " are unknown keys.
struct SettingKey {
  std::u16string_view name;
  void (*read)(Settings& settings, std::u16string_view value);
  void (*write)(const Settings& settings, std::u16string& text);
};

// Written first; read and ignored.
constexpr SettingKey Version(std::u16string_view name) {
  return {name, [](Settings&, std::u16string_view) {},
          [](const Settings&, std::u16string& text) { text.append(u"145"); }};
}

// On only for exactly "1": "true", " 1", "01" and "" are all off.
template <uint8_t Settings::*Field>
constexpr SettingKey Flag(std::u16string_view name) {
  return {name, [](Settings& s, std::u16string_view value) { s.*Field = value == u"1"; },
          [](const Settings& s, std::u16string& text) { text.append(s.*Field ? u"1" : u"0"); }};
}

// "%d", read as the C library reads it (" 2x" -> 2, "abc" -> 0).
template <int32_t Settings::*Field>
constexpr SettingKey Integer(std::u16string_view name) {
  return {name, [](Settings& s, std::u16string_view value) { s.*Field = ReadCInteger(value); },
          [](const Settings& s, std::u16string& text) { text.append(FormatInteger(s.*Field)); }};
}

// "%.1f", read as the C library reads a double ("2,5" -> 2.0) and narrowed to float.
template <float Settings::*Field>
constexpr SettingKey OneDecimal(std::u16string_view name) {
  return {name, [](Settings& s, std::u16string_view value) { s.*Field = NarrowToFloat(ReadCDouble(value)); },
          [](const Settings& s, std::u16string& text) { text.append(FormatOneDecimal(s.*Field)); }};
}

// The first unit of the value ("qx" -> q); an empty value gives IfEmpty.
template <char16_t Settings::*Field, char16_t IfEmpty>
constexpr SettingKey Character(std::u16string_view name) {
  return {name,
          [](Settings& s, std::u16string_view value) { s.*Field = value.empty() ? IfEmpty : value.front(); },
          [](const Settings& s, std::u16string& text) { text.push_back(s.*Field); }};
}

// The value as it stands, "=" and spaces included.
template <std::u16string Settings::*Field>
constexpr SettingKey Text(std::u16string_view name) {
  return {name, [](Settings& s, std::u16string_view value) { s.*Field = value; },
          [](const Settings& s, std::u16string& text) { text.append(s.*Field); }};
}

// Every key of settings.txt, in the order of the file. Reading and writing both go through this
// table, so no key is read without being written, or written without being read. The defaults
// are the record's own initial values.
constexpr SettingKey kSettingKeys[] = {
    Version(u"ver"),
    Flag<&Settings::enabled>(u"enabled"),
    Integer<&Settings::method>(u"method"),
    Flag<&Settings::old_tone>(u"old_tone"),
    Flag<&Settings::context>(u"context"),
    Flag<&Settings::startup>(u"startup"),
    OneDecimal<&Settings::en_threshold>(u"en_threshold"),
    Integer<&Settings::hotkey_mode>(u"hotkey_mode"),
    Character<&Settings::hotkey_char, u'Z'>(u"hotkey_char"),
    Flag<&Settings::abbrev>(u"abbrev"),
    Flag<&Settings::show_ads>(u"show_ads"),
    Flag<&Settings::cloud>(u"cloud"),
    Flag<&Settings::smart>(u"smart"),
    Flag<&Settings::bs_edit>(u"bs_edit"),
    Flag<&Settings::free_marks>(u"free_marks"),
    Flag<&Settings::autofix>(u"autofix"),
    Flag<&Settings::caps_vi>(u"caps_vi"),
    Text<&Settings::abbrev_lib>(u"abbrev_lib"),
};

const SettingKey* FindSettingKey(std::u16string_view name) {
  for (const SettingKey& key : kSettingKeys) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

}  // namespace

void ParseSettingsLines(Settings& settings, const std::vector<std::u16string>& lines) {
  for (std::u16string_view line : lines) {
    size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) continue;
    const SettingKey* key = FindSettingKey(line.substr(0, equals));
    if (key) key->read(settings, line.substr(equals + 1));  // unknown keys are ignored
  }
  if (settings.hotkey_mode != 2) settings.hotkey_mode = 1;
}

FileRead ReadSettingsFile(Settings& settings, std::u16string_view path) {
  TextLines file = ReadTextLines(path);
  ParseSettingsLines(settings, file.lines);
  return file.status;
}

std::u16string SettingsText(const Settings& settings) {
  std::u16string text;
  for (const SettingKey& key : kSettingKeys) {
    text.append(key.name).append(u"=");
    key.write(settings, text);
    text.append(u"\n");
  }
  return text;
}

bool WriteSettingsFile(const Settings& settings, std::u16string_view path) {
  return WriteTextFile(path, SettingsText(settings));
}

}  // namespace tonvira
