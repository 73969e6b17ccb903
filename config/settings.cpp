#include "config/settings.h"

#include <array>

#include "config/c_number.h"
#include "config/text_file.h"

namespace tonvira {
namespace {

struct BoolKey {
  std::u16string_view key;
  uint8_t Settings::*field;
};

constexpr std::array kBoolKeys = {
    BoolKey{u"enabled", &Settings::enabled}, BoolKey{u"old_tone", &Settings::old_tone},
    BoolKey{u"context", &Settings::context}, BoolKey{u"startup", &Settings::startup},
    BoolKey{u"abbrev", &Settings::abbrev},   BoolKey{u"show_ads", &Settings::show_ads},
    BoolKey{u"cloud", &Settings::cloud},     BoolKey{u"smart", &Settings::smart},
    BoolKey{u"bs_edit", &Settings::bs_edit}, BoolKey{u"free_marks", &Settings::free_marks},
    BoolKey{u"autofix", &Settings::autofix}, BoolKey{u"caps_vi", &Settings::caps_vi},
};

// Keys are compared in full and case-sensitively: "Enabled" and "enabled " are unknown keys.
void StoreSetting(Settings& settings, std::u16string_view key, std::u16string_view value) {
  for (const BoolKey& entry : kBoolKeys) {
    if (key == entry.key) {
      settings.*entry.field = value == u"1";  // "true", " 1", "01" and "" are all off
      return;
    }
  }
  if (key == u"method") {
    settings.method = ReadCInteger(value);
  } else if (key == u"hotkey_mode") {
    settings.hotkey_mode = ReadCInteger(value);
  } else if (key == u"en_threshold") {
    settings.en_threshold = NarrowToFloat(ReadCDouble(value));
  } else if (key == u"hotkey_char") {
    settings.hotkey_char = value.empty() ? u'Z' : value.front();
  } else if (key == u"abbrev_lib") {
    settings.abbrev_lib = value;
  }
  // "ver" and unknown keys are read and ignored.
}

}  // namespace

void ParseSettingsLines(Settings& settings, const std::vector<std::u16string>& lines) {
  for (std::u16string_view line : lines) {
    size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) continue;
    StoreSetting(settings, line.substr(0, equals), line.substr(equals + 1));
  }
  if (settings.hotkey_mode != 2) settings.hotkey_mode = 1;
}

FileRead ReadSettingsFile(Settings& settings, std::u16string_view path) {
  TextLines file = ReadTextLines(path);
  ParseSettingsLines(settings, file.lines);
  return file.status;
}

std::u16string SettingsText(const Settings& s) {
  std::u16string text;
  auto line = [&text](std::u16string_view key, std::u16string_view value) {
    text.append(key).append(u"=").append(value).append(u"\n");
  };
  auto flag = [&line](std::u16string_view key, uint8_t value) { line(key, value ? u"1" : u"0"); };
  line(u"ver", u"145");
  flag(u"enabled", s.enabled);
  line(u"method", FormatInteger(s.method));
  flag(u"old_tone", s.old_tone);
  flag(u"context", s.context);
  flag(u"startup", s.startup);
  line(u"en_threshold", FormatOneDecimal(s.en_threshold));
  line(u"hotkey_mode", FormatInteger(s.hotkey_mode));
  line(u"hotkey_char", std::u16string_view(&s.hotkey_char, 1));
  flag(u"abbrev", s.abbrev);
  flag(u"show_ads", s.show_ads);
  flag(u"cloud", s.cloud);
  flag(u"smart", s.smart);
  flag(u"bs_edit", s.bs_edit);
  flag(u"free_marks", s.free_marks);
  flag(u"autofix", s.autofix);
  flag(u"caps_vi", s.caps_vi);
  line(u"abbrev_lib", s.abbrev_lib);
  return text;
}

bool WriteSettingsFile(const Settings& settings, std::u16string_view path) {
  return WriteTextFile(path, SettingsText(settings));
}

}  // namespace tonvira
