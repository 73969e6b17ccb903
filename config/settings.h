// The user's preferences: the in-memory record and settings.txt.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tonvira {

// Fields are named after the keys of settings.txt.
struct Settings {
  uint8_t enabled = 1;
  int32_t method = 0;  // 1 VNI; anything else types Telex but is kept as it is
  uint8_t old_tone = 0;  // the modern placement (hoà); the engine gets the inverse
  uint8_t context = 1;
  uint8_t startup = 1;
  float en_threshold = 2.0f;
  int32_t hotkey_mode = 1;  // 1 Ctrl+Shift alone, 2 Ctrl+Shift+hotkey_char
  char16_t hotkey_char = u'Z';
  uint8_t abbrev = 1;
  uint8_t show_ads = 1;
  uint8_t cloud = 1;
  uint8_t smart = 1;
  uint8_t bs_edit = 1;
  uint8_t free_marks = 1;
  uint8_t autofix = 1;
  uint8_t caps_vi = 1;
  std::u16string abbrev_lib;
};

}  // namespace tonvira
